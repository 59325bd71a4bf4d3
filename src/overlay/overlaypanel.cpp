#include "overlaypanel.h"

#include "platform/activewindow.h"
#include "platform/overlaywindow.h"

#include <QMouseEvent>
#include <QRegion>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace {

Qt::WindowFlags panelFlags(OverlayPanel::Options options)
{
    // A window of its own, not a tool window: see OverlayWindow::configure().
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
    if (!options.testFlag(OverlayPanel::TakesKeyboard))
        flags |= Qt::WindowDoesNotAcceptFocus;
    if (options.testFlag(OverlayPanel::TransparentForInput))
        flags |= Qt::WindowTransparentForInput;
    return flags;
}

} // namespace

OverlayPanel::OverlayPanel(QWidget *content, Options options, QWidget *parent)
    : QWidget(parent, panelFlags(options))
    , m_options(options)
    , m_content(content)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    if (!options.testAnyFlags(TakesKeyboard | TakesKeyboardWhenClicked))
        setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(content);
    winId(); // the native window must exist before its window-system properties are set
    OverlayWindow::configure(windowHandle());
    connect(windowHandle(), &QWindow::screenChanged, this, &OverlayPanel::followScreen);
    followScreen(windowHandle()->screen());
    // Presses that no control of the content takes move or resize the panel.
    m_resizable = options.testFlag(MovableAndResizable);
    m_movable = m_resizable;
    content->installEventFilter(this);
    if (options.testFlag(TakesKeyboardWhenClicked))
        windowHandle()->installEventFilter(this);
    if (options.testFlag(TakesKeyboard))
        OverlayWindow::takeKeyboardWhenShown(windowHandle());
}

// Window managers differ on a window that accepts the keyboard but is shown without asking
// for it: some give it the keyboard all the same. So the panel declines it until a click.
void OverlayPanel::takeKeyboardOnClick()
{
    QWindow *window = windowHandle();
    if (!window->flags().testFlag(Qt::WindowDoesNotAcceptFocus))
        return;
    // As setClickThrough() does: the native window changes in place, the widget's flags follow.
    window->setFlag(Qt::WindowDoesNotAcceptFocus, false);
    overrideWindowFlags(windowFlags() & ~Qt::WindowDoesNotAcceptFocus);
    window->requestActivate();
    // Some (kwin) weigh the toolkit's request against the window that had the keyboard and
    // refuse it; asked as a task bar asks, it is granted.
    ActiveWindow::system().activate(winId());
}

bool OverlayPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == windowHandle()) {
        if (event->type() == QEvent::MouseButtonPress)
            takeKeyboardOnClick();
        return QWidget::eventFilter(watched, event);
    }
    const auto *mouse = dynamic_cast<QMouseEvent *>(event);
    if (!m_movable || watched != m_content || !mouse)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton && windowHandle()) {
            const QPointF position = mouse->scenePosition();
            const bool inCorner = m_resizable && position.x() >= width() - resizeCornerSize
                                  && position.y() >= height() - resizeCornerSize;
            m_drag.press(windowHandle(), position,
                         inCorner ? WindowDrag::Kind::resizeFromBottomRight
                                  : WindowDrag::Kind::move);
            return true;
        }
        break;
    case QEvent::MouseMove:
        if (m_drag.isPressed()) {
            m_drag.pointerMoved(mouse->scenePosition(), mouse->buttons());
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (m_drag.isPressed()) {
            m_drag.release();
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void OverlayPanel::setShape(std::function<QPainterPath()> shape)
{
    m_shape = std::move(shape);
    refreshShape();
}

void OverlayPanel::refreshShape()
{
    if (!m_shape)
        return;
    const QPainterPath outline = m_shape();
    if (outline.isEmpty())
        clearMask();
    else
        setMask(QRegion(outline.toFillPolygon().toPolygon()));
}

// The window system holds the outline in device pixels: on a screen of another scale the same
// outline in ours must be sent again, which QWidget::setMask() skips as unchanged.
void OverlayPanel::followScreen(QScreen *screen)
{
    disconnect(m_screenScale);
    if (screen)
        m_screenScale = connect(screen, &QScreen::logicalDotsPerInchChanged, this,
                                &OverlayPanel::reapplyShape);
    reapplyShape();
}

void OverlayPanel::reapplyShape()
{
    if (QWindow *window = windowHandle(); window && !mask().isEmpty())
        window->setMask(mask());
}

// A native window moved or resized while unmapped asks the window manager to configure it. Qt
// may handle that notice only once the window manager is framing the window and then asks the X
// server where it is: openbox makes its frames at the origin. On a display of another scale than
// the origin's, Qt takes that place for the panel's and writes it into the size hints, where the
// panel stays, at the other scale. A native window made where the panel opens needs no configure.
void OverlayPanel::setVisible(bool visible)
{
    QWindow *window = windowHandle();
    if (visible && !isVisible() && window && window->handle()) {
        ensurePolished();
        if (layout())
            layout()->activate(); // the size it opens at
        if (window->geometry() != geometry())
            window->destroy();
    }
    QWidget::setVisible(visible);
}

void OverlayPanel::orderFront()
{
    show();
    raise();
    if (takesKeyboardWhenShown())
        activateWindow();
}

void OverlayPanel::setClickThrough(bool clickThrough)
{
    m_movable = !clickThrough;
    QWindow *window = windowHandle();
    if (!window || isClickThrough() == clickThrough)
        return;
    // On the native window, not through setWindowFlags(), which would hide and rebuild it: Qt
    // changes the input shape of a mapped window in place, and a window manager hears of that.
    // The widget keeps the same flags for its next show.
    window->setFlag(Qt::WindowTransparentForInput, clickThrough);
    overrideWindowFlags(clickThrough ? windowFlags() | Qt::WindowTransparentForInput
                                     : windowFlags() & ~Qt::WindowTransparentForInput);
}

bool OverlayPanel::isClickThrough() const
{
    return windowHandle() && windowHandle()->flags().testFlag(Qt::WindowTransparentForInput);
}

void OverlayPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    refreshShape();
}
