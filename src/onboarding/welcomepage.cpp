#include "welcomepage.h"

#include "onboarding/onboardingflow.h"
#include "onboarding/onboardingparts.h"
#include "onboarding/onboardingvisuals.h"
#include "platform/fonts.h"
#include "settings/palette.h"
#include "uikit/animation.h"
#include "uikit/localizedtext.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPainter>
#include <QRadialGradient>
#include <QVBoxLayout>

#include <cmath>

namespace {

class Logo : public QWidget
{
public:
    explicit Logo(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(120, 120);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        // The brand circle blurred by 40: a glow at 0.15.
        QRadialGradient glow(QPointF(60, 60), 60);
        glow.setColorAt(0, accentTeal(0.15));
        glow.setColorAt(0.5, accentTeal(0.09));
        glow.setColorAt(1, accentTeal(0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawEllipse(rect());
        paintBrandMark(&painter, QRectF(28, 28, 64, 64));
    }
};

} // namespace

WelcomePage::WelcomePage(OnboardingFlow &flow, QWidget *parent)
    : QWidget(parent)
{
    m_content = new QWidget(this);
    auto *column = new QVBoxLayout(m_content);
    column->setContentsMargins(60, 0, 60, 0);
    column->setSpacing(0);
    column->addStretch();
    auto *logo = new Logo(m_content);
    column->addWidget(logo, 0, Qt::AlignHCenter);
    const QFont titleFont = trackedFont(44, QFont::DemiBold, -1.1);
    auto *title = textLabel("Bienvenido a Brivel", titleFont, Qt::white, m_content);
    auto *subtitle = textLabel("La ventana invisible", titleFont, whiteAt(0.5), m_content);
    // A fixed width lets a wrapped line claim its height.
    for (QLabel *label : {title, subtitle}) {
        label->setFixedWidth(540);
        label->setWordWrap(true);
    }
    column->addSpacing(-8);
    column->addWidget(title, 0, Qt::AlignHCenter);
    column->addSpacing(int(3.52));
    column->addWidget(subtitle, 0, Qt::AlignHCenter);
    column->addSpacing(44);
    auto *begin = new CapsuleButton(
        {Fonts::systemFont(15, QFont::Bold), Qt::black, accentTeal(), 36, 14}, m_content);
    begin->setObjectName(QStringLiteral("beginButton"));
    LocalizedText::bind(begin, "text", "Comencemos");
    connect(begin, &QAbstractButton::clicked, &flow, &OnboardingFlow::beginFromWelcome);
    column->addWidget(begin, 0, Qt::AlignHCenter);
    column->addStretch();

    m_opacity = new QGraphicsOpacityEffect(m_content);
    m_opacity->setOpacity(0);
    m_content->setGraphicsEffect(m_opacity);
    m_appear = new AnimatedValue(0, this);
    connect(m_appear, &AnimatedValue::valueChanged, this, [this](double value) { place(value); });
    connect(m_appear, &AnimatedValue::finished, this,
            [this] { m_content->setGraphicsEffect(nullptr); });
}

void WelcomePage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_appeared)
        return;
    // The content fades in while rising 8 points.
    m_appeared = true;
    if (Motion::reduceMotion())
        m_appear->setValue(1);
    else
        m_appear->animateTo(1, AnimationTiming::easeOut(0.3));
}

void WelcomePage::resizeEvent(QResizeEvent *)
{
    place(m_appear->value());
}

void WelcomePage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRadialGradient gradient(QPointF(width() * 0.5, height() * 0.3), 480);
    gradient.setColorAt(0, QColor(14, 31, 27));
    gradient.setColorAt(1, QColor(4, 8, 10));
    painter.fillRect(rect(), gradient);
}

void WelcomePage::place(double appeared)
{
    if (m_content->graphicsEffect() == m_opacity)
        m_opacity->setOpacity(appeared);
    m_content->setGeometry(0, int(std::round(8 * (1 - appeared))), width(), height());
}
