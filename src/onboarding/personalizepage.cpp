#include "personalizepage.h"

#include "onboarding/onboardingflow.h"
#include "onboarding/onboardingparts.h"
#include "onboarding/onboardingvisuals.h"
#include "platform/captureshield.h"
#include "platform/fonts.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "settings/presets.h"
#include "settings_screen/settingcontrols.h"
#include "uikit/localizedtext.h"
#include "uikit/segmentedcontrol.h"
#include "uikit/switchbutton.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>

namespace {

// A setting tile: a faint rounded card holding the label row and the control.
class SettingTile : public QWidget
{
public:
    SettingTile(const char *title, QWidget *parent, int minimumHeight = 78)
        : QWidget(parent)
    {
        setMinimumHeight(minimumHeight);
        m_column = new QVBoxLayout(this);
        m_column->setContentsMargins(14, 14, 14, 14);
        m_column->setSpacing(10);
        auto *labels = new QHBoxLayout;
        labels->setSpacing(6);
        QLabel *titleLabel
            = keyLabel(title, Fonts::systemFont(12, QFont::DemiBold), whiteAt(0.85), this);
        labels->addWidget(titleLabel, 0, Qt::AlignBaseline);
        m_subtitle = plainLabel(Fonts::systemFont(11, QFont::Normal), whiteAt(0.4), this);
        m_subtitle->hide();
        labels->addWidget(m_subtitle, 0, Qt::AlignBaseline);
        labels->addStretch();
        m_column->addLayout(labels);
    }

    QLabel *subtitle()
    {
        m_subtitle->show();
        return m_subtitle;
    }
    QVBoxLayout *column() const { return m_column; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        paintTile(painter, QRectF(rect()), 12, whiteAt(0.04), whiteAt(0.07), 0.5);
    }

private:
    QVBoxLayout *m_column;
    QLabel *m_subtitle;
};

// The kit's slider in the brand colour.
void brandSlider(QSlider *slider)
{
    slider->setStyleSheet(
        QStringLiteral("QSlider::groove:horizontal { height: 4px; background: rgba(255,255,255,40);"
                       " border-radius: 2px; }"
                       "QSlider::sub-page:horizontal { background: %1; border-radius: 2px; }"
                       "QSlider::handle:horizontal { background: white; width: 14px; height: 14px;"
                       " margin: -5px 0; border-radius: 7px; }")
            .arg(accentTeal().name()));
}

// How the page's controls move to a new value.
ControlMotion controlMotion(double seconds)
{
    return {AnimationTiming::easeInOut(seconds), &Motion::reduceMotion};
}
constexpr double controlChangeSeconds = 0.16;

// A setting's switch in the brand colour, a mini switch shown a third larger.
SwitchButton *brandSwitch(NotchSettings &settings, BoolGetter read, BoolSetter write,
                          ChangedSignal changed, QWidget *parent)
{
    SwitchButton *toggle = settingSwitch(settings, read, write, changed, parent);
    toggle->setOnColor(accentTeal());
    toggle->setSwitchSize(SwitchButton::miniSwitchSize * 1.3);
    toggle->setMotion(controlMotion(SwitchButton::slideSeconds));
    return toggle;
}

QWidget *switchRow(SwitchButton *toggle, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(toggle);
    layout->addStretch();
    return row;
}

} // namespace

