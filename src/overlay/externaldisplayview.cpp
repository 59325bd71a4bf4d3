#include "externaldisplayview.h"

#include "overlay/audiowaveformprogressview.h"
#include "overlay/elapsedtimeview.h"
#include "overlay/model/overlaycontent.h"
#include "overlay/speechscrollview.h"
#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "speech/speechrecognizer.h"
#include "uikit/animation.h"
#include "uikit/icons.h"
#include "uikit/localizedtext.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double fontSizeDivisor = 14;
constexpr double sideMarginShare = 0.08;
constexpr double textGap = 20; // above the words and between them and the bottom bar
constexpr double barWidth = 240;
constexpr double barHeight = 32;
constexpr double barBottomPadding = 40;
constexpr double clockFontSize = 24;
constexpr double clockTop = 20;
constexpr double clockRightInset = 40;

constexpr double stackSpacing = 12;
constexpr double checkmarkSize = 60;
constexpr double doneTextSize = 32;
constexpr double buttonTextSize = 28;
constexpr double buttonSpacing = 12;
constexpr double buttonPaddingX = 32;
constexpr double buttonPaddingY = 16;
// Never quite 0, so the scale about the centre stays invertible.
constexpr double smallestScale = 0.00001;

constexpr double glowInset = 3;
constexpr double glowLineWidth = 5;
constexpr double glowBlurRadius = 3;
constexpr double glowOpacity = 0.55;
constexpr double edgeLineWidth = 1.5;

const AnimationTiming finishedTiming = AnimationTiming::easeInOut(0.5);

// The platform's green and accent in the dark appearance.
QColor platformGreen()
{
    return QColor(50, 215, 75);
}

QColor platformAccent()
{
    return QColor(10, 132, 255);
}

// Scales what follows about the centre of `rect` and fades it, as the finished screen enters.
void applyPresence(QPainter &painter, const QRectF &rect, double presence)
{
    const QPointF centre = rect.center();
    const double scale = std::max(presence, smallestScale);
    painter.translate(centre);
    painter.scale(scale, scale);
    painter.translate(-centre);
    painter.setOpacity(painter.opacity() * std::clamp(presence, 0.0, 1.0));
}

// How much of each pixel of a row lies inside [low, high), box-filtered.
std::vector<double> boxCoverage(int pixels, double low, double high)
{
    std::vector<double> coverage(size_t(std::max(pixels, 0)));
    for (int i = 0; i < pixels; ++i)
        coverage[size_t(i)]
            = std::clamp(std::min(high, i + 1.0) - std::max(low, double(i)), 0.0, 1.0);
    return coverage;
}

// The same under a Gaussian blur of deviation `sigma`, sampled at pixel centres.
std::vector<double> blurredCoverage(int pixels, double low, double high, double sigma)
{
    const auto cumulative
        = [sigma](double x) { return 0.5 * std::erfc(-x / (sigma * std::numbers::sqrt2)); };
    std::vector<double> coverage(size_t(std::max(pixels, 0)));
    for (int i = 0; i < pixels; ++i) {
        const double centre = i + 0.5;
        coverage[size_t(i)] = std::max(0.0, cumulative(high - centre) - cumulative(low - centre));
    }
    return coverage;
}

} // namespace

