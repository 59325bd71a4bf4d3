#include "globalhotkeys.h"

#include "linux/globalhotkeys_x11.h"
#include "linux/x11connection.h"

namespace {

// Without an X server there is nothing to grab keys from.
class NullGlobalHotKeys : public GlobalHotKeys
{
public:
    bool registerHotKey(int, int, Qt::KeyboardModifiers) override { return false; }
    void unregisterHotKey(int) override {}
    bool isRegistered(int) const override { return false; }
};

} // namespace

GlobalHotKeys::~GlobalHotKeys() = default;

std::unique_ptr<GlobalHotKeys> GlobalHotKeys::create()
{
    if (xcb_connection_t *connection = X11Connection::connection())
        return std::make_unique<X11GlobalHotKeys>(connection);
    return std::make_unique<NullGlobalHotKeys>();
}
