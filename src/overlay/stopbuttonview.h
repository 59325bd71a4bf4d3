#pragma once

#include <QAbstractButton>

// The cursor mode's round red stop button, the only content of its 36 x 36 panel. A click
// inside the disc emits stopRequested() once; pressing changes nothing in its look.
class StopButtonView : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr int side = 36;

    explicit StopButtonView(QWidget *parent = nullptr);

Q_SIGNALS:
    void stopRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
};
