#pragma once

#include <QStringList>
#include <QWidget>

// A row of segments of which at most one is selected. It may show no selection at all, for a
// value that none of its segments stands for. activated() reports the user's choices only.
class SegmentedControl : public QWidget
{
    Q_OBJECT

public:
    static constexpr int controlHeight = 22;

    explicit SegmentedControl(const QStringList &labels = {}, QWidget *parent = nullptr);

    QStringList labels() const { return m_labels; }
    // Keeps the selection when the count stays; otherwise nothing is selected.
    void setLabels(const QStringList &labels);
    // -1: no segment selected.
    int currentIndex() const { return m_currentIndex; }
    void setCurrentIndex(int index);
    // The segment under a point of the widget; -1 for none.
    int segmentAt(const QPoint &pos) const;
    QRect segmentRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void activated(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void choose(int index);

    QStringList m_labels;
    int m_currentIndex = -1;
};
