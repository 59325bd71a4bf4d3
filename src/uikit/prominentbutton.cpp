#include "prominentbutton.h"

#include "platform/fonts.h"

#include <QPalette>
#include <QPushButton>

void makeProminentButton(QPushButton *button)
{
    QPalette palette = button->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Button, palette.color(group, QPalette::Highlight));
        palette.setColor(group, QPalette::ButtonText,
                         palette.color(group, QPalette::HighlightedText));
    }
    button->setPalette(palette);
    // The small control size.
    button->setFont(Fonts::systemFont(11, QFont::Medium));
    button->setAutoDefault(true);
    button->setCursor(Qt::PointingHandCursor);
}
