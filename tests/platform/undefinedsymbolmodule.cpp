#include "undefinedsymbolmodule.h"

#include "platform/runtimemodule.h"

extern "C" int brivelDefinedNowhere();

BRIVEL_MODULE_ENTRY_POINTS(UndefinedSymbolModule){
    .callNowhere = [] { return brivelDefinedNowhere(); },
};
