#include "settingcontrols.h"

#include "overlay/boundedpixels.h"
#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "uikit/animation.h"
#include "uikit/icons.h"
#include "uikit/keycapchips.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"
#include "uikit/segmentedcontrol.h"
#include "uikit/switchbutton.h"

#include <QColorDialog>
#include <QConicalGradient>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QRadialGradient>
#include <QSignalBlocker>
#include <QSlider>
#include <QWheelEvent>

#include <cmath>
#include <limits>

namespace {

// A faint rounded tile under the onboarding's controls.
void paintTile(QPainter &painter, const QRectF &rect, double radius, const QColor &border)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(roundedRectPath(rect, radius), whiteAt(0.1));
    strokeInsideRoundedRect(&painter, rect, radius, QPen(border, 0.5));
}

// Continuous sliders move in thousandths of their range.
constexpr int continuousSteps = 1000;

} // namespace

SwitchButton *settingSwitch(NotchSettings &settings, BoolGetter read, BoolSetter write,
                            ChangedSignal changed, QWidget *parent)
{
    auto *button = new SwitchButton(parent);
    button->setChecked((settings.*read)());
    QObject::connect(button, &QAbstractButton::clicked, &settings,
                     [&settings, write](bool on) { (settings.*write)(on); });
    QObject::connect(&settings, changed, button,
                     [button, &settings, read] { button->setChecked((settings.*read)()); });
    return button;
}

QWidget *arrowKeySwitch(NotchSettings &settings, const QStringList &keys, const char *captionKey,
                        BoolGetter read, BoolSetter write, ChangedSignal changed, QWidget *parent)
{
    auto *control = new QWidget(parent);
    auto *row = new QHBoxLayout(control);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addStretch(1);
    row->addWidget(new KeyCapChips(keys, captionKey, control));
    row->addWidget(settingSwitch(settings, read, write, changed, control));
    return control;
}

FontFamilyMenu::FontFamilyMenu(NotchSettings &settings, Look look, QWidget *parent)
    : QComboBox(parent)
    , m_settings(settings)
    , m_look(look)
{
    for (const char *title : {"Sans", "Serif", "Mono", "Dyslexia"})
        addItem(QString::fromLatin1(title));
    setCurrentIndex(int(settings.fontFamilyPreset()));
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < int(allCases<FontFamilyPreset>().size()))
            m_settings.setFontFamilyPreset(allCases<FontFamilyPreset>()[std::size_t(index)]);
    });
    connect(&settings, &NotchSettings::fontFamilyPresetChanged, this,
            [this] { setCurrentIndex(int(m_settings.fontFamilyPreset())); });
    if (look == Look::tile) {
        setFixedHeight(30);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
    }
}

void FontFamilyMenu::showPopup()
{
    if (m_look == Look::platform) {
        QComboBox::showPopup();
        return;
    }
    QMenu menu(this);
    for (int i = 0; i < count(); ++i) {
        connect(menu.addAction(itemText(i)), &QAction::triggered, this,
                [this, i] { Q_EMIT activated(i); });
    }
    menu.exec(mapToGlobal(QPoint(0, height())));
}

