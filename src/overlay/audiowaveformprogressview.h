#pragma once

#include <QColor>
#include <QList>
#include <QRectF>
#include <QWidget>

#include <vector>

class AnimatedValue;

// A centred row of audio level bars that doubles as a progress bar: bars up to the reading
// progress are in the accent colour, the rest faint white.
class AudioWaveformProgressView : public QWidget
{
    Q_OBJECT

public:
    struct Bar
    {
        QRectF rect; // in the widget's coordinates
        QColor color;
    };

    static constexpr double barWidth = 3;
    static constexpr double barSpacing = 2;
    static constexpr double fullBarHeight = 28;
    static constexpr double minimumBarHeight = 3;

    explicit AudioWaveformProgressView(QWidget *parent = nullptr);

    QList<double> levels() const { return m_levels; }
    // A bar's height follows its level with a short ease-out; new bars start at their level.
    void setLevels(const QList<double> &levels);
    double progress() const { return m_progress; }
    void setProgress(double progress);

    // Where bar `index` of `count` lies along the row, from 0 to 1.
    static double barPosition(int index, int count);
    static QColor barColor(int index, int count, double progress);
    static double barHeight(double level);

    // The bars as drawn now, left to right.
    QList<Bar> bars() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<double> m_levels;
    double m_progress = 0;
    std::vector<AnimatedValue *> m_shownLevels;
};
