#include "settingcontrols.h"

#include "overlay/boundedpixels.h"
#include "platform/fonts.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "uikit/keycapchips.h"
#include "uikit/switchbutton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

#include <cmath>
#include <limits>

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
    m_slider->setRange(int(std::lround(range.minimum / range.step)),
                       int(std::lround(range.maximum / range.step)));
    m_slider->setPageStep(1);
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
            [this, write](int position) { (m_settings.*write)(position * m_range.step); });
    connect(&settings, changed, this, &SettingSlider::sync);
}

QString SettingSlider::valueText() const
{
    return m_value->text();
}

// The slider follows the setting without writing it back.
void SettingSlider::sync()
{
    const double value = (m_settings.*m_read)();
    const QSignalBlocker blocker(m_slider);
    m_slider->setValue(
        boundedPixels(value / m_range.step, m_slider->minimum(), m_slider->maximum()));
    m_value->setText(sliderValueText(value, m_range.textScale, m_range.minimum, m_range.maximum,
                                     QString::fromUtf16(m_range.suffix)));
}
