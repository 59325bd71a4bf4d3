#include "onboardingparts.h"

#include "platform/fonts.h"
#include "uikit/icons.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QLabel>
#include <QPainter>

#include <cmath>

QFont trackedFont(double size, QFont::Weight weight, double tracking)
{
    QFont font = Fonts::systemFont(size, weight);
    font.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    return font;
}

QLabel *textLabel(const char *key, const QFont &font, const QColor &color, QWidget *parent)
{
    QLabel *label = verbatimLabel({}, font, color, parent);
    LocalizedText::bind(label, "text", key);
    return label;
}

QLabel *verbatimLabel(const QString &text, const QFont &font, const QColor &color, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

CapsuleButton *pillButton(const char *key, QWidget *parent)
{
    auto *button = new CapsuleButton(
        {Fonts::systemFont(14, QFont::Medium), Qt::white, QColor::fromRgbF(0.18f, 0.18f, 0.18f)},
        parent);
    LocalizedText::bind(button, "text", key);
    return button;
}
