#include "settingscard.h"

#include "settings/palette.h"
#include "uikit/painting.h"

#include <QPainter>
#include <QVBoxLayout>

SettingsCard::SettingsCard(QWidget *parent)
    : QWidget(parent)
    , m_rows(new QVBoxLayout(this))
{
    m_rows->setContentsMargins(10, 0, 10, 0);
    m_rows->setSpacing(0);
}

void SettingsCard::addRow(QWidget *row)
{
    m_rows->addWidget(row);
}

void SettingsCard::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(whiteAt(0.03));
    p.drawPath(roundedRectPath(rect(), 12));
}

SettingsDivider::SettingsDivider(QWidget *parent)
    : QWidget(parent)
{
    setFixedHeight(1);
}

void SettingsDivider::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), whiteAt(0.1));
}
