#include "celebrationpage.h"

#include "onboarding/onboardingflow.h"
#include "onboarding/onboardingparts.h"
#include "onboarding/onboardingvisuals.h"
#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/palette.h"
#include "uikit/animation.h"
#include "uikit/icons.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRadialGradient>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

namespace CelebrationParts {

// Fades a widget in and raises it a few points, after a delay, each time entrance() runs.
class Entrance : public QObject
{
public:
    Entrance(QWidget *target, double delay, double duration, double rise)
        : QObject(target)
        , m_target(target)
        , m_delay(delay)
        , m_duration(duration)
        , m_rise(rise)
    {
        // Hidden, keeping its room, until its delay has passed: by then the page's own fade is
        // over, and an opacity effect never sits inside another.
        QSizePolicy policy = target->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        target->setSizePolicy(policy);
        target->hide();
        // The rise moves the content inside a constant height, so nothing around it shifts.
        place(rise);
        m_frames.setInterval(16);
        connect(&m_frames, &QTimer::timeout, this, &Entrance::step);
    }

    void start()
    {
        m_clock.start();
        m_frames.start();
        step();
    }

    // How far below its place the target is drawn now.
    double offset() const { return m_offset; }

private:
    void step()
    {
        const double t = Motion::reduceMotion() ? 1e6 : m_clock.elapsed() / 1000.0;
        const double p
            = t < m_delay ? 0 : AnimationTiming::easeOut(m_duration).progress(t - m_delay);
        m_offset = m_rise * (1 - p);
        if (t < m_delay)
            return;
        if (p >= 1) {
            m_frames.stop();
            m_target->setGraphicsEffect(nullptr);
        } else {
            if (!m_target->graphicsEffect())
                m_target->setGraphicsEffect(new QGraphicsOpacityEffect(m_target));
            static_cast<QGraphicsOpacityEffect *>(m_target->graphicsEffect())->setOpacity(p);
        }
        m_target->show();
        place(m_offset);
    }

    void place(double offset)
    {
        const int down = int(std::round(offset));
        m_target->setContentsMargins(0, down, 0, int(std::round(m_rise)) - down);
    }

    QWidget *m_target;
    double m_delay;
    double m_duration;
    double m_rise;
    double m_offset = 0;
    QElapsedTimer m_clock;
    QTimer m_frames;
};

} // namespace CelebrationParts

namespace {

class SummaryChip : public QWidget
{
public:
    static constexpr double padding = 12;
    static constexpr double valueLeft = padding + 9 + 6; // after the check mark

    SummaryChip(const char *label, const char *value, QWidget *parent)
        : QWidget(parent)
    {
        setMinimumHeight(10 + 12 + 6 + 16 + 10);
        LocalizedText::follow(this, "chip", [this, label, value] {
            m_label = localizedString(label);
            m_value = localizedString(value);
            setAccessibleName(m_label + u": "_s + m_value);
            updateGeometry();
            update();
        });
    }

