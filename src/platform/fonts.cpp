#include "fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace Fonts {
namespace {

constexpr double pointsPerInch = 72.0;

double logicalDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

void setPixelSize(QFont &font, double pixelSize)
{
    // QFont takes whole pixels only; a fractional size goes through points at the screen's
    // logical resolution, which Qt turns back into the same pixel size when it renders.
    if (pixelSize > 0 && std::abs(pixelSize - std::round(pixelSize)) < 1e-9)
        font.setPixelSize(int(std::round(pixelSize)));
    else if (pixelSize > 0)
        font.setPointSizeF(pixelSize * pointsPerInch / logicalDpi());
}

} // namespace

QFont font(const QString &family, double pixelSize, QFont::Weight weight)
{
    QFont f(family);
    setPixelSize(f, pixelSize);
    f.setWeight(weight);
    return f;
}

QFont systemFont(double pixelSize, QFont::Weight weight)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    setPixelSize(f, pixelSize);
    f.setWeight(weight);
    return f;
}

QFont monospacedSystemFont(double pixelSize, QFont::Weight weight)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::Monospace);
    setPixelSize(f, pixelSize);
    f.setWeight(weight);
    return f;
}

double pixelSize(const QFont &font)
{
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return font.pointSizeF() * logicalDpi() / pointsPerInch;
}

bool hasFamily(const QString &family)
{
    return QFontDatabase::hasFamily(family);
}

QString resolvedFamily(const QString &genericFamily)
{
    return QFontInfo(QFont(genericFamily)).family();
}

} // namespace Fonts