void FontFamilyMenu::paintEvent(QPaintEvent *event)
{
    if (m_look == Look::platform) {
        QComboBox::paintEvent(event);
        return;
    }
    QPainter painter(this);
    paintTile(painter, QRectF(rect()), 8, whiteAt(0.12));
    painter.setFont(Fonts::systemFont(13, QFont::Normal));
    painter.setPen(Qt::white);
    painter.drawText(QRectF(rect()).adjusted(12, 0, -30, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     currentText());
    Icons::paint(&painter, QStringLiteral("chevron.up.chevron.down"),
                 QRectF(width() - 12 - 9, height() / 2.0 - 4.5, 9, 9), whiteAt(0.7), 9,
                 QFont::DemiBold);
}

// The tile is no scroll target: a wheel passing over it must not change the family.
void FontFamilyMenu::wheelEvent(QWheelEvent *event)
{
    if (m_look == Look::platform)
        QComboBox::wheelEvent(event);
    else
        event->ignore();
}

SegmentedControl *fontSizeSegments(NotchSettings &settings, QWidget *parent)
{
    auto *control = new SegmentedControl(
        {QStringLiteral("S"), QStringLiteral("M"), QStringLiteral("L")}, parent);
    control->setCurrentIndex(int(settings.fontSizePreset()));
    QObject::connect(control, &SegmentedControl::activated, &settings, [&settings](int index) {
        if (index >= 0 && index < int(allCases<FontSizePreset>().size()))
            settings.setFontSizePreset(allCases<FontSizePreset>()[std::size_t(index)]);
    });
    QObject::connect(
        &settings, &NotchSettings::fontSizePresetChanged, control,
        [control, &settings] { control->setCurrentIndex(int(settings.fontSizePreset())); });
    return control;
}

bool colorMatches(const QColor &a, const QColor &b)
{
    const QColor x = a.toRgb();
    const QColor y = b.toRgb();
    if (!x.isValid() || !y.isValid())
        return false;
    return std::abs(x.redF() - y.redF()) < 0.01 && std::abs(x.greenF() - y.greenF()) < 0.01
           && std::abs(x.blueF() - y.blueF()) < 0.01;
}

ColorChip::ColorChip(NotchSettings &settings, FontColorPreset preset, const Look &look,
                     QWidget *parent)
    : QAbstractButton(parent)
    , m_settings(settings)
    , m_preset(preset)
    , m_look(look)
    , m_ring(new AnimatedValue(0, this))
{
    setFixedSize(look.side, look.side);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractButton::clicked, this,
            [this] { m_settings.setHighlightColor(color(m_preset)); });
    if (look.ring.isValid()) {
        const auto ringed = [this] {
            return colorMatches(m_settings.highlightColor(), color(m_preset)) ? 1.0 : 0.0;
        };
        m_ring->setValue(ringed());
        connect(m_ring, &AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
        connect(&settings, &NotchSettings::highlightColorChanged, this, [this, ringed] {
            if (isVisible() && m_look.ringMotion.runs())
                m_ring->animateTo(ringed(), m_look.ringMotion.timing);
            else
                m_ring->setValue(ringed());
            update();
        });
    }
}

void ColorChip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    const QColor face = color(m_preset);
    // The ring lies 2 points inside the chip's edge.
    if (m_look.ring.isValid() && m_ring->value() > 0) {
        painter.setOpacity(m_ring->value());
        painter.setPen(QPen(m_look.ring, 1.5));
        painter.drawEllipse(centre, m_look.side / 2.0 - 2, m_look.side / 2.0 - 2);
        painter.setOpacity(1);
    }
    const double radius = m_look.dot / 2.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(face);
    painter.drawEllipse(centre, radius, radius);
    if (m_look.border.isValid() && (!m_look.borderOnWhite || m_preset == FontColorPreset::white)) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(m_look.border, 0.5));
        painter.drawEllipse(centre, radius - 0.25, radius - 0.25);
    }
}

ColorWell::ColorWell(NotchSettings &settings, Face face, QWidget *parent)
    : QAbstractButton(parent)
    , m_settings(settings)
    , m_face(face)
{
    setObjectName(QStringLiteral("colorWell"));
    if (face == Face::hueWheel)
        setFixedSize(28, 28);
    else
        setFixedSize(34, 22);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractButton::clicked, this, &ColorWell::openPanel);
    if (face == Face::swatch)
        connect(&settings, &NotchSettings::highlightColorChanged, this,
                qOverload<>(&QWidget::update));
}

void ColorWell::openPanel()
{
    if (!m_panel) {
        m_panel = new QColorDialog(m_settings.highlightColor(), this);
        m_panel->setAttribute(Qt::WA_DeleteOnClose);
        m_panel->setOption(QColorDialog::ShowAlphaChannel, false);
        m_panel->setOption(QColorDialog::NoButtons, true);
        connect(m_panel, &QColorDialog::currentColorChanged, this, [this](const QColor &c) {
            if (c.isValid())
                m_settings.setHighlightColor(c);
        });
    }
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
}

void ColorWell::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_face == Face::swatch) {
        paintTile(painter, QRectF(rect()), 5, whiteAt(0.2));
        QColor colour = m_settings.highlightColor();
        colour.setAlphaF(1);
        painter.fillPath(roundedRectPath(QRectF(rect()).adjusted(4, 4, -4, -4), 3), colour);
        return;
    }
    static const QColor hues[]
        = {QColor::fromRgbF(1.0f, 0.0f, 0.0f),    QColor::fromRgbF(0.98f, 0.0f, 1.0f),
           QColor::fromRgbF(0.49f, 0.32f, 1.0f),  QColor::fromRgbF(0.0f, 0.63f, 1.0f),
           QColor::fromRgbF(0.07f, 0.73f, 0.75f), QColor::fromRgbF(0.13f, 0.82f, 0.5f),
           QColor::fromRgbF(0.27f, 1.0f, 0.0f),   QColor::fromRgbF(0.64f, 0.98f, 0.0f),
           QColor::fromRgbF(1.0f, 0.97f, 0.0f),   QColor::fromRgbF(1.0f, 0.73f, 0.0f),
           QColor::fromRgbF(1.0f, 0.24f, 0.0f),   QColor::fromRgbF(1.0f, 0.0f, 0.0f)};
    const QRectF disc(rect());
    const QPointF centre = disc.center();
    // The wheel starts straight down and turns clockwise on screen; Qt's conical gradient
    // turns the other way from its angle, so the stops run backwards from 270°.
    QConicalGradient wheel(centre, 270);
    const int count = int(std::size(hues));
    for (int i = 0; i < count; ++i)
        wheel.setColorAt(1.0 - double(i) / (count - 1), hues[i]);
    painter.setPen(Qt::NoPen);
    painter.setBrush(wheel);
    painter.drawEllipse(disc);
    QRadialGradient highlight(centre, disc.width() / 2);
    highlight.setColorAt(0.04, Qt::white);
    highlight.setColorAt(0.41, whiteAt(0.66));
    highlight.setColorAt(0.74, whiteAt(0.33));
    highlight.setColorAt(0.96, whiteAt(0));
    painter.setBrush(highlight);
    painter.drawEllipse(disc);
}