// The rim that tells the presenter the screen is hidden from capture: a blurred teal stroke
// just inside the edge and a thin line on the edge itself. Both are rectangles, so the blur of
// each is the product of two one-dimensional profiles and the picture is computed exactly,
// once per size.
class ExternalDisplayView::GlowBorder : public QWidget
{
public:
    explicit GlowBorder(QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const qreal ratio = devicePixelRatioF();
        if (m_picture.size() != (QSizeF(size()) * ratio).toSize()
            || m_picture.devicePixelRatio() != ratio)
            m_picture = picture(size(), ratio);
        QPainter(this).drawImage(0, 0, m_picture);
    }

private:
    static QImage picture(const QSize &size, qreal ratio)
    {
        const int w = int(std::lround(size.width() * ratio));
        const int h = int(std::lround(size.height() * ratio));
        QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        if (w <= 0 || h <= 0)
            return image;

        // The stroke is centred on the rectangle inset by 3, so it covers 0.5 to 5.5 in.
        const double strokeOut = (glowInset - glowLineWidth / 2) * ratio;
        const double strokeIn = (glowInset + glowLineWidth / 2) * ratio;
        const double sigma = glowBlurRadius * ratio;
        const auto outerX = blurredCoverage(w, strokeOut, w - strokeOut, sigma);
        const auto outerY = blurredCoverage(h, strokeOut, h - strokeOut, sigma);
        const auto innerX = blurredCoverage(w, strokeIn, w - strokeIn, sigma);
        const auto innerY = blurredCoverage(h, strokeIn, h - strokeIn, sigma);
        const double line = edgeLineWidth * ratio;
        const auto lineInnerX = boxCoverage(w, line, w - line);
        const auto lineInnerY = boxCoverage(h, line, h - line);

        const QColor teal = accentTeal();
        // Farther in than this the blurred stroke is below one step of alpha.
        const int band = int(std::ceil(strokeIn + 4 * sigma));
        for (int y = 0; y < h; ++y) {
            auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
            const bool edgeRow = y < band || y >= h - band;
            for (int x = 0; x < w; ++x) {
                if (!edgeRow && x == band && w - band > band)
                    x = w - band;
                const double glow = std::clamp(outerX[size_t(x)] * outerY[size_t(y)]
                                                   - innerX[size_t(x)] * innerY[size_t(y)],
                                               0.0, 1.0)
                                    * glowOpacity;
                const double edge = 1 - lineInnerX[size_t(x)] * lineInnerY[size_t(y)];
                const double alpha = edge + glow * (1 - edge);
                if (alpha <= 0)
                    continue;
                const auto channel = [alpha](double value) { return int(value * alpha + 0.5); };
                row[x] = qRgba(channel(teal.red()), channel(teal.green()), channel(teal.blue()),
                               int(alpha * 255 + 0.5));
            }
        }
        return image;
    }

    QImage m_picture;
};

// The check mark and "¡Listo!" after the last page.
class ExternalDisplayView::DoneBadge : public QWidget
{
public:
    explicit DoneBadge(QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFont(Fonts::systemFont(doneTextSize, QFont::Bold));
    }

    void setText(const QString &text)
    {
        m_text = text;
        setAccessibleName(text);
        resize(sizeHint());
        update();
    }
    void setPresence(double presence)
    {
        m_presence = presence;
        update();
    }

    QSize sizeHint() const override
    {
        const QFontMetricsF metrics(font());
        const double width = std::max(checkmarkSize, metrics.horizontalAdvance(m_text));
        return QSizeF(width, checkmarkSize + stackSpacing + metrics.height()).toSize();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        applyPresence(painter, rect(), m_presence);
        const QRectF mark((width() - checkmarkSize) / 2, 0, checkmarkSize, checkmarkSize);
        Icons::paint(&painter, u"checkmark.circle.fill"_qs, mark, platformGreen(), checkmarkSize);
        painter.setPen(Qt::white);
        painter.drawText(QRectF(0, checkmarkSize + stackSpacing, width(),
                                height() - checkmarkSize - stackSpacing),
                         Qt::AlignHCenter | Qt::AlignTop, m_text);
    }

private:
    QString m_text;
    double m_presence = 0;
};

// "Siguiente" on an accent capsule: asks the controller for the next page.
class ExternalDisplayView::NextPageButton : public QAbstractButton
{
public:
    explicit NextPageButton(QWidget *parent)
        : QAbstractButton(parent)
    {
        setFocusPolicy(Qt::NoFocus);
        setFont(Fonts::systemFont(buttonTextSize, QFont::Bold));
    }

    void setLabel(const QString &text)
    {
        setText(text);
        resize(sizeHint());
        update();
    }
    void setPresence(double presence)
    {
        m_presence = presence;
        update();
    }

    QSize sizeHint() const override
    {
        const QFontMetricsF metrics(font());
        const double row = buttonTextSize + buttonSpacing + metrics.horizontalAdvance(text());
        const double rowHeight = std::max(buttonTextSize, metrics.height());
        return QSizeF(row + 2 * buttonPaddingX, rowHeight + 2 * buttonPaddingY).toSize();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        applyPresence(painter, rect(), m_presence);
        if (isDown())
            painter.setOpacity(painter.opacity() * 0.7);
        const QRectF capsule(rect());
        painter.setPen(Qt::NoPen);
        painter.setBrush(platformAccent());
        painter.drawRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);

        const QRectF row
            = capsule.adjusted(buttonPaddingX, buttonPaddingY, -buttonPaddingX, -buttonPaddingY);
        const QRectF symbol(row.left(), row.center().y() - buttonTextSize / 2, buttonTextSize,
                            buttonTextSize);
        Icons::paint(&painter, u"play.fill"_qs, symbol, Qt::white, buttonTextSize, QFont::Bold);
        painter.setPen(Qt::white);
        painter.drawText(row.adjusted(buttonTextSize + buttonSpacing, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, text());
    }

private:
    double m_presence = 0;
};

