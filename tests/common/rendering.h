#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QTest>
#include <QWidget>

namespace TestSupport {

// An image to paint on, every pixel transparent.
inline QImage transparentImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// The widget and its children painted on a transparent image, without the window background, as
// the screen paints them: a painter opened on a widget reads in the widget's direction, where one
// opened on an image (as render() to an image would use) lets each text choose its own.
inline QImage render(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setLayoutDirection(widget.layoutDirection());
    widget.render(&painter, {}, {}, QWidget::DrawChildren);
    return image;
}

// The bounding box of the pixels that were painted.
inline QRect inkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// The image with every pixel of a plain fill made transparent: what was drawn over the fill.
inline QImage withoutFill(QImage image, QRgb fill)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == fill)
                image.setPixel(x, y, 0);
        }
    }
    return image;
}

// Whether the line begins, on the side its direction starts from, with what `start` painted:
// the pixels of that ink, moved to that side of the line's ink, are the same in both. A line
// that mixes fonts may sit a little lower, so a few pixels up or down are tried.
inline bool beginsWith(const QImage &line, const QImage &start, Qt::LayoutDirection direction)
{
    const QRect whole = inkBounds(line);
    const QRect first = inkBounds(start);
    if (first.isEmpty())
        return false;
    const int dx = direction == Qt::RightToLeft ? whole.right() - first.right()
                                                : whole.left() - first.left();
    const auto sameAt = [&](int dy) {
        for (int y = first.top(); y <= first.bottom(); ++y) {
            for (int x = first.left(); x <= first.right(); ++x) {
                if (!line.valid(x + dx, y + dy) || line.pixel(x + dx, y + dy) != start.pixel(x, y))
                    return false;
            }
        }
        return true;
    };
    for (int dy = -4; dy <= 4; ++dy) {
        if (sameAt(dy))
            return true;
    }
    return false;
}

// Rows for beginsWith(): a line that opens right to left and one that opens left to right, each
// with its first word and the side it starts from.
inline void addLineStartRows()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("firstWord");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::newRow("Hebrew, then English")
        << QStringLiteral("שלום עולם English") << QStringLiteral("שלום") << Qt::RightToLeft;
    QTest::newRow("English, then Hebrew")
        << QStringLiteral("Hello שלום עולם") << QStringLiteral("Hello") << Qt::LeftToRight;
}

} // namespace TestSupport