PersonalizePage::PersonalizePage(OnboardingFlow &flow, NotchSettings &settings,
                                 const CaptureShield &shield, QWidget *parent)
    : PracticeBackdrop(parent)
    , m_flow(flow)
    , m_settings(settings)
{
    m_header = new QWidget(this);
    auto *headerRow = new QHBoxLayout(m_header);
    headerRow->setContentsMargins(28, 60, 28, 28);
    auto *headerText = new QVBoxLayout;
    headerText->setSpacing(6);
    QLabel *title = keyLabel("Personalizá a Brivel", trackedFont(32, QFont::Black, -0.6), Qt::white,
                             m_header);
    headerText->addWidget(title);
    headerText->addWidget(keyLabel("Mirá el notch arriba para ver cómo afectan los cambios.",
                                   Fonts::systemFont(14, QFont::Medium), whiteAt(0.55), m_header));
    headerRow->addLayout(headerText);
    headerRow->addStretch();
    CapsuleButton::Style resetStyle{Fonts::systemFont(11, QFont::Medium), Qt::white, whiteAt(0.1),
                                    12, 6};
    resetStyle.leadingGlyph = QStringLiteral("arrow.counterclockwise");
    auto *reset = new CapsuleButton(resetStyle, m_header);
    reset->setObjectName(QStringLiteral("resetAppearance"));
    LocalizedText::bind(reset, "text", "Restablecer");
    connect(reset, &QAbstractButton::clicked, this, [this] { resetAppearance(m_settings); });
    headerRow->addWidget(reset, 0, Qt::AlignTop);

    m_gridHost = new QWidget(this);
    m_grid = new QGridLayout(m_gridHost);
    m_grid->setContentsMargins(28, 0, 28, 0);
    m_grid->setHorizontalSpacing(12);
    m_grid->setVerticalSpacing(10);
    for (int c = 0; c < 6; ++c)
        m_grid->setColumnStretch(c, 1);

    auto *font = new SettingTile("Tipografía", m_gridHost);
    auto *familyMenu = new FontFamilyMenu(settings, FontFamilyMenu::Look::tile, font);
    familyMenu->setObjectName(QStringLiteral("familyMenu"));
    font->column()->addWidget(familyMenu);
    m_fontTile = font;

    auto *size = new SettingTile("Tamaño", m_gridHost);
    LocalizedText::bind(size->subtitle(), "text", "del texto");
    SegmentedControl *segments = fontSizeSegments(settings, size);
    segments->setFont(Fonts::systemFont(12.5, QFont::DemiBold));
    segments->setFixedHeight(30);
    segments->setLook({.track = whiteAt(0.1),
                       .trackBorder = whiteAt(0.12),
                       .trackRadius = 8,
                       .padding = 2,
                       .selection = accentTeal(),
                       .selectionInset = 0,
                       .selectionRadius = 6,
                       .text = Qt::white,
                       .selectedText = onAccentTeal(),
                       .dividers = false});
    segments->setSelectionMotion(controlMotion(controlChangeSeconds));
    size->column()->addWidget(segments);
    m_sizeTile = size;

    auto *timer = new SettingTile("Cronómetro", m_gridHost);
    LocalizedText::bind(timer->subtitle(), "text", "visible al presentar");
    auto *timerSwitch
        = brandSwitch(settings, &NotchSettings::showElapsedTime, &NotchSettings::setShowElapsedTime,
                      &NotchSettings::showElapsedTimeChanged, timer);
    timerSwitch->setObjectName(QStringLiteral("timerSwitch"));
    timer->column()->addWidget(switchRow(timerSwitch, timer));
    m_timerTile = timer;

    auto *colour = new SettingTile("Color", m_gridHost);
    const ColorSwatches::Look swatches{.chip = {.side = 26,
                                                .dot = 16,
                                                .border = whiteAt(0.25),
                                                .borderOnWhite = true,
                                                .ring = accentTeal(),
                                                .ringMotion = controlMotion(controlChangeSeconds)},
                                       .well = ColorWell::Face::swatch,
                                       .spacing = 8,
                                       .trailing = false};
    colour->column()->addWidget(new ColorSwatches(settings, swatches, colour));
    m_colorTile = colour;

    auto *glass = new SettingTile("Efecto vidrio", m_gridHost);
    auto *glassSwitch
        = brandSwitch(settings, &NotchSettings::glassEffect, &NotchSettings::setGlassEffect,
                      &NotchSettings::glassEffectChanged, glass);
    glassSwitch->setObjectName(QStringLiteral("glassSwitch"));
    glass->column()->addWidget(switchRow(glassSwitch, glass));
    m_glassTile = glass;

    // Continuous, their value in the tile's subtitle as a share of the range.
    const auto sliderTile = [this, &settings](const char *title, SettingSlider::Getter read,
                                              SettingSlider::Setter write, ChangedSignal changed,
                                              double lower, double upper, SettingSlider *&slider) {
        auto *tile = new SettingTile(title, m_gridHost);
        slider = new SettingSlider(settings, read, write, changed, {lower, upper, 0, 1, u"", true},
                                   tile);
        slider->setValueLabel(tile->subtitle());
        slider->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        brandSlider(slider->slider());
        tile->column()->addWidget(slider);
        return tile;
    };
    m_opacityTile
        = sliderTile("Opacidad", &NotchSettings::glassOpacity, &NotchSettings::setGlassOpacity,
                     &NotchSettings::glassOpacityChanged, 0, 1, m_opacity);
    m_widthTile = sliderTile("Ancho", &NotchSettings::notchWidth, &NotchSettings::setNotchWidth,
                             &NotchSettings::notchWidthChanged, 310, 500, m_width);
    m_heightTile
        = sliderTile("Alto", &NotchSettings::textAreaHeight, &NotchSettings::setTextAreaHeight,
                     &NotchSettings::textAreaHeightChanged, 140, 400, m_height);
    m_opacity->slider()->setObjectName(QStringLiteral("opacitySlider"));
    m_width->slider()->setObjectName(QStringLiteral("widthSlider"));
    m_height->slider()->setObjectName(QStringLiteral("heightSlider"));

    auto *invisible = new SettingTile("Invisible al compartir", m_gridHost, 56);
    invisible->column()->setSpacing(3);
    auto *invisibleRow = new QHBoxLayout;
    // Where windows cannot be kept out of captures, the switch is a stored wish only.
    QLabel *description
        = keyLabel(shield.isSupported() ? "Tu ventana no aparece al compartir pantalla"
                                        : "En este sistema la ventana sigue visible al compartir "
                                          "pantalla",
                   Fonts::systemFont(11, QFont::Normal), whiteAt(0.6), invisible);
    description->setObjectName(QStringLiteral("invisibleDescription"));
    invisibleRow->addWidget(description);
    invisibleRow->addStretch();
    auto *invisibleSwitch = brandSwitch(settings, &NotchSettings::hideFromScreenShare,
                                        &NotchSettings::setHideFromScreenShare,
                                        &NotchSettings::hideFromScreenShareChanged, invisible);
    invisibleSwitch->setObjectName(QStringLiteral("invisibleSwitch"));
    invisibleRow->addWidget(invisibleSwitch);
    invisible->column()->addLayout(invisibleRow);
    m_invisibleTile = invisible;
    // Like the rest of the page, the controls take no keyboard focus.
    for (QWidget *control : m_gridHost->findChildren<QWidget *>())
        control->setFocusPolicy(Qt::NoFocus);

    auto *skip = pillButton("Omitir", this);
    skip->setObjectName(QStringLiteral("personalizeSkip"));
    auto *next = pillButton("Continuar", this);
    next->setObjectName(QStringLiteral("personalizeContinue"));
    m_skip = skip;
    m_continue = next;
    for (QAbstractButton *button : {m_skip, m_continue})
        connect(button, &QAbstractButton::clicked, &flow, &OnboardingFlow::showTutorialStep);

    connect(&settings, &NotchSettings::glassEffectChanged, this, &PersonalizePage::arrangeGrid);
    LocalizedText::follow(this, "values", [this] { resizeEvent(nullptr); });
    arrangeGrid();
}

