#include "textservice.h"

#include "linux/textservice_dbus.h"

TextService::~TextService() = default;

std::unique_ptr<TextService> TextService::create()
{
    return std::make_unique<DBusTextService>();
}