// Takes the place of the text once the page is read. It veils the text below as it enters,
// which on the black screen is the text fading out, and its content grows out of its centre.
class ExternalDisplayView::FinishedScreen : public QWidget
{
public:
    explicit FinishedScreen(QWidget *parent)
        : QWidget(parent)
        , m_badge(new DoneBadge(this))
        , m_button(new NextPageButton(this))
    {
        m_badge->setObjectName(u"doneBadge"_qs);
        m_button->setObjectName(u"nextPageButton"_qs);
        LocalizedText::follow(this, "texts", [this] {
            m_badge->setText(localizedString("¡Listo!"));
            m_button->setLabel(localizedString("Siguiente"));
            centreContent();
        });
    }

    NextPageButton *button() const { return m_button; }

    void setHasNextPage(bool hasNextPage)
    {
        m_badge->setVisible(!hasNextPage);
        m_button->setVisible(hasNextPage);
    }

    void setPresence(double presence)
    {
        m_presence = presence;
        m_badge->setPresence(presence);
        m_button->setPresence(presence);
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(),
                         QColor::fromRgbF(0, 0, 0, float(std::clamp(m_presence, 0.0, 1.0))));
    }

    void resizeEvent(QResizeEvent *event) override
    {
        QWidget::resizeEvent(event);
        centreContent();
    }

private:
    void centreContent()
    {
        for (QWidget *content : {static_cast<QWidget *>(m_badge), static_cast<QWidget *>(m_button)})
            content->move((width() - content->width()) / 2, (height() - content->height()) / 2);
    }

    DoneBadge *m_badge = nullptr;
    NextPageButton *m_button = nullptr;
    double m_presence = 0;
};

ExternalDisplayView::ExternalDisplayView(OverlayContent &content, SpeechRecognizer &recognizer,
                                         NotchSettings &settings, QWidget *parent)
    : ScrollingReadingView(content, settings, NotesMode::glide, parent)
    , m_recognizer(recognizer)
    , m_finishedPresence(new AnimatedValue(0, this))
{
    m_readingLayer = new QWidget(this);
    m_readingLayer->setObjectName(u"readingLayout"_qs);
    m_scrollView->setParent(m_readingLayer);
    m_scrollView->setObjectName(u"wordView"_qs);
    // The fullscreen text always advances by itself, in one flow without the page's lines.
    m_scrollView->setTopAligned(false);
    m_scrollView->setSmoothScroll(true);
    m_scrollView->setListening(true);
    m_scrollView->setBackground(Qt::black);
    m_waveform = new AudioWaveformProgressView(m_readingLayer);
    m_waveform->setObjectName(u"levelBars"_qs);

    m_finishedScreen = new FinishedScreen(this);
    m_finishedScreen->setObjectName(u"finishedScreen"_qs);
    m_finishedScreen->setHasNextPage(m_content.hasNextPage());
    m_finishedScreen->hide();
    m_elapsedTime = new ElapsedTimeView(clockFontSize, this);
    m_elapsedTime->setObjectName(u"elapsedTime"_qs);
    m_elapsedTime->hide();
    m_glow = new GlowBorder(this);
    m_glow->setObjectName(u"glowBorder"_qs);

    connect(m_finishedScreen->button(), &QAbstractButton::clicked, this,
            [this] { m_recognizer.setShouldAdvancePage(true); });

    connect(this, &ScrollingReadingView::timerWordProgressChanged, this,
            &ExternalDisplayView::refreshProgress);
    connect(m_finishedPresence, &AnimatedValue::valueChanged, this,
            &ExternalDisplayView::presenceChanged);

    connectModels();
    m_waveform->setLevels(m_recognizer.audioLevels());
    m_glow->setVisible(m_settings.effectiveHideFromScreenShare());
    refreshElapsedTime();
    refreshScrollArguments();
    reloadPage();
}

ExternalDisplayView::~ExternalDisplayView() = default;

