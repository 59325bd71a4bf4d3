#include "carouselpage.h"

#include "onboarding/herovideoview.h"
#include "onboarding/onboardingflow.h"
#include "onboarding/onboardingparts.h"
#include "platform/captureshield.h"
#include "platform/fonts.h"
#include "settings/palette.h"
#include "uikit/animation.h"
#include "uikit/circleglyphbutton.h"
#include "uikit/localizedtext.h"

#include <QLabel>
#include <QPainter>

#include <cmath>

namespace {

// What the last page says where windows cannot be kept out of captures.
constexpr const char *visibleTitle = "Siempre a la vista";
constexpr const char *visibleDescription
    = "Brivel queda a la vista por encima de las demás ventanas, cerca de la cámara.";

// A page's title on top and its text 8 below it, at most 440 wide, as tall as its lines need;
// laid out again whenever its width or the language changes their length.
class PageText : public QWidget
{
public:
    PageText(const char *titleKey, const char *textKey, QWidget *parent)
        : QWidget(parent)
    {
        m_title = textLabel(titleKey, Fonts::systemFont(20, QFont::Bold), Qt::white, this);
        m_title->setObjectName(QStringLiteral("pageTitle"));
        m_text = textLabel(textKey, Fonts::systemFont(15, QFont::Normal), whiteAt(0.55), this);
        m_text->setObjectName(QStringLiteral("pageText"));
        m_text->setWordWrap(true);
        m_text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        m_title->setProperty("fullAlpha", 1.0);
        m_text->setProperty("fullAlpha", 0.55);
        LocalizedText::follow(this, "layout", [this] { layoutLabels(); });
    }

protected:
    void resizeEvent(QResizeEvent *) override { layoutLabels(); }

private:
    void layoutLabels()
    {
        const int titleHeight = m_title->sizeHint().height();
        m_title->setGeometry(0, 0, width(), titleHeight);
        const int textWidth = std::min(440, width());
        m_text->setGeometry((width() - textWidth) / 2, titleHeight + 8, textWidth,
                            m_text->heightForWidth(textWidth));
    }

    QLabel *m_title;
    QLabel *m_text;
};

} // namespace

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

CarouselPage::CarouselPage(OnboardingFlow &flow, const OnboardingWidget::Options &options,
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

void CarouselPage::setPreloaded(HeroPlayer *player)
{
    m_heroes.value(0)->setPreloadedPlayer(player);
}

void CarouselPage::startPlayback()
{
    for (int i = 0; i < m_heroes.size(); ++i) {
        m_heroes[i]->setActive(i == m_flow.currentPage());
        m_heroes[i]->startPlayback();
    }
}

void CarouselPage::stopPlayback()
{
    for (HeroVideoView *hero : std::as_const(m_heroes))
        hero->stopPlayback();
}

QLabel *CarouselPage::title() const
{
    return m_text ? m_text->findChild<QLabel *>() : nullptr;
}

void CarouselPage::resizeEvent(QResizeEvent *)
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

QRect CarouselPage::textArea() const
{
    return QRect(24, 312 + 7 + 16, width() - 48, 110);
}

QWidget *CarouselPage::makeTextBlock(int page)
{
    const OnboardingPage &info = OnboardingPage::introPages().at(page);
    const bool truthful = m_truthful && page == OnboardingFlow::pageCount - 1;
    auto *block = new PageText(truthful ? visibleTitle : info.title,
                               truthful ? visibleDescription : info.description, this);
    block->setGeometry(textArea());
    block->show();
    return block;
}

void CarouselPage::setTextOpacity(QWidget *block, double opacity)
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

void CarouselPage::fadeText(QWidget *block, double from, double to)
{
    auto *fade = new AnimatedValue(from, block);
    setTextOpacity(block, from);
    connect(fade, &AnimatedValue::valueChanged, block,
            [block](double opacity) { setTextOpacity(block, opacity); });
    if (to == 0)
        connect(fade, &AnimatedValue::finished, block, &QObject::deleteLater);
    fade->animateTo(to, AnimationTiming::springCurve(0.5, 0.85));
}

void CarouselPage::layoutHero()
{
    const int w = m_hero->width();
    const int h = m_hero->height();
    m_strip->setGeometry(int(std::round(-m_stripOffset->value() * w)), 0, w * int(m_heroes.size()),
                         h);
    for (int i = 0; i < m_heroes.size(); ++i)
        m_heroes[i]->setGeometry(i * w, int(OnboardingPage::introPages().at(i).videoYOffset), w, h);
}

void CarouselPage::updateContinueLabel()
{
    LocalizedText::bind(m_continue, "text", m_flow.isLastPage() ? "Empezar" : "Continuar");
    resizeEvent(nullptr);
}

void CarouselPage::pageChanged(int page)
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
