#pragma once

#include <QRectF>
#include <QString>

class OverlayContent;
class QPainter;

// The row text and label rule of the page lists; the pinned picker and the floating list draw
// the same rows at their own sizes.

// The label of page i: trimmed title, else the preview as stored, else localizedString("Vacío").
QString pageLabel(const OverlayContent &content, int index);

struct PageRowMetrics
{
    double numberPointSize;
    double labelPointSize;
    double numberWidth;
    double spacing = 6; // between the number's frame and the label
};

// Paints the row text: number i+1 (bold monospaced, white 0.8, centred in numberWidth) then the
// label (regular, white 0.5, one line, elided at the tail), inside rect.
void paintPageRowText(QPainter &painter, const QRectF &rect, int index, const QString &label,
                      const PageRowMetrics &metrics);

// The height of one line of row text at these sizes, rounded up to whole points so that rows
// stacked on it stay on the pixel grid.
double pageRowTextHeight(const PageRowMetrics &metrics);
