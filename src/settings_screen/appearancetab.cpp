#include "appearancetab.h"

#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "settings_screen/settingcontrols.h"
#include "settings_screen/settingscard.h"
#include "uikit/animation.h"
#include "uikit/fade.h"
#include "uikit/segmentedcontrol.h"
#include "uikit/settingrow.h"
#include "uikit/switchbutton.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QComboBox>
#include <QConicalGradient>
#include <QHBoxLayout>
#include <QPainter>
#include <QRadialGradient>
#include <QVBoxLayout>

namespace {

constexpr double rowAnimationSeconds = 0.2;

// A round chip of a preset colour.
class ColorChip : public QAbstractButton
{
public:
    ColorChip(const QColor &color, QWidget *parent)
        : QAbstractButton(parent)
        , m_color(color)
    {
        setFixedSize(18, 18);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(m_color);
        p.drawEllipse(QRectF(rect()));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(whiteAt(0.15), 0.5));
        p.drawEllipse(QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25));
    }

private:
    QColor m_color;
};

// The colour well: a wheel of hues under a soft white highlight, whatever the current colour.
class ColorWell : public QAbstractButton
{
public:
    static constexpr int side = 28;

    explicit ColorWell(QWidget *parent)
        : QAbstractButton(parent)
    {
        setFixedSize(side, side);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        static const QColor hues[]
            = {QColor::fromRgbF(1.0f, 0.0f, 0.0f),    QColor::fromRgbF(0.98f, 0.0f, 1.0f),
               QColor::fromRgbF(0.49f, 0.32f, 1.0f),  QColor::fromRgbF(0.0f, 0.63f, 1.0f),
               QColor::fromRgbF(0.07f, 0.73f, 0.75f), QColor::fromRgbF(0.13f, 0.82f, 0.5f),
               QColor::fromRgbF(0.27f, 1.0f, 0.0f),   QColor::fromRgbF(0.64f, 0.98f, 0.0f),
               QColor::fromRgbF(1.0f, 0.97f, 0.0f),   QColor::fromRgbF(1.0f, 0.73f, 0.0f),
               QColor::fromRgbF(1.0f, 0.24f, 0.0f),   QColor::fromRgbF(1.0f, 0.0f, 0.0f)};
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF disc(rect());
        const QPointF centre = disc.center();
        // The wheel starts straight down and turns clockwise on screen; Qt's conical gradient
        // turns the other way from its angle, so the stops run backwards from 270°.
        QConicalGradient wheel(centre, 270);
        const int count = int(std::size(hues));
        for (int i = 0; i < count; ++i)
            wheel.setColorAt(1.0 - double(i) / (count - 1), hues[i]);
        p.setPen(Qt::NoPen);
        p.setBrush(wheel);
        p.drawEllipse(disc);
        QRadialGradient highlight(centre, side / 2.0);
        highlight.setColorAt(0.04, Qt::white);
        highlight.setColorAt(0.41, whiteAt(0.66));
        highlight.setColorAt(0.74, whiteAt(0.33));
        highlight.setColorAt(0.96, whiteAt(0));
        p.setBrush(highlight);
        p.drawEllipse(disc);
    }
};

} // namespace

QList<QColor> AppearanceTab::presetColors()
{
    return {Qt::white, QColor::fromRgbF(0.0f, 0.847f, 0.749f)};
}

