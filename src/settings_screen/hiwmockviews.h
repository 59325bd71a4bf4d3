#pragma once

#include <QList>
#include <QPointF>
#include <QString>

#include <functional>

class HiwShadowCache;
class HiwTextCache;
class QPainter;

// The pieces of the miniature scene the how-it-works demos play on, painted in stage points.
// Their animated inputs are given as the fraction of the way into their new state, so a
// caller that knows the moment paints exactly that moment.

struct HiwPaintContext
{
    HiwShadowCache &shadows;
    HiwTextCache &texts;
};

// The stage's backdrop, 520 by 240 points.
void paintHiwStageBackground(QPainter &painter);
// Its edge, over everything.
void paintHiwStageBorder(QPainter &painter);

// The mock reading panel.
struct HiwPrompterView
{
    double x = 0;
    double y = 0;
    double w = 320;
    double eyeOn = 1; // 1 visible (eye), 0 invisible (slashed eye on the accent)
    bool eyeSymbolOn = true;
    double glow = 0;          // 0 … 1
    double showPill = 0;      // 0 … 1
    double numsMode = 0;      // footer: 0 note title, 1 page chips
    double docAccent = 0;     // the footer's notes icon in the accent
    QList<double> chipActive; // one per page chip: how far it is the active one
    double bodyHeight = 0;    // height of the body's content
    // Paints the body content from its top-left corner; it is w - 28 wide.
    std::function<void(QPainter &)> paintBody;

    double panelHeight() const;
    void paint(QPainter &painter, HiwPaintContext &context) const;
};

// The wrapped body text of a mock panel.
double hiwBodyTextHeight(HiwTextCache &texts, const QString &text, double width);
void paintHiwBodyText(QPainter &painter, HiwTextCache &texts, const QString &text, double width);

// The mock pointer, centred on `position`; `press` from 0 (up) to 1 (pressed).
void paintHiwCursor(QPainter &painter, HiwPaintContext &context, QPointF position, double press);
// A click ripple centred on `centre`, `progress` 0 … 1 through its one growth.
void paintHiwRipple(QPainter &painter, QPointF centre, double progress);
// The caption chip from `topLeft`; `presence` 0 (gone, 3 points lower) … 1.
void paintHiwCaptionChip(QPainter &painter, QPointF topLeft, const QString &text, double presence);
// One arrow key cap, 30 points square from `topLeft`; `active` 0 … 1.
void paintHiwKey(QPainter &painter, HiwPaintContext &context, QPointF topLeft,
                 const QString &symbol, double active);
