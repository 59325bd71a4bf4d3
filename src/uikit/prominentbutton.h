#pragma once

#include <QPushButton>

// The filled accent button of a small card or sheet: the one action the user is expected to
// take, at the small control size. Return presses it while it holds the focus, whatever widget
// it sits in.
class ProminentButton : public QPushButton
{
    Q_OBJECT

public:
    explicit ProminentButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
};
