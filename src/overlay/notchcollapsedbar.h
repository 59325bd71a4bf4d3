#pragma once

#include "overlay/notchoverlayview.h"

#include <QWidget>

#include <functional>

// The bar below the top bar while collapsed: minimise, a chevron and close, or the chevron
// alone in the mini form. A click anywhere but on the two buttons reopens the picker.
class NotchOverlayView::CollapsedBar : public QWidget
{
public:
    CollapsedBar(std::function<void()> onTap, QWidget *parent);

    RoundIconButton *minimizeButton() const { return m_minimizeButton; }
    RoundIconButton *closeButton() const { return m_closeButton; }

    void setMini(bool mini);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::function<void()> m_onTap;
    RoundIconButton *m_minimizeButton = nullptr;
    RoundIconButton *m_closeButton = nullptr;
};
