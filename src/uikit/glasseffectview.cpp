#include "glasseffectview.h"

#include <QPainter>

GlassEffectView::GlassEffectView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

QColor GlassEffectView::materialColor()
{
    return QColor(30, 30, 32, qRound(0.92 * 255));
}

void GlassEffectView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), materialColor());
}
