#include "onboardingwidget.h"

#include "onboarding/herovideoview.h"
#include "onboarding/onboardingparts.h"
#include "onboarding/onboardingvisuals.h"
#include "onboarding/practicepages.h"
#include "onboarding/tutorialnotchcontent.h"
#include "platform/captureshield.h"
#include "platform/fonts.h"
#include "platform/permissions.h"
#include "platform/screens.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "speech/speechrecognizer.h"
#include "uikit/animation.h"
#include "uikit/circleglyphbutton.h"
#include "uikit/fade.h"
#include "uikit/icons.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QAbstractButton>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRadialGradient>
#include <QResizeEvent>
#include <QTimer>
#include <QVBoxLayout>

using Step = OnboardingFlow::Step;
using namespace Qt::StringLiterals;

const QList<OnboardingPage> &OnboardingPage::introPages()
{
    static const QList<OnboardingPage> pages{
        {"Screen 3 Onboarding", "Leé mirando a cámara",
         "Mantené contacto visual mientras tu nota queda justo debajo de la webcam."},
        {"Screen 2 Onboarding", "Controlá con teclas",
         "Movete por tus notas con las flechas del teclado."},
        {"Screen 4 Onboarding", "Invisible al compartir pantalla",
         "Tu nota es visible solo para vos, invisible al compartir pantalla."},
    };
    return pages;
}

namespace {

// What the last page says where windows cannot be kept out of captures.
constexpr const char *visibleTitle = "Siempre a la vista";
constexpr const char *visibleDescription
    = "Brivel queda a la vista por encima de las demás ventanas, cerca de la cámara.";

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

// Welcome

class WelcomePage : public QWidget
{
public:
    WelcomePage(OnboardingFlow &flow, QWidget *parent)
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
        connect(m_appear, &AnimatedValue::valueChanged, this,
                [this](double value) { place(value); });
        connect(m_appear, &AnimatedValue::finished, this,
                [this] { m_content->setGraphicsEffect(nullptr); });
    }

protected:
    void showEvent(QShowEvent *event) override
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

    void resizeEvent(QResizeEvent *) override { place(m_appear->value()); }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QRadialGradient gradient(QPointF(width() * 0.5, height() * 0.3), 480);
        gradient.setColorAt(0, QColor(14, 31, 27));
        gradient.setColorAt(1, QColor(4, 8, 10));
        painter.fillRect(rect(), gradient);
    }

private:
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

    void place(double appeared)
    {
        if (m_content->graphicsEffect() == m_opacity)
            m_opacity->setOpacity(appeared);
        m_content->setGeometry(0, int(std::round(8 * (1 - appeared))), width(), height());
    }

    QWidget *m_content;
    QGraphicsOpacityEffect *m_opacity;
    AnimatedValue *m_appear;
    bool m_appeared = false;
};

