#pragma once

#include <QImage>
#include <QMargins>
#include <QWidget>

class AnimatedValue;

// The capsule that confirms the panel is hidden from screen capture. The widget is larger than
// the capsule by `shadowMargins`, where its teal shadow falls; place it by capsuleRect().
class VisibilityToastView : public QWidget
{
    Q_OBJECT

public:
    static constexpr QMargins shadowMargins{10, 6, 10, 14};

    explicit VisibilityToastView(QWidget *parent = nullptr);

    QSizeF capsuleSize() const;
    QRectF capsuleRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Shows the toast over a whole view, its capsule centred `top` points below the view's top edge.
// It slides down 14 points and fades in with a spring, and leaves the same way. The toast
// widget only draws a picture of itself; this layer shows that picture.
class VisibilityToastLayer : public QWidget
{
    Q_OBJECT

public:
    VisibilityToastLayer(double top, QWidget *parent);

    bool isPresented() const { return m_presented; }
    void present(bool presented);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double m_top = 0;
    bool m_presented = false;
    AnimatedValue *const m_presence;
    VisibilityToastView *const m_toast;
    QImage m_picture;
};
