#include "notchcollapsedbar.h"

#include "settings/palette.h"
#include "uikit/icons.h"
#include "uikit/roundiconbutton.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>

#include <utility>

NotchOverlayView::CollapsedBar::CollapsedBar(std::function<void()> onTap, QWidget *parent)
    : QWidget(parent)
    , m_onTap(std::move(onTap))
    , m_minimizeButton(new RoundIconButton(u"minus"_qs, roundButtonSide, roundButtonSymbol, this))
    , m_closeButton(new RoundIconButton(u"xmark"_qs, roundButtonSide, roundButtonSymbol, this))
{
    m_minimizeButton->setObjectName(u"collapsedMinimizeButton"_qs);
    m_closeButton->setObjectName(u"collapsedCloseButton"_qs);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(int(barPadding), 0, int(barPadding), 0);
    row->setSpacing(0);
    row->addWidget(m_minimizeButton, 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(m_closeButton, 0, Qt::AlignVCenter);
}

void NotchOverlayView::CollapsedBar::setMini(bool mini)
{
    m_minimizeButton->setVisible(!mini);
    m_closeButton->setVisible(!mini);
}

void NotchOverlayView::CollapsedBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF glyph(0, 0, 14, 14);
    glyph.moveCenter(QRectF(rect()).center());
    Icons::paint(&painter, u"chevron.down"_qs, glyph, whiteAt(0.7), 10, QFont::Bold);
}

void NotchOverlayView::CollapsedBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        event->ignore();
}

void NotchOverlayView::CollapsedBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        m_onTap();
}