// Language

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
        if (s > 0)
            paintSoftShadow(&painter, card, 14, accentTeal(0.2 * s), 4, 0);
        painter.fillPath(roundedRectPath(card, 14), whiteAt(0.1));
        const QColor unselected = whiteAt(0.25);
        const QColor border = QColor::fromRgbF(
            float(unselected.redF() + (accentTeal().redF() - unselected.redF()) * s),
            float(unselected.greenF() + (accentTeal().greenF() - unselected.greenF()) * s),
            float(unselected.blueF() + (accentTeal().blueF() - unselected.blueF()) * s),
            float(0.25 + 0.75 * s));
        painter.setPen(QPen(border, 0.5 + s, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(roundedRectPath(card, 14));
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

class LanguagePage : public QWidget
{
public:
    LanguagePage(OnboardingFlow &flow, NotchSettings &settings, QWidget *parent)
        : QWidget(parent)
    {
        auto *column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        column->addStretch();
        column->addWidget(
            textLabel("Elegí tu idioma", Fonts::systemFont(24, QFont::Bold), Qt::white, this));
        column->addSpacing(4);
        column->addWidget(textLabel("Choose your language", Fonts::systemFont(16, QFont::Medium),
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
};

// Carousel

class PageDots : public QWidget
{
public:
    explicit PageDots(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(OnboardingFlow::pageCount * 15 - 8, 7);
    }

    void setPosition(double page)
    {
        m_page = page;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        for (int i = 0; i < OnboardingFlow::pageCount; ++i) {
            const double nearness = std::clamp(1 - std::abs(i - m_page), 0.0, 1.0);
            painter.setBrush(whiteAt(0.3 + 0.7 * nearness));
            painter.drawEllipse(QRectF(i * 15, 0, 7, 7));
        }
    }

private:
    double m_page = 0;
};

} // namespace

class CarouselPage : public QWidget
{
public:
    CarouselPage(OnboardingFlow &flow, const OnboardingWidget::Options &options,
                 QList<HeroVideoView *> &heroes, QWidget *parent)
        : QWidget(parent)
        , m_flow(flow)
        , m_truthful(options.captureShield && !options.captureShield->isSupported())
    {
        m_hero = new QWidget(this);
        m_strip = new QWidget(m_hero);
        for (const OnboardingPage &page : OnboardingPage::introPages()) {
            auto *view = new HeroVideoView(QString::fromUtf8(page.heroVideo), nullptr,
                                           options.playerFactory, m_strip);
            heroes.append(view);
        }
        m_heroes = heroes;
        m_stripOffset = new AnimatedValue(0, this);
        connect(m_stripOffset, &AnimatedValue::valueChanged, this, [this] { layoutHero(); });
        m_dotsPosition = new AnimatedValue(0, this);
        m_dots = new PageDots(this);
        connect(m_dotsPosition, &AnimatedValue::valueChanged, m_dots, &PageDots::setPosition);

        m_skip = pillButton("Omitir", this);
        m_skip->setObjectName(QStringLiteral("skipButton"));
        connect(m_skip, &QAbstractButton::clicked, &flow, &OnboardingFlow::skip);
        m_continue = pillButton("Continuar", this);
        m_continue->setObjectName(QStringLiteral("continueButton"));
        connect(m_continue, &QAbstractButton::clicked, &flow, &OnboardingFlow::continuePressed);
        CircleGlyphButton::Face back;
        back.glyph = CircleGlyphButton::Glyph::chevronLeft;
        back.diameter = 32;
        back.glyphSize = 12;
        back.weight = QFont::DemiBold;
        back.background = whiteAt(0.15);
        m_back = new CircleGlyphButton(back, this);
        m_back->setObjectName(QStringLiteral("backButton"));
        m_back->setCursor(Qt::PointingHandCursor);
        connect(m_back, &QAbstractButton::clicked, &flow, &OnboardingFlow::backPressed);

        connect(&flow, &OnboardingFlow::currentPageChanged, this, &CarouselPage::pageChanged);
        m_text = makeTextBlock(flow.currentPage());
        updateContinueLabel();
        // Texts of another length need their buttons placed again.
        LocalizedText::follow(this, "layout", [this] { resizeEvent(nullptr); });
    }

    void setPreloaded(HeroPlayer *player) { m_heroes.value(0)->setPreloadedPlayer(player); }

    void startPlayback()
    {
        for (int i = 0; i < m_heroes.size(); ++i) {
            m_heroes[i]->setActive(i == m_flow.currentPage());
            m_heroes[i]->startPlayback();
        }
    }

    void stopPlayback()
    {
        for (HeroVideoView *hero : std::as_const(m_heroes))
            hero->stopPlayback();
    }

    QLabel *title() const { return m_text ? m_text->findChild<QLabel *>() : nullptr; }

protected:
    void resizeEvent(QResizeEvent *) override
    {
        m_hero->setGeometry(0, 0, width(), 300);
        layoutHero();
        m_dots->move((width() - m_dots->width()) / 2, 312);
        if (m_text)
            m_text->setGeometry(textArea());
        const QSize skip = m_skip->sizeHint();
        const QSize next = m_continue->sizeHint();
        m_skip->setGeometry(24, height() - 40 - skip.height(), skip.width(), skip.height());
        m_continue->setGeometry(width() - 24 - next.width(), height() - 40 - next.height(),
                                next.width(), next.height());
        m_back->move(16, 16);
    }

private:
    QRect textArea() const { return QRect(24, 312 + 7 + 16, width() - 48, 110); }

    QWidget *makeTextBlock(int page)
    {
        const OnboardingPage &info = OnboardingPage::introPages().at(page);
        const bool truthful = m_truthful && page == OnboardingFlow::pageCount - 1;
        auto *block = new QWidget(this);
        QLabel *title = textLabel(truthful ? visibleTitle : info.title,
                                  Fonts::systemFont(20, QFont::Bold), Qt::white, block);
        title->setObjectName(QStringLiteral("pageTitle"));
        QLabel *text = textLabel(truthful ? visibleDescription : info.description,
                                 Fonts::systemFont(15, QFont::Normal), whiteAt(0.55), block);
        text->setObjectName(QStringLiteral("pageText"));
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        title->setProperty("fullAlpha", 1.0);
        text->setProperty("fullAlpha", 0.55);
        block->setGeometry(textArea());
        // The title on top, the text 8 below it at most 440 wide, as tall as its lines need;
        // placed again when the language changes their length.
        LocalizedText::follow(block, "layout", [block, title, text] {
            const int width = block->width();
            const int titleHeight = title->sizeHint().height();
            title->setGeometry(0, 0, width, titleHeight);
            const int textWidth = std::min(440, width);
            text->setGeometry((width - textWidth) / 2, titleHeight + 8, textWidth,
                              text->heightForWidth(textWidth));
        });
        block->show();
        return block;
    }

    static void setTextOpacity(QWidget *block, double opacity)
    {
        for (QLabel *label : block->findChildren<QLabel *>()) {
            QPalette palette = label->palette();
            QColor color = palette.color(QPalette::WindowText);
            color.setAlphaF(
                float(std::clamp(opacity, 0.0, 1.0) * label->property("fullAlpha").toDouble()));
            palette.setColor(QPalette::WindowText, color);
            label->setPalette(palette);
        }
    }

    void fadeText(QWidget *block, double from, double to)
    {
        auto *fade = new AnimatedValue(from, block);
        setTextOpacity(block, from);
        connect(fade, &AnimatedValue::valueChanged, block,
                [block](double opacity) { setTextOpacity(block, opacity); });
        if (to == 0)
            connect(fade, &AnimatedValue::finished, block, &QObject::deleteLater);
        fade->animateTo(to, AnimationTiming::springCurve(0.5, 0.85));
    }

    void layoutHero()
    {
        const int w = m_hero->width();
        const int h = m_hero->height();
        m_strip->setGeometry(int(std::round(-m_stripOffset->value() * w)), 0,
                             w * int(m_heroes.size()), h);
        for (int i = 0; i < m_heroes.size(); ++i)
            m_heroes[i]->setGeometry(i * w, int(OnboardingPage::introPages().at(i).videoYOffset), w,
                                     h);
    }

    void updateContinueLabel()
    {
        LocalizedText::bind(m_continue, "text", m_flow.isLastPage() ? "Empezar" : "Continuar");
        resizeEvent(nullptr);
    }

    void pageChanged(int page)
    {
        m_stripOffset->animateTo(page, AnimationTiming::springCurve(0.6, 0.85));
        m_dotsPosition->animateTo(page, AnimationTiming::springCurve(0.5, 0.85));
        for (int i = 0; i < m_heroes.size(); ++i)
            m_heroes[i]->setActive(i == page);
        // The old text fades out while the new one fades in; by their colours, as the page
        // itself may still be fading in with an opacity effect.
        if (QWidget *old = m_text) {
            old->setObjectName(QStringLiteral("leavingText"));
            fadeText(old, 1, 0);
        }
        m_text = makeTextBlock(page);
        fadeText(m_text, 0, 1);
        updateContinueLabel();
    }

    OnboardingFlow &m_flow;
    const bool m_truthful;
    QWidget *m_hero;
    QWidget *m_strip;
    QList<HeroVideoView *> m_heroes;
    AnimatedValue *m_stripOffset;
    AnimatedValue *m_dotsPosition;
    PageDots *m_dots;
    QPointer<QWidget> m_text;
    CapsuleButton *m_skip;
    CapsuleButton *m_continue;
    CircleGlyphButton *m_back;
};

// Celebration

namespace {

class SummaryChip : public QWidget
{
public:
    SummaryChip(const char *label, const char *value, QWidget *parent)
        : QWidget(parent)
    {
        setMinimumHeight(10 + 12 + 6 + 16 + 10);
        LocalizedText::follow(this, "chip", [this, label, value] {
            m_label = localizedString(label);
            m_value = localizedString(value);
            setAccessibleName(m_label + u": "_s + m_value);
            update();
        });
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF chip = QRectF(rect()).adjusted(0, 0, 0, 0);
        painter.fillPath(roundedRectPath(chip, 10), QColor(32, 33, 36));
        strokeInsideRoundedRect(&painter, chip, 10, QPen(whiteAt(0.1), 0.5));
        QFont label = Fonts::monospacedSystemFont(9.5, QFont::Bold);
        label.setLetterSpacing(QFont::AbsoluteSpacing, 1.8);
        painter.setFont(label);
        painter.setPen(whiteAt(0.45));
        painter.drawText(QRectF(12, 10, chip.width() - 24, 12), Qt::AlignLeft | Qt::AlignVCenter,
                         m_label);
        Icons::paint(&painter, QStringLiteral("checkmark"), QRectF(12, 28 + 3.5, 9, 9),
                     accentTeal(), 9, QFont::Bold);
        painter.setFont(Fonts::systemFont(12.5, QFont::DemiBold));
        painter.setPen(Qt::white);
        painter.drawText(QRectF(27, 28, chip.width() - 39, 16),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, m_value);
    }

private:
    QString m_label;
    QString m_value;
};

} // namespace

class CelebrationPage : public QWidget
{
public:
    CelebrationPage(OnboardingFlow &flow, bool shieldSupported, QWidget *parent)
        : QWidget(parent)
    {
        m_confetti = new CelebrationConfetti(32, this);
        m_content = new QWidget(this);
        auto *column = new QVBoxLayout(m_content);
        column->setContentsMargins(40, 0, 40, 0);
        column->setSpacing(0);
        column->addStretch();
        // The medallion overhangs its 88-point place by 4 on each side; a child widget cannot
        // draw outside its parent, so the place is the medallion's full size, 4 less below.
        m_medallion = new CelebrationMedallion(m_content);
        column->addWidget(m_medallion, 0, Qt::AlignHCenter);
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
            m_entrances.append(new Entrance(holder, 0.7 + 0.08 * index++, 0.42, 6));
        }
        column->addWidget(chips, 0, Qt::AlignHCenter);
        chips->setFixedWidth(540);
        column->addSpacing(26);
        m_buttonBox = new QWidget(m_content);
        auto *buttonRow = new QHBoxLayout(m_buttonBox);
        buttonRow->setContentsMargins(0, 0, 0, 0);
        m_start = new CapsuleButton({trackedFont(14, QFont::Bold, 0.1), onAccentTeal(),
                                     accentTeal(), 28, 14, true, accentTeal(0.4)},
                                    m_buttonBox);
        m_start->setObjectName(QStringLiteral("startButton"));
        LocalizedText::bind(m_start, "text", "Empezar");
        connect(m_start, &QAbstractButton::clicked, &flow, &OnboardingFlow::startUsingApp);
        buttonRow->addWidget(m_start, 0, Qt::AlignHCenter);
        column->addWidget(m_buttonBox);
        column->addStretch();
        m_entrances.prepend(new Entrance(m_title, 0.5, 0.5, 8));
        m_entrances.append(new Entrance(m_buttonBox, 1.0, 0.5, 6));
    }

    // Coming on screen starts the entrance, once.
    void appear()
    {
        if (m_appeared)
            return;
        m_appeared = true;
        for (Entrance *entrance : std::as_const(m_entrances))
            entrance->start();
    }

    QAbstractButton *startButton() const { return m_start; }

protected:
    void resizeEvent(QResizeEvent *) override
    {
        m_confetti->setGeometry(rect());
        m_content->setGeometry(rect());
    }

    void paintEvent(QPaintEvent *) override
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

private:
    CelebrationConfetti *m_confetti;
    QWidget *m_content;
    CelebrationMedallion *m_medallion;
    QWidget *m_title;
    QWidget *m_buttonBox;
    CapsuleButton *m_start;
    QList<Entrance *> m_entrances;
    bool m_appeared = false;
};

// The widget

OnboardingWidget::OnboardingWidget(NotchSettings &settings, std::function<void()> onComplete,
                                   QWidget *parent)
    : OnboardingWidget(settings, std::move(onComplete), Options{}, parent)
{}

OnboardingWidget::OnboardingWidget(NotchSettings &settings, std::function<void()> onComplete,
                                   const Options &options, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_options(options)
    , m_flow(new OnboardingFlow(settings, this))
{
    if (!m_options.playerFactory)
        m_options.playerFactory = &MediaHeroPlayer::fromBundle;
    if (!m_options.captureShield)
        m_options.captureShield = &CaptureShield::system();
    if (!m_options.screens)
        m_options.screens = &Screens::system();
    if (!m_options.tutorialPanelFactory)
        m_options.tutorialPanelFactory
            = OverlayTutorialPanel::factory(settings, *m_options.captureShield);
    if (!m_options.permissions)
        m_options.permissions = &Permissions::system();
    if (!m_options.makeRecognizer)
        m_options.makeRecognizer = [] { return std::make_unique<SpeechRecognizer>(); };
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);

    m_welcome = new WelcomePage(*m_flow, this);
    m_language = new LanguagePage(*m_flow, settings, this);
    m_carousel = new CarouselPage(*m_flow, m_options, m_heroes, this);
    m_celebration = new CelebrationPage(*m_flow, m_options.captureShield->isSupported(), this);

    // The practice steps: the preview beside the appearance page, the tutorial panel from the
    // tutorial to the end of the invisibility demo.
    m_preview
        = new NotchPreviewController(*m_options.screens, *m_options.captureShield, nullptr, this);
    if (m_options.previewWindowFactory)
        m_preview->setWindowFactory(m_options.previewWindowFactory);
    m_tutorialNotch = new TutorialNotchController(*m_options.screens, *m_options.captureShield,
                                                  m_options.tutorialPanelFactory, this);
    m_practice = new TutorialPractice(*m_tutorialNotch, *m_options.permissions,
                                      m_options.makeRecognizer, this);
    m_personalize = new PersonalizePage(*m_flow, settings, *m_options.captureShield, this);
    m_tutorial = new TutorialPage(*m_flow, *m_practice, this);
    m_invisibility
        = new InvisibilityPage(*m_flow, *m_tutorialNotch, *m_options.captureShield, this);
    m_flow->setPersonalizePreviewChanged([this](bool shown) {
        if (shown)
            m_preview->show(m_settings, true, true);
        else
            m_preview->tearDown();
    });
    m_flow->setOrderOutTutorialPanel([this] { m_tutorialNotch->closePanel(); });

    for (QWidget *page :
         {m_language, static_cast<QWidget *>(m_carousel), static_cast<QWidget *>(m_celebration),
          static_cast<QWidget *>(m_personalize), static_cast<QWidget *>(m_tutorial),
          static_cast<QWidget *>(m_invisibility)})
        page->hide();
    m_shown = m_welcome;

    m_flow->setOnComplete(std::move(onComplete));
    m_flow->setPreloadFirstVideo([this] { preloadFirstVideo(); });
    connect(m_flow, &OnboardingFlow::stepChanged, this, &OnboardingWidget::showStep);
}

OnboardingWidget::~OnboardingWidget()
{
    stopEveryPlayer();
    // Nothing of the flow outlives it: no key filter, no preview, no tutorial panel.
    m_tutorial->leave();
    m_preview->tearDown();
    m_tutorialNotch->closePanel();
}

void OnboardingWidget::stopEveryPlayer()
{
    m_carousel->stopPlayback();
    if (m_preloaded)
        m_preloaded->stop();
    m_preloaded.reset();
}

QWidget *OnboardingWidget::page(Step step) const
{
    switch (step) {
    case Step::welcome:
        return m_welcome;
    case Step::languagePicker:
        return m_language;
    case Step::introCarousel:
        return m_carousel;
    case Step::celebration:
        return m_celebration;
    case Step::personalize:
        return m_personalize;
    case Step::tutorial:
        return m_tutorial;
    case Step::invisibility:
        return m_invisibility;
    }
    return nullptr;
}

void OnboardingWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    for (QWidget *page :
         {m_welcome, m_language, static_cast<QWidget *>(m_carousel),
          static_cast<QWidget *>(m_celebration), static_cast<QWidget *>(m_personalize),
          static_cast<QWidget *>(m_tutorial), static_cast<QWidget *>(m_invisibility)})
        page->setGeometry(rect());
}

void OnboardingWidget::preloadFirstVideo()
{
    const QList<OnboardingPage> &pages = OnboardingPage::introPages();
    if (pages.isEmpty() || m_preloaded)
        return;
    m_preloaded = m_options.playerFactory(QString::fromUtf8(pages.first().heroVideo));
    if (!m_preloaded)
        return;
    // Nobody shows its frames until the carousel does.
    m_preloaded->setFrameGate([] { return false; });
    m_preloaded->restart();
    m_carousel->setPreloaded(m_preloaded.get());
}

void OnboardingWidget::showStep(Step step)
{
    // The practice pages hand their panel and keys over as they come and go.
    const Step left = std::exchange(m_step, step);
    if (left == Step::tutorial && step != Step::tutorial)
        m_tutorial->leave();
    if (left == Step::invisibility && step != Step::invisibility)
        m_invisibility->leave();
    if (step == Step::tutorial && left != Step::tutorial)
        m_tutorial->enter();
    if (step == Step::invisibility && left != Step::invisibility)
        m_invisibility->enter();
    QWidget *next = page(step);
    const AnimationTiming fade = AnimationTiming::easeInOut(crossFadeSeconds);
    if (next != m_carousel)
        m_carousel->stopPlayback();
    else if (!m_flow->isExiting())
        m_carousel->startPlayback();
    if (m_shown && m_shown != next)
        fadeWidget(m_shown, false, fade);
    if (next) {
        next->raise();
        fadeWidget(next, true, fade);
    }
    m_shown = next;
    if (step == Step::celebration)
        m_celebration->appear();
}