ColorSwatches::ColorSwatches(NotchSettings &settings, const Look &look, QWidget *parent)
    : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(look.spacing);
    if (look.trailing)
        row->addStretch(1);
    for (const FontColorPreset preset : {FontColorPreset::white, FontColorPreset::green}) {
        auto *chip = new ColorChip(settings, preset, look.chip, this);
        m_chips << chip;
        row->addWidget(chip);
    }
    m_well = new ColorWell(settings, look.well, this);
    row->addWidget(m_well);
    if (!look.trailing)
        row->addStretch(1);
}

int rangePercent(double value, double lower, double upper)
{
    // A stored value may be anything; the conversion to an integer must stay defined.
    const double p = (value - lower) / (upper - lower) * 100;
    if (std::isnan(p))
        return 0;
    return int(std::trunc(std::clamp(p, -1e9, 1e9)));
}

QString sliderValueText(double value, double scale, double minimum, double maximum,
                        const QString &suffix)
{
    const double shown = value * scale;
    constexpr double largest = double(std::numeric_limits<qint64>::max() / 2);
    qint64 whole = 0;
    if (std::isnan(shown))
        whole = qint64(std::trunc(minimum * scale));
    else if (shown >= largest)
        whole = qint64(std::trunc(maximum * scale));
    else if (shown <= -largest)
        whole = qint64(std::trunc(minimum * scale));
    else // a hair of tolerance, so that 0.35 × 100 reads 35 however the step was summed
        whole = qint64(std::trunc(shown + (shown < 0 ? -1e-9 : 1e-9)));
    return QString::number(whole) + suffix;
}

SettingSlider::SettingSlider(NotchSettings &settings, Getter read, Setter write,
                             ChangedSignal changed, const Range &range, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_read(read)
    , m_range(range)
    , m_slider(new QSlider(Qt::Horizontal, this))
    , m_value(new QLabel(this))
{
    if (range.step > 0) {
        m_slider->setRange(int(std::lround(range.minimum / range.step)),
                           int(std::lround(range.maximum / range.step)));
        m_slider->setPageStep(1);
    } else {
        m_slider->setRange(0, continuousSteps);
    }
    m_value->setFont(Fonts::monospacedSystemFont(11, QFont::Normal));
    m_value->setFixedWidth(40);
    m_value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette tertiary = m_value->palette();
    tertiary.setColor(QPalette::WindowText, whiteAt(0.25));
    m_value->setPalette(tertiary);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addWidget(m_slider, 1);
    row->addWidget(m_value);

    sync();
    connect(m_slider, &QSlider::valueChanged, this,
            [this, write](int position) { (m_settings.*write)(value(position)); });
    connect(&settings, changed, this, &SettingSlider::sync);
    if (range.percentOfRange) // a looked-up text
        LocalizedText::follow(this, "valueText", [this] { sync(); });
}

QString SettingSlider::valueText() const
{
    return m_value->text();
}

void SettingSlider::setValueLabel(QLabel *label)
{
    delete m_value;
    m_value = label;
    sync();
}

int SettingSlider::position(double value) const
{
    if (m_range.step > 0)
        return boundedPixels(value / m_range.step, m_slider->minimum(), m_slider->maximum());
    const double fraction = (value - m_range.minimum) / (m_range.maximum - m_range.minimum);
    return boundedPixels(std::round(fraction * continuousSteps), 0, continuousSteps);
}

double SettingSlider::value(int position) const
{
    if (m_range.step > 0)
        return position * m_range.step;
    return m_range.minimum
           + (m_range.maximum - m_range.minimum) * position / double(continuousSteps);
}

// The slider follows the setting without writing it back.
void SettingSlider::sync()
{
    const double value = (m_settings.*m_read)();
    const QSignalBlocker blocker(m_slider);
    m_slider->setValue(position(value));
    if (m_range.percentOfRange)
        m_value->setText(
            localizedString("%lld%", rangePercent(value, m_range.minimum, m_range.maximum)));
    else
        m_value->setText(sliderValueText(value, m_range.textScale, m_range.minimum, m_range.maximum,
                                         QString::fromUtf16(m_range.suffix)));
}
