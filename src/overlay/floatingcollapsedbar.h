#pragma once

#include "overlay/floatingoverlayview.h"

#include <QWidget>

class CircleGlyphButton;
class RoundIconButton;

// The collapsed panel: minimise, the page list's chevron and close on a black capsule, or the
// chevron alone in the mini form.
class FloatingOverlayView::CollapsedBar : public QWidget
{
public:
    explicit CollapsedBar(QWidget *parent);

    RoundIconButton *minimizeButton() const { return m_minimizeButton; }
    CircleGlyphButton *pageListButton() const { return m_pageListButton; }
    RoundIconButton *closeButton() const { return m_closeButton; }

    void setMini(bool mini);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    RoundIconButton *m_minimizeButton = nullptr;
    CircleGlyphButton *m_pageListButton = nullptr;
    RoundIconButton *m_closeButton = nullptr;
};
