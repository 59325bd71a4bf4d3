#include "languagepage.h"

#include "onboarding/onboardingflow.h"
#include "onboarding/onboardingparts.h"
#include "onboarding/onboardingvisuals.h"
#include "platform/fonts.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "uikit/animation.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

class LanguageButton : public QAbstractButton
{
public:
    LanguageButton(NotchSettings &settings, const QString &code, const QString &name,
                   QWidget *parent)
        : QAbstractButton(parent)
        , m_settings(settings)
        , m_code(code)
    {
        setText(name);
        setObjectName(u"language_" + code);
        setMinimumHeight(100);
        setMaximumHeight(100);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
        m_selection = new AnimatedValue(selected() ? 1 : 0, this);
        connect(m_selection, &AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
        setProperty("selected", selected());
        connect(&settings, &NotchSettings::appLanguageChanged, this, [this] {
            setProperty("selected", selected());
            m_selection->retarget(selected() ? 1 : 0, AnimationTiming::easeInOut(0.2));
        });
    }

    bool selected() const { return m_settings.appLanguage().startsWith(m_code); }
    QSize sizeHint() const override { return {200, 100}; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const double s = m_selection->value();
        const QRectF card = QRectF(rect()).adjusted(5, 5, -5, -5);
        const QPainterPath shape = roundedRectPath(card, 14);
        if (s > 0) {
            // The selection's shadow lies around the card only: under the translucent fill it
            // would tint the selected card, and both cards have the same fill.
            QPainterPath outside;
            outside.addRect(rect());
            painter.save();
            painter.setClipPath(outside.subtracted(shape));
            paintSoftShadow(&painter, card, 14, accentTeal(0.2 * s), 4, 0);
            painter.restore();
        }
        painter.fillPath(shape, whiteAt(0.1));
        const QColor unselected = whiteAt(0.25);
        const QColor border = QColor::fromRgbF(
            float(unselected.redF() + (accentTeal().redF() - unselected.redF()) * s),
            float(unselected.greenF() + (accentTeal().greenF() - unselected.greenF()) * s),
            float(unselected.blueF() + (accentTeal().blueF() - unselected.blueF()) * s),
            float(0.25 + 0.75 * s));
        painter.setPen(QPen(border, 0.5 + s, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(shape);
        const QFont font = Fonts::systemFont(18, QFont::DemiBold);
        const double nameWidth = QFontMetricsF(font).horizontalAdvance(text());
        const double rowWidth = 40 + 14 + nameWidth;
        const double x = card.center().x() - rowWidth / 2;
        paintFlagBadge(&painter, QRectF(x, card.center().y() - 20, 40, 40), m_code);
        painter.setPen(Qt::white);
        painter.setFont(font);
        painter.drawText(QRectF(x + 54, card.top(), nameWidth + 2, card.height()),
                         Qt::AlignVCenter | Qt::AlignLeft, text());
    }

private:
    NotchSettings &m_settings;
    QString m_code;
    AnimatedValue *m_selection;
};

} // namespace

LanguagePage::LanguagePage(OnboardingFlow &flow, NotchSettings &settings, QWidget *parent)
    : QWidget(parent)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addStretch();
    // A chooser of languages asks in both, whatever the current one: each reader finds theirs.
    column->addWidget(
        verbatimLabel(u"Elegí tu idioma"_s, Fonts::systemFont(24, QFont::Bold), Qt::white, this));
    column->addSpacing(4);
    column->addWidget(verbatimLabel(u"Choose your language"_s, Fonts::systemFont(16, QFont::Medium),
                                    whiteAt(0.5), this));
    column->addSpacing(32);
    auto *row = new QHBoxLayout;
    row->setContentsMargins(35, 0, 35, 0);
    row->setSpacing(6);
    // Language names are shown as they stand.
    const std::pair<QString, QString> languages[]{{QStringLiteral("es"), u"Español"_s},
                                                  {QStringLiteral("en"), u"English"_s}};
    for (const auto &[code, name] : languages) {
        auto *button = new LanguageButton(settings, code, name, this);
        connect(button, &QAbstractButton::clicked, &flow,
                [&flow, code = code] { flow.selectLanguage(code); });
        row->addWidget(button, 1);
    }
    column->addLayout(row);
    column->addStretch();
}
