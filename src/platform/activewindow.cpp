#include "activewindow.h"

#include "linux/activewindow_x11.h"
#include "linux/x11connection.h"

namespace {

// Without an X server no window has the keyboard that Brivel could hand back.
class NullActiveWindow : public ActiveWindow
{
public:
    WindowId current() const override { return 0; }
    void activate(WindowId) override {}
};

} // namespace

ActiveWindow::~ActiveWindow() = default;

ActiveWindow &ActiveWindow::system()
{
    if (X11Connection::connection()) {
        static X11ActiveWindow x11;
        return x11;
    }
    static NullActiveWindow none;
    return none;
}