void ExternalDisplayView::connectModels()
{
    OverlayContent *content = &m_content;
    for (auto pageField : {&OverlayContent::wordsChanged, &OverlayContent::pageLoaded})
        connect(content, pageField, this, &ExternalDisplayView::schedulePageReload);
    // A new page, also one as long as the last or equal to it, reads from its start.
    for (auto newPage : {&OverlayContent::totalCharCountChanged, &OverlayContent::pageLoaded})
        connect(content, newPage, this, [this] { setTimerWordProgress(0); });
    connect(content, &OverlayContent::hasNextPageChanged, this, [this] {
        // What the screen offers follows the page while it is shown; on its way out it keeps
        // what it offered.
        if (m_isFinished)
            m_finishedScreen->setHasNextPage(m_content.hasNextPage());
    });

    NotchSettings *settings = &m_settings;
    connect(settings, &NotchSettings::showElapsedTimeChanged, this,
            &ExternalDisplayView::refreshElapsedTime);
    connect(settings, &NotchSettings::effectiveHideFromScreenShareChanged, this,
            [this] { m_glow->setVisible(m_settings.effectiveHideFromScreenShare()); });

    connect(&m_recognizer, &SpeechRecognizer::audioLevelsChanged, this,
            [this] { m_waveform->setLevels(m_recognizer.audioLevels()); });
}

double ExternalDisplayView::fontSizeForWidth(double width)
{
    return std::clamp(width / fontSizeDivisor, minimumFontSize, maximumFontSize);
}

double ExternalDisplayView::sideMarginForWidth(double width)
{
    return std::max(width * sideMarginShare, minimumSideMargin);
}

double ExternalDisplayView::levelProgress() const
{
    const int total = m_content.totalCharCount();
    return total >= 1 ? double(highlightedCharCount()) / total : 0;
}

double ExternalDisplayView::finishedPresence() const
{
    return m_finishedPresence->value();
}

void ExternalDisplayView::refreshProgress()
{
    m_waveform->setProgress(levelProgress());

    const bool finished = isReadingFinished();
    if (finished == m_isFinished)
        return;
    m_isFinished = finished;
    if (finished) {
        m_finishedScreen->setHasNextPage(m_content.hasNextPage());
        m_recognizer.setIsListening(false);
        m_recognizer.tearDownSession();
    }
    m_finishedPresence->animateTo(finished ? 1 : 0, finishedTiming);
    presenceChanged();
}

void ExternalDisplayView::presenceChanged()
{
    const double presence = m_finishedPresence->value();
    m_finishedScreen->setPresence(presence);
    // While the screen is up, even on its way in or out, it keeps taps and the wheel from the
    // text: a finished page cannot be scrolled back.
    m_finishedScreen->setVisible(m_isFinished || presence > 0);
    m_readingLayer->setVisible(!m_isFinished || presence < 1);
}

void ExternalDisplayView::loadWords()
{
    refreshProgress();
    m_scrollView->setWords(m_content.words(), {}, m_content.wordOffsets());
    m_scrollView->setSmoothWordProgress(timerWordProgress());
}

void ExternalDisplayView::refreshScrollArguments()
{
    m_scrollView->setScriptFont(Fonts::systemFont(fontSize(), QFont::DemiBold));
    refreshScriptColors();
    m_scrollView->setArrowScrollDelta(m_content.arrowScrollDelta());
}

void ExternalDisplayView::refreshElapsedTime()
{
    const bool shown = m_settings.showElapsedTime();
    // The clock counts from the moment it appears and keeps counting while it stays.
    if (shown && !m_elapsedTime->isVisibleTo(this))
        m_elapsedTime->restart();
    m_elapsedTime->setVisible(shown);
    layoutContent();
}

void ExternalDisplayView::layoutContent()
{
    const double w = width();
    const double h = height();
    const double margin = sideMargin();
    m_readingLayer->setGeometry(rect());
    const double barTop = h - barBottomPadding - barHeight;
    const double textBottom = barTop - textGap;
    // Edges are rounded, not sizes, so both margins come out alike.
    const int left = int(std::lround(margin));
    const int right = std::max(left, int(std::lround(w - margin)));
    const int top = int(textGap);
    const int bottom = std::max(top, int(std::lround(textBottom)));
    m_scrollView->setGeometry(left, top, right - left, bottom - top);
    m_waveform->setGeometry(left, int(std::lround(barTop)), int(barWidth), int(barHeight));
    m_finishedScreen->setGeometry(rect());
    const QSize clock = m_elapsedTime->sizeHint();
    m_elapsedTime->setGeometry(int(std::lround(w - clockRightInset)) - clock.width(), int(clockTop),
                               clock.width(), clock.height());
    m_glow->setGeometry(rect());
}

void ExternalDisplayView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_scrollView->setScriptFont(Fonts::systemFont(fontSize(), QFont::DemiBold));
    layoutContent();
}

bool ExternalDisplayView::event(QEvent *event)
{
    // The clock asks for room when its text grows a digit.
    if (event->type() == QEvent::LayoutRequest)
        layoutContent();
    return QWidget::event(event);
}

void ExternalDisplayView::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), Qt::black);
}
