#include "overlaypanel.h"

#include "platform/overlaywindow.h"

#include <QRegion>
#include <QVBoxLayout>
#include <QWindow>

OverlayPanel::OverlayPanel(QWidget *content, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                          | Qt::WindowDoesNotAcceptFocus)
    , m_content(content)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
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

void OverlayPanel::orderFront()
{
    show();
    raise();
}

void OverlayPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    refreshShape();
}
