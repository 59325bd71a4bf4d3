#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

// Minutes and seconds since a start time, as "mm:ss" with no hour field (75 minutes show as
// 75:00), redrawn every second.
class ElapsedTimeView : public QWidget
{
    Q_OBJECT

public:
    // Milliseconds on a monotonic scale; only differences are used.
    using Clock = std::function<qint64()>;

    // Starts now, on the monotonic system clock.
    explicit ElapsedTimeView(double fontSize, QWidget *parent = nullptr);
    // Starts at `startMs` on `clock`'s scale.
    ElapsedTimeView(double fontSize, qint64 startMs, Clock clock, QWidget *parent = nullptr);

    static qint64 monotonicNowMs();
    // The text for whole elapsed seconds.
    static QString elapsedText(qint64 seconds);

    double fontSize() const { return m_fontSize; }
    qint64 startMs() const { return m_startMs; }
    QString text() const;

    // Counts from zero again, as when the view is built anew.
    void restart();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void scheduleRedraw();
    void tick();

    double m_fontSize = 11;
    Clock m_clock;
    qint64 m_startMs = 0;
    qsizetype m_shownLength = 0;
    QTimer m_redrawTimer;
};
