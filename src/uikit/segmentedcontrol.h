#pragma once

#include "uikit/animation.h"

#include <QColor>
#include <QStringList>
#include <QWidget>

// A row of segments of which at most one is selected. It may show no selection at all, for a
// value that none of its segments stands for. activated() reports the user's choices only.
class SegmentedControl : public QWidget
{
    Q_OBJECT

public:
    static constexpr int controlHeight = 22;

    // How the track and the selection are drawn; the defaults are the settings rows' greys.
    struct Look
    {
        QColor track;
        QColor trackBorder; // none unless valid: a hairline inside the track's edge
        double trackRadius = 6;
        int padding = 0; // between the track's edge and the segments
        QColor selection;
        double selectionInset = 2;
        double selectionRadius = 5;
        QColor text;
        QColor selectedText;
        bool dividers = true; // between two segments that are not selected
    };
    static Look standardLook();

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
    void setLook(const Look &look);
    // Lets the selection slide from one segment to the next; by default it jumps.
    void setSelectionMotion(const ControlMotion &motion) { m_motion = motion; }

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
    QRectF selectionRect() const;

    QStringList m_labels;
    int m_currentIndex = -1;
    Look m_look = standardLook();
    ControlMotion m_motion;
    // Where the selection is drawn, in segments; between two while it slides.
    AnimatedValue *m_selection;
};
