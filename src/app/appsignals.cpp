#include "appsignals.h"

AppSignals &AppSignals::shared()
{
    static AppSignals instance;
    return instance;
}