AppearanceTab::AppearanceTab(NotchSettings &settings, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
{
    auto *tab = new QVBoxLayout(this);
    tab->setContentsMargins(20, 20, 20, 20);
    auto *card = new SettingsCard(this);
    tab->addWidget(card);
    tab->addStretch(1);

    m_font = new QComboBox(this);
    for (const char *title : {"Sans", "Serif", "Mono", "Dyslexia"})
        m_font->addItem(QString::fromLatin1(title));
    m_font->setCurrentIndex(int(settings.fontFamilyPreset()));
    connect(m_font, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < int(allCases<FontFamilyPreset>().size()))
            m_settings.setFontFamilyPreset(allCases<FontFamilyPreset>()[std::size_t(index)]);
    });
    connect(&settings, &NotchSettings::fontFamilyPresetChanged, m_font,
            [this] { m_font->setCurrentIndex(int(m_settings.fontFamilyPreset())); });

    m_size = new SegmentedControl({QStringLiteral("S"), QStringLiteral("M"), QStringLiteral("L")},
                                  this);
    m_size->setCurrentIndex(int(settings.fontSizePreset()));
    connect(m_size, &SegmentedControl::activated, this, [this](int index) {
        if (index >= 0 && index < int(allCases<FontSizePreset>().size()))
            m_settings.setFontSizePreset(allCases<FontSizePreset>()[std::size_t(index)]);
    });
    connect(&settings, &NotchSettings::fontSizePresetChanged, m_size,
            [this] { m_size->setCurrentIndex(int(m_settings.fontSizePreset())); });

    m_opacity
        = new SettingSlider(settings, &NotchSettings::glassOpacity, &NotchSettings::setGlassOpacity,
                            &NotchSettings::glassOpacityChanged, {0, 1, 0.05, 100, u"%"}, this);
    m_width = new SettingSlider(settings, &NotchSettings::notchWidth, &NotchSettings::setNotchWidth,
                                &NotchSettings::notchWidthChanged, {310, 500, 10, 1, u"px"}, this);
    m_height = new SettingSlider(
        settings, &NotchSettings::textAreaHeight, &NotchSettings::setTextAreaHeight,
        &NotchSettings::textAreaHeightChanged, {140, 400, 10, 1, u"px"}, this);

    using Width = SettingRow::ControlWidth;
    m_rows << new SettingRow("Fuente", m_font, Width::fixed);
    m_rows << new SettingRow("Tamaño", m_size, Width::fixed);
    m_rows << new SettingRow("Color", colorChipsControl(), Width::fixed);
    m_rows << new SettingRow("Efecto Vidrio",
                             settingSwitch(settings, &NotchSettings::glassEffect,
                                           &NotchSettings::setGlassEffect,
                                           &NotchSettings::glassEffectChanged, this),
                             Width::fixed);
    m_rows << new SettingRow("Opacidad", m_opacity, Width::flexible);
    m_rows << new SettingRow("Ancho", m_width, Width::flexible);
    m_rows << new SettingRow("Alto", m_height, Width::flexible);
    for (SettingRow *row : std::as_const(m_rows))
        card->addRow(row);
    m_rows[heightRow]->setDividerVisible(false);

    syncRows();
    connect(&settings, &NotchSettings::overlayModeChanged, this, &AppearanceTab::syncRows);
    connect(&settings, &NotchSettings::glassEffectChanged, this, &AppearanceTab::syncRows);
}

QWidget *AppearanceTab::colorChipsControl()
{
    auto *control = new QWidget(this);
    auto *row = new QHBoxLayout(control);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addStretch(1);
    for (const QColor &color : presetColors()) {
        auto *chip = new ColorChip(color, control);
        connect(chip, &QAbstractButton::clicked, this,
                [this, color] { m_settings.setHighlightColor(color); });
        m_chips << chip;
        row->addWidget(chip);
    }
    m_well = new ColorWell(control);
    connect(m_well, &QAbstractButton::clicked, this, &AppearanceTab::openColorPanel);
    row->addWidget(m_well);
    return control;
}

// One panel, not modal: every colour picked in it is the text colour at once.
void AppearanceTab::openColorPanel()
{
    if (!m_colorPanel) {
        m_colorPanel = new QColorDialog(m_settings.highlightColor(), this);
        m_colorPanel->setAttribute(Qt::WA_DeleteOnClose);
        m_colorPanel->setOption(QColorDialog::ShowAlphaChannel, false);
        m_colorPanel->setOption(QColorDialog::NoButtons, true);
        connect(m_colorPanel, &QColorDialog::currentColorChanged, this, [this](const QColor &c) {
            if (c.isValid())
                m_settings.setHighlightColor(c);
        });
    }
    m_colorPanel->show();
    m_colorPanel->raise();
    m_colorPanel->activateWindow();
}

void AppearanceTab::syncRows()
{
    const bool fullscreen = m_settings.overlayMode() == OverlayMode::fullscreen;
    const AnimationTiming timing = AnimationTiming::easeInOut(rowAnimationSeconds);
    fadeWidget(m_rows[glassRow], !fullscreen, timing);
    fadeWidget(m_rows[opacityRow], !fullscreen && m_settings.glassEffect(), timing);
}
