#include "settingrow.h"

#include "platform/fonts.h"
#include "settings/palette.h"
#include "uikit/localizedtext.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace {

constexpr int verticalPadding = 2;
constexpr int dividerHeight = 1;

} // namespace

SettingRow::SettingRow(const char *labelKey, QWidget *control, ControlWidth width,
                       QWidget *infoButton, QWidget *parent)
    : QWidget(parent)
    , m_label(new QLabel(this))
    , m_control(control)
{
    m_label->setFont(Fonts::systemFont(13, QFont::Medium));
    QPalette labelPalette = m_label->palette();
    labelPalette.setColor(QPalette::WindowText, whiteAt(0.85));
    m_label->setPalette(labelPalette);
    LocalizedText::bind(m_label, "text", labelKey);

    auto *line = new QHBoxLayout(this);
    // The divider is painted in the bottom margin.
    line->setContentsMargins(0, verticalPadding, 0, verticalPadding + dividerHeight);
    line->setSpacing(5);
    line->addWidget(m_label);
    if (infoButton)
        line->addWidget(infoButton);
    if (width == ControlWidth::fixed) {
        // A control of its own size (a switch) sits at the trailing edge of the 200 points;
        // one that can grow (a picker) fills them.
        auto *frame = new QWidget(this);
        frame->setFixedWidth(controlWidth);
        auto *inside = new QHBoxLayout(frame);
        inside->setContentsMargins(0, 0, 0, 0);
        const bool ownSize = control->sizePolicy().horizontalPolicy() == QSizePolicy::Fixed
                             || control->maximumWidth() < controlWidth;
        control->setParent(frame);
        inside->addWidget(control, 0,
                          ownSize ? Qt::AlignRight | Qt::AlignVCenter : Qt::Alignment());
        line->addStretch(1);
        line->addWidget(frame);
    } else {
        control->setParent(this);
        control->setMinimumWidth(0);
        control->setSizePolicy(QSizePolicy::Expanding, control->sizePolicy().verticalPolicy());
        line->addWidget(control, 1);
    }
    setMinimumHeight(minimumLineHeight + 2 * verticalPadding + dividerHeight);
}

void SettingRow::setDividerVisible(bool visible)
{
    if (visible == m_dividerVisible)
        return;
    m_dividerVisible = visible;
    update();
}

void SettingRow::paintEvent(QPaintEvent *)
{
    if (!m_dividerVisible)
        return;
    QPainter p(this);
    p.fillRect(QRect(0, height() - dividerHeight, width(), dividerHeight), whiteAt(0.05));
}
