#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

// Watches the wheel events of the view's window while the pointer is over the view, without
// taking them from anyone, and reports vertical deltas (positive moves the text down) and the
// end of each gesture. Touchpads say when a gesture ends; a classic wheel does not, so its
// gesture ends after a short pause.
class ScrollWheelCapture : public QObject
{
    Q_OBJECT

public:
    static constexpr int wheelGestureTimeoutMs = 150;
    // Points per line of a line-based wheel.
    static constexpr double pointsPerLine = 10;

    explicit ScrollWheelCapture(QWidget *view);
    ~ScrollWheelCapture() override;

Q_SIGNALS:
    void scrolled(double delta);
    void scrollEnded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_view;
    QTimer m_phaselessEnd;
};
