#include "floatingcollapsedbar.h"

#include "settings/palette.h"
#include "uikit/circleglyphbutton.h"
#include "uikit/painting.h"
#include "uikit/roundiconbutton.h"

#include <QHBoxLayout>
#include <QPainter>

namespace {

constexpr double barButtonSide = 20;
constexpr double barSymbolSize = 9;
constexpr double barSpacing = 8;
constexpr QMargins barPadding{14, 10, 14, 10};

// The chevron that opens the page list: bare, with no disc behind it.
CircleGlyphButton::Face pageListFace()
{
    CircleGlyphButton::Face face;
    face.symbol = u"chevron.down"_qs;
    face.diameter = 16;
    face.glyphSize = 11;
    face.glyphColor = whiteAt(0.8);
    return face;
}

} // namespace

FloatingOverlayView::CollapsedBar::CollapsedBar(QWidget *parent)
    : QWidget(parent)
    , m_minimizeButton(new RoundIconButton(u"minus"_qs, barButtonSide, barSymbolSize, this))
    , m_pageListButton(new CircleGlyphButton(pageListFace(), this))
    , m_closeButton(new RoundIconButton(u"xmark"_qs, barButtonSide, barSymbolSize, this))
{
    m_minimizeButton->setObjectName(u"collapsedMinimizeButton"_qs);
    m_pageListButton->setObjectName(u"collapsedPageListButton"_qs);
    m_closeButton->setObjectName(u"collapsedCloseButton"_qs);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(barPadding);
    row->setSpacing(int(barSpacing));
    row->setSizeConstraint(QLayout::SetFixedSize);
    for (QWidget *button :
         std::initializer_list<QWidget *>{m_minimizeButton, m_pageListButton, m_closeButton})
        row->addWidget(button, 0, Qt::AlignVCenter);
}

void FloatingOverlayView::CollapsedBar::setMini(bool mini)
{
    m_minimizeButton->setVisible(!mini);
    m_closeButton->setVisible(!mini);
    layout()->activate();
}

void FloatingOverlayView::CollapsedBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(roundedRectPath(rect(), height() / 2.0), Qt::black);
}
