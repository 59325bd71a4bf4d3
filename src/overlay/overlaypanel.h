#pragma once

#include <QPainterPath>
#include <QWidget>

#include <functional>

// A borderless overlay window: above all others, on every desktop, shown without taking the
// keyboard. It holds one content view that fills it. Without a compositor nothing of a window
// can be see-through, so a panel whose outline is not its rectangle is cut to that outline.
class OverlayPanel : public QWidget
{
    Q_OBJECT

public:
    explicit OverlayPanel(QWidget *content, QWidget *parent = nullptr);

    QWidget *content() const { return m_content; }

    // The outline in the panel's coordinates, asked again whenever refreshShape() is called.
    void setShape(std::function<QPainterPath()> shape);
    void refreshShape();

    // Shows the panel without activating the application.
    void orderFront();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *m_content = nullptr;
    std::function<QPainterPath()> m_shape;
};
