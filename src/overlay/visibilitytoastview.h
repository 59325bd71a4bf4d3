#pragma once

#include <QMargins>
#include <QWidget>

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