    // The wider line with its padding on both sides: the row gives a long value the room.
    QSize minimumSizeHint() const override
    {
        const double label = QFontMetricsF(labelFont()).horizontalAdvance(m_label);
        const double value = QFontMetricsF(valueFont()).horizontalAdvance(m_value);
        const double content = std::max(label, valueLeft - padding + value);
        return {int(std::ceil(content + 2 * padding)), minimumHeight()};
    }
    QSize sizeHint() const override { return minimumSizeHint(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF chip = QRectF(rect());
        painter.fillPath(roundedRectPath(chip, 10), QColor(32, 33, 36));
        strokeInsideRoundedRect(&painter, chip, 10, QPen(whiteAt(0.1), 0.5));
        painter.setFont(labelFont());
        painter.setPen(whiteAt(0.45));
        painter.drawText(QRectF(padding, 10, chip.width() - 2 * padding, 12),
                         Qt::AlignLeft | Qt::AlignVCenter, m_label);
        Icons::paint(&painter, QStringLiteral("checkmark"), QRectF(padding, 28 + 3.5, 9, 9),
                     accentTeal(), 9, QFont::Bold);
        painter.setFont(valueFont());
        painter.setPen(Qt::white);
        painter.drawText(QRectF(valueLeft, 28, chip.width() - valueLeft - padding, 16),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, m_value);
    }

private:
    static QFont labelFont()
    {
        QFont font = Fonts::monospacedSystemFont(9.5, QFont::Bold);
        font.setLetterSpacing(QFont::AbsoluteSpacing, 1.8);
        return font;
    }
    static QFont valueFont() { return Fonts::systemFont(12.5, QFont::DemiBold); }

    QString m_label;
    QString m_value;
};

} // namespace

CelebrationPage::CelebrationPage(OnboardingFlow &flow, bool shieldSupported, QWidget *parent)
    : QWidget(parent)
{
    m_confetti = new CelebrationConfetti(32, this);
    m_content = new QWidget(this);
    auto *column = new QVBoxLayout(m_content);
    column->setContentsMargins(40, 0, 40, 0);
    column->setSpacing(0);
    column->addStretch();
    // The medallion's disc overhangs its 88-point place by 4 on each side, so the place is the
    // disc's full size, 4 less below. Its glow and rings reach further still: the medallion
    // lies over the place, centred on it, with room for them.
    m_medallionPlace = new QWidget(m_content);
    m_medallionPlace->setFixedSize(CelebrationMedallion::discSize, CelebrationMedallion::discSize);
    m_medallionPlace->installEventFilter(this);
    column->addWidget(m_medallionPlace, 0, Qt::AlignHCenter);
    m_medallion = new CelebrationMedallion(m_content);
    column->addSpacing(18 - 4);
    m_title = new QWidget(m_content);
    auto *titleBox = new QVBoxLayout(m_title);
    titleBox->setContentsMargins(0, 0, 0, 0);
    titleBox->addWidget(
        textLabel("¡Estás listo!", trackedFont(30, QFont::Bold, -0.6), Qt::white, m_title));
    column->addWidget(m_title);
    column->addSpacing(22);
    auto *chips = new QWidget(m_content);
    auto *row = new QHBoxLayout(chips);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    // Where windows cannot be kept out of captures, the user only tried the eye: the
    // chip must not say the invisibility held.
    const std::pair<const char *, const char *> summary[]{
        {"NOTCH", "Personalizado"},
        {"CONTROLES", "Aprendidos"},
        shieldSupported ? std::pair{"INVISIBILIDAD", "Probada"}
                        : std::pair{"OJO DEL NOTCH", "Probado"},
        {"NOTAS", "Listas"}};
    int index = 0;
    for (const auto &[label, value] : summary) {
        auto *holder = new QWidget(chips);
        auto *box = new QVBoxLayout(holder);
        box->setContentsMargins(0, 0, 0, 0);
        box->addWidget(new SummaryChip(label, value, holder));
        row->addWidget(holder, 1);
        m_entrances.append(new CelebrationParts::Entrance(holder, 0.7 + 0.08 * index++, 0.42, 6));
    }
    column->addWidget(chips, 0, Qt::AlignHCenter);
    chips->setFixedWidth(540);
    column->addSpacing(26);
    m_buttonBox = new QWidget(m_content);
    auto *buttonRow = new QHBoxLayout(m_buttonBox);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    m_start = new CapsuleButton({trackedFont(14, QFont::Bold, 0.1), onAccentTeal(), accentTeal(),
                                 28, 14, true, accentTeal(0.4)},
                                m_buttonBox);
    m_start->setObjectName(QStringLiteral("startButton"));
    LocalizedText::bind(m_start, "text", "Empezar");
    connect(m_start, &QAbstractButton::clicked, &flow, &OnboardingFlow::startUsingApp);
    buttonRow->addWidget(m_start, 0, Qt::AlignHCenter);
    column->addWidget(m_buttonBox);
    column->addStretch();
    m_entrances.prepend(new CelebrationParts::Entrance(m_title, 0.5, 0.5, 8));
    m_entrances.append(new CelebrationParts::Entrance(m_buttonBox, 1.0, 0.5, 6));
}

void CelebrationPage::appear()
{
    if (m_appeared)
        return;
    m_appeared = true;
    for (CelebrationParts::Entrance *entrance : std::as_const(m_entrances))
        entrance->start();
}

QAbstractButton *CelebrationPage::startButton() const
{
    return m_start;
}

bool CelebrationPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_medallionPlace
        && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        QRect place(QPoint(), m_medallion->size());
        place.moveCenter(m_medallionPlace->geometry().center());
        m_medallion->setGeometry(place);
    }
    return QWidget::eventFilter(watched, event);
}

void CelebrationPage::resizeEvent(QResizeEvent *)
{
    m_confetti->setGeometry(rect());
    m_content->setGeometry(rect());
}

void CelebrationPage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const auto glow = [&](QPointF unit, double radius, double opacity) {
        const QPointF centre(unit.x() * width(), unit.y() * height());
        QRadialGradient gradient(centre, radius);
        gradient.setColorAt(0, accentTeal(opacity));
        gradient.setColorAt(1, accentTeal(0));
        painter.fillRect(rect(), gradient);
    };
    glow({0.5, -0.1}, 320, 0.22);
    glow({0, 1}, 240, 0.1);
    glow({1, 1}, 240, 0.1);
}