void PersonalizePage::resetAppearance(NotchSettings &settings)
{
    settings.setFontFamilyPreset(FontFamilyPreset::sans);
    settings.setFontSizePreset(FontSizePreset::sm);
    settings.setHighlightColor(Qt::white);
    settings.setGlassEffect(false);
    settings.setGlassOpacity(0.7);
    settings.setNotchWidth(340);
    settings.setTextAreaHeight(160);
    settings.setHideFromScreenShare(false);
    settings.setShowElapsedTime(false);
}

QSlider *PersonalizePage::widthSlider() const
{
    return m_width->slider();
}

QSlider *PersonalizePage::heightSlider() const
{
    return m_height->slider();
}

QSlider *PersonalizePage::opacitySlider() const
{
    return m_opacity->slider();
}

void PersonalizePage::arrangeGrid()
{
    for (QWidget *tile : {m_fontTile, m_sizeTile, m_timerTile, m_colorTile, m_glassTile,
                          m_opacityTile, m_widthTile, m_heightTile, m_invisibleTile})
        m_grid->removeWidget(tile);
    m_grid->addWidget(m_fontTile, 0, 0, 1, 2);
    m_grid->addWidget(m_sizeTile, 0, 2, 1, 2);
    m_grid->addWidget(m_timerTile, 0, 4, 1, 2);
    m_grid->addWidget(m_colorTile, 1, 0, 1, 3);
    m_grid->addWidget(m_glassTile, 1, 3, 1, 3);
    const bool glass = m_settings.glassEffect();
    m_opacityTile->setVisible(glass);
    if (glass) {
        m_grid->addWidget(m_opacityTile, 2, 0, 1, 2);
        m_grid->addWidget(m_widthTile, 2, 2, 1, 2);
        m_grid->addWidget(m_heightTile, 2, 4, 1, 2);
    } else {
        m_grid->addWidget(m_widthTile, 2, 0, 1, 3);
        m_grid->addWidget(m_heightTile, 2, 3, 1, 3);
    }
    m_grid->addWidget(m_invisibleTile, 3, 0, 1, 6);
}

void PersonalizePage::resizeEvent(QResizeEvent *)
{
    const int headerHeight = m_header->sizeHint().height();
    m_header->setGeometry(0, 0, width(), headerHeight);
    const int gridHeight = m_gridHost->sizeHint().height();
    m_gridHost->setGeometry(0, headerHeight, width(), gridHeight);
    const QSize skip = m_skip->sizeHint();
    const QSize next = m_continue->sizeHint();
    m_skip->setGeometry(24, height() - 20 - skip.height(), skip.width(), skip.height());
    m_continue->setGeometry(width() - 24 - next.width(), height() - 20 - next.height(),
                            next.width(), next.height());
}
