#pragma once

#include <QPainterPath>
#include <QPointer>
#include <QRectF>
#include <QWidget>

class AnimatedValue;
class EditorController;
class QLabel;
class QPushButton;
class QTimer;

// The first-run tour over the editor: for each step of the controller's tour it darkens its
// parent page except for a hole over the step's target, rings the target and shows a card with
// one button. The button holds the keyboard focus while a card shows; a click anywhere on the
// overlay does what the button does. A step whose target is hidden or has no size shows
// nothing and lets every click through.
class CoachMarkOverlay : public QWidget
{
    Q_OBJECT

public:
    static constexpr double tooltipWidth = 260;
    static constexpr double padding = 16;

    // The targets of the steps 1, 2 and 3, each inside `page`, which the overlay covers.
    CoachMarkOverlay(EditorController &controller, const QList<QWidget *> &targets, QWidget *page);

    // The page with a rounded hole over `cutout`, to be filled with the odd-even rule.
    static QPainterPath scrimPath(const QRectF &bounds, const QRectF &cutout);
    // Where the card's centre goes in a container of `container` size: above a target in the
    // lower half, else below, kept 16 points inside the edges.
    static QPointF cardCenter(const QSizeF &container, const QRectF &anchor, const QSizeF &card);

    // The current step's target in the overlay's coordinates; empty while it shows nothing.
    QRectF anchorRect() const { return m_anchor; }
    QWidget *card() const { return m_card; }
    QPushButton *button() const { return m_button; }
    QLabel *titleLabel() const { return m_title; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *currentTarget() const;
    void showStep();
    void applyTexts();
    // Follows the target wherever layouts and the window take it.
    void updateAnchor();
    void placeCard();
    void advance();
    void setCardProgress(double progress);
    void returnFocus();

    EditorController &m_controller;
    QList<QPointer<QWidget>> m_targets;
    QRectF m_anchor;
    QWidget *m_card = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_message = nullptr;
    QPushButton *m_button = nullptr;
    AnimatedValue *m_appeared = nullptr;
    QTimer *m_reveal = nullptr;
    // Where the keyboard was before the tour took it.
    QPointer<QWidget> m_focusBeforeTour;
};
