#include "speechscrollview.h"

#include "overlay/scrollwheelcapture.h"
#include "platform/fonts.h"
#include "settings/presets.h"
#include "uikit/animation.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

constexpr double topAlignedOffset = 8;
constexpr double smoothBottomMargin = 20;
constexpr int followAfterTapMs = 50;
constexpr double rubberBandFactor = 0.2;
// Short enough that a frame or a call between two slices is never held up noticeably.
constexpr qint64 layoutSliceNs = 8'000'000;

const AnimationTiming manualTiming = AnimationTiming::easeOut(0.15);
const AnimationTiming springBack = AnimationTiming::springCurve(0.3, 0.7);

// The smallest rectangle that holds every pixel of the image that is not transparent.
QRect inkBounds(const QImage &image)
{
    int top = image.height(), bottom = -1, left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        int first = 0;
        while (first < image.width() && row[first] == 0)
            ++first;
        if (first == image.width())
            continue;
        int last = image.width() - 1;
        while (row[last] == 0)
            --last;
        top = std::min(top, y);
        bottom = y;
        left = std::min(left, first);
        right = std::max(right, last);
    }
    return bottom < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

SpeechScrollView::SpeechScrollView(QWidget *parent)
    : QWidget(parent)
    , m_scrollOffset(new AnimatedValue(0, this))
    , m_manualOffset(new AnimatedValue(0, this))
    , m_wheel(new ScrollWheelCapture(this))
{
    m_style.cueColor = defaultCueColor();
    m_layout.setFont(Fonts::systemFont(16, QFont::DemiBold));
    // Most frames of a slow glide move the lines by less than a device pixel, and would paint
    // the very picture on screen again.
    const auto moved = [this] {
        if (offsetInDevicePixels(devicePixelRatioF()) != m_paintedOffset)
            update();
    };
    connect(m_scrollOffset, &AnimatedValue::valueChanged, this, moved);
    connect(m_manualOffset, &AnimatedValue::valueChanged, this, moved);
    connect(m_wheel, &ScrollWheelCapture::scrolled, this, &SpeechScrollView::applyWheelDelta);
    connect(m_wheel, &ScrollWheelCapture::scrollEnded, this, &SpeechScrollView::endWheelGesture);
    m_layoutRest.setSingleShot(true);
    m_layoutRest.setInterval(0);
    connect(&m_layoutRest, &QTimer::timeout, this, [this] {
        if (!m_layout.layoutFor(layoutSliceNs))
            m_layoutRest.start();
    });
}

SpeechScrollView::~SpeechScrollView() = default;

QSize SpeechScrollView::sizeHint() const
{
    return {340, 160};
}

double SpeechScrollView::scrollOffset() const
{
    return m_scrollOffset->value();
}

double SpeechScrollView::manualOffset() const
{
    return m_manualOffset->value();
}

double SpeechScrollView::targetScrollOffset() const
{
    return m_scrollOffset->target();
}

double SpeechScrollView::targetManualOffset() const
{
    return m_manualOffset->target();
}

double SpeechScrollView::totalOffset() const
{
    return m_scrollOffset->value() + m_manualOffset->value();
}

qint64 SpeechScrollView::offsetInDevicePixels(qreal ratio) const
{
    return std::llround(totalOffset() * ratio);
}

void SpeechScrollView::setWords(const QStringList &words, const QSet<int> &lineBreaks,
                                const WordCharOffsets &offsets)
{
    m_layout.setContent(words, lineBreaks, offsets);
    // A new page starts at rest; it does not scroll in from where the last one was.
    m_scrollOffset->setValue(restingOffset());
    m_manualOffset->setValue(0);
    m_positionsKnown = false;
    refreshLayout();
    update();
}

void SpeechScrollView::setHighlightedCharCount(int count)
{
    if (count == m_highlightedCharCount)
        return;
    m_highlightedCharCount = count;
    if (m_isListening && !m_smoothScroll) {
        m_manualOffset->animateTo(0, manualTiming);
        follow();
    }
    update();
}

void SpeechScrollView::setScriptFont(const QFont &font)
{
    m_layout.setFont(font);
    refreshLayout();
    update();
}

void SpeechScrollView::setHighlightColor(const QColor &color)
{
    m_style.highlightColor = color;
    forgetLineImages();
    update();
}

void SpeechScrollView::setCueColor(const QColor &color)
{
    m_style.cueColor = color;
    forgetLineImages();
    update();
}

void SpeechScrollView::setCueOpacities(double unread, double read)
{
    m_style.cueUnreadOpacity = unread;
    m_style.cueReadOpacity = read;
    forgetLineImages();
    update();
}

void SpeechScrollView::setSmoothScroll(bool smooth)
{
    m_smoothScroll = smooth;
    update();
}

void SpeechScrollView::setSmoothWordProgress(double progress)
{
    if (!std::isfinite(progress) || progress == m_smoothWordProgress)
        return;
    m_smoothWordProgress = progress;
    if (m_isListening && m_smoothScroll) {
        m_manualOffset->animateTo(0, manualTiming);
        follow();
    }
}

void SpeechScrollView::setListening(bool listening)
{
    if (listening == m_isListening)
        return;
    m_isListening = listening;
    if (listening) {
        m_manualOffset->animateTo(0, manualTiming);
        follow();
    }
}

void SpeechScrollView::setArrowScrollDelta(double delta)
{
    if (delta == m_arrowScrollDelta)
        return;
    m_arrowScrollDelta = delta;
    // Zero brings the text back to where it rests: no clamp, nothing to report.
    if (delta == 0) {
        m_manualOffset->animateTo(0, manualTiming);
        return;
    }
    const auto [lower, upper] = manualRange(delta);
    const double clamped = std::clamp(delta, lower, upper);
    m_manualOffset->animateTo(clamped, manualTiming);
    if (clamped != delta)
        Q_EMIT arrowScrollClamped(clamped);
}

void SpeechScrollView::setBackground(const QColor &color)
{
    m_background = color;
    setAttribute(Qt::WA_OpaquePaintEvent, color.isValid() && color.alpha() == 255);
    update();
}

void SpeechScrollView::setTopAligned(bool topAligned)
{
    m_topAligned = topAligned;
    update();
}

double SpeechScrollView::restingOffset() const
{
    if (m_topAligned)
        return topAlignedOffset;
    return m_containerHeight * 0.5 - Fonts::pixelSize(m_layout.font()) * 1.4 * 0.5;
}

std::pair<double, double> SpeechScrollView::manualRange(double reach) const
{
    const double h = m_containerHeight;
    const double upper = m_topAligned ? 0 : h * 0.5;
    const double anchor = m_topAligned ? h : h * 0.5;
    const double lastWord = m_positionsKnown ? m_layout.maxWordCenterYDownTo(anchor - reach) : 0;
    const double extent = lastWord - anchor + Fonts::pixelSize(m_layout.font()) * 1.4 * 3;
    return {-std::max(0.0, extent), upper};
}

double SpeechScrollView::progressAtViewportCenter() const
{
    if (!m_positionsKnown || m_layout.wordCount() == 0)
        return m_smoothWordProgress;
    const double target = m_containerHeight * 0.5 - (targetScrollOffset() + targetManualOffset());
    return m_layout.wordProgressAtY(target);
}

void SpeechScrollView::setScrollOffset(double offset)
{
    // Smooth mode is fed every 0.05 s: a short linear glide joins the steps; a jump to a new
    // line in character mode eases out.
    m_scrollOffset->animateTo(offset, m_smoothScroll ? AnimationTiming::linear(0.06)
                                                     : AnimationTiming::easeOut(0.5));
}

void SpeechScrollView::follow()
{
    const double h = m_containerHeight;
    if (m_topAligned) {
        if (targetScrollOffset() != topAlignedOffset)
            setScrollOffset(topAlignedOffset);
        return;
    }
    if (!m_positionsKnown || m_layout.wordCount() == 0)
        return;
    const int count = m_layout.wordCount();
    if (m_smoothScroll) {
        const double whole = std::floor(m_smoothWordProgress);
        const int i = std::clamp(int(std::clamp(whole, 0.0, double(count))), 0, count - 1);
        const double y0 = m_layout.wordCenterY(i);
        const double y1 = i + 1 < count ? m_layout.wordCenterY(i + 1) : y0;
        const double y = y0 + (m_smoothWordProgress - whole) * (y1 - y0);
        setScrollOffset(h - smoothBottomMargin - y);
        return;
    }
    const int current = m_layout.wordIndexForCharCount(m_highlightedCharCount);
    const double target = h * 0.5 - m_layout.wordCenterY(current);
    if (std::abs(targetScrollOffset() - target) > 1)
        setScrollOffset(target);
}

void SpeechScrollView::refreshLayout()
{
    // Words, font and width are what lines are made of.
    forgetLineImages();
    // Positions count from the first time the view has its real size, as laid out on screen.
    if (width() <= 0 || m_containerHeight <= 0)
        return;
    m_layout.setWidth(width());
    // The next frame lays out what it shows; the rest of the page follows in slices.
    if (!m_layout.layoutFor(0))
        m_layoutRest.start();
    if (!m_positionsKnown && m_layout.wordCount() > 0) {
        m_positionsKnown = true;
        follow();
    }
}

void SpeechScrollView::containerHeightChanged(double height)
{
    const bool first = m_containerHeight == 0;
    m_containerHeight = height;
    if (first) {
        m_scrollOffset->setValue(restingOffset());
        return;
    }
    if (m_topAligned) {
        m_scrollOffset->setValue(topAlignedOffset);
        const auto [lower, upper] = manualRange(targetManualOffset());
        m_manualOffset->setValue(std::clamp(targetManualOffset(), lower, upper));
    } else if (m_highlightedCharCount == 0 && m_smoothWordProgress == 0) {
        m_scrollOffset->setValue(restingOffset());
    } else if (m_isListening) {
        follow();
    }
}

void SpeechScrollView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (height() != m_containerHeight)
        containerHeightChanged(height());
    refreshLayout();
}

void SpeechScrollView::applyWheelDelta(double delta)
{
    if (m_smoothScroll != m_isListening)
        return;
    if (m_smoothScroll && !m_isUserScrolling) {
        m_isUserScrolling = true;
        Q_EMIT manualScroll(true, 0);
    }
    const double proposed = targetManualOffset() + delta;
    const auto [lower, upper] = manualRange(proposed);
    // Past a bound the text follows the wheel at a fifth of its speed, like a rubber band.
    double offset = proposed;
    if (proposed > upper)
        offset = upper + (proposed - upper) * rubberBandFactor;
    else if (proposed < lower)
        offset = lower + (proposed - lower) * rubberBandFactor;
    m_manualOffset->setValue(offset);
}

void SpeechScrollView::endWheelGesture()
{
    if (m_smoothScroll && m_isUserScrolling) {
        const double progress = progressAtViewportCenter();
        m_manualOffset->animateTo(0, manualTiming);
        m_isUserScrolling = false;
        Q_EMIT manualScroll(false, progress);
        return;
    }
    const double offset = targetManualOffset();
    const auto [lower, upper] = manualRange(offset);
    if (offset < lower)
        m_manualOffset->animateTo(lower, springBack);
    else if (offset > upper)
        m_manualOffset->animateTo(upper, springBack);
}

void SpeechScrollView::mousePressEvent(QMouseEvent *event)
{
    m_pressedWord = -1;
    if (event->button() != Qt::LeftButton || !m_positionsKnown) {
        event->ignore();
        return;
    }
    const QPointF point = event->position() - QPointF(0, totalOffset());
    m_pressedWord = m_layout.wordAt(point);
    if (m_pressedWord < 0)
        event->ignore();
}

void SpeechScrollView::mouseReleaseEvent(QMouseEvent *event)
{
    const int pressed = std::exchange(m_pressedWord, -1);
    if (pressed < 0 || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPointF point = event->position() - QPointF(0, totalOffset());
    if (m_layout.wordAt(point) != pressed)
        return;
    m_manualOffset->animateTo(0, manualTiming);
    Q_EMIT wordTapped(m_layout.item(pressed).charOffset);
    QTimer::singleShot(followAfterTapMs, this, &SpeechScrollView::follow);
}

void SpeechScrollView::forgetLineImages()
{
    m_lineImages.clear();
}

int SpeechScrollView::readWordsOn(int line) const
{
    if (m_smoothScroll)
        return 0;
    int read = 0;
    for (int i = m_layout.lineFirstItem(line); i < m_layout.lineEndItem(line); ++i)
        read += WordFlowLayout::isRead(m_layout.item(i), m_highlightedCharCount) ? 1 : 0;
    return read;
}

void SpeechScrollView::paintLines(QPainter &painter)
{
    const qreal ratio = painter.device()->devicePixelRatioF();
    // Every line moves by the same whole device pixels, where a picture is copied rather than
    // resampled.
    const qreal top = -qreal(offsetInDevicePixels(ratio)) / ratio;
    // Room above and below a line's box for marks and glyphs that reach out of it.
    const qreal margin = std::ceil(m_layout.naturalLineHeight() / 4);
    const QSize imageSize
        = (QSizeF(width(), m_layout.naturalLineHeight() + 2 * margin) * ratio).toSize();
    WordStyle style = m_style;
    style.highlightWords = !m_smoothScroll;
    QHash<int, LineImage> drawn;
    const auto [first, end] = m_layout.linesMeeting(top, height());
    for (int line = first; line < end; ++line) {
        const qreal boxTop = m_layout.lineTop(line) + m_layout.lineTopPadding(line);
        const int readWords = readWordsOn(line);
        LineImage lineImage = m_lineImages.take(line);
        if (lineImage.image.size() != imageSize || lineImage.image.devicePixelRatio() != ratio
            || lineImage.readWords != readWords) {
            lineImage = {QImage(imageSize, QImage::Format_ARGB32_Premultiplied), readWords, {}};
            lineImage.image.setDevicePixelRatio(ratio);
            lineImage.image.fill(Qt::transparent);
            QPainter linePainter(&lineImage.image);
            linePainter.setRenderHint(QPainter::TextAntialiasing);
            linePainter.translate(0, margin);
            m_layout.paint(linePainter, boxTop, 1, m_highlightedCharCount, style);
            linePainter.end();
            lineImage.ink = inkBounds(lineImage.image);
        }
        // Only where the picture has ink, since every pixel drawn costs at each frame.
        const qreal y = std::round((boxTop - margin) * ratio) / ratio - top;
        const QRect &ink = lineImage.ink;
        if (!ink.isEmpty())
            painter.drawImage(
                QRectF(QPointF(ink.x() / ratio, y + ink.y() / ratio), QSizeF(ink.size()) / ratio),
                lineImage.image, ink);
        drawn.insert(line, std::move(lineImage));
    }
    m_lineImages = std::move(drawn);
}

void SpeechScrollView::paintEvent(QPaintEvent *event)
{
    if (width() <= 0 || height() <= 0)
        return;
    m_paintedOffset = offsetInDevicePixels(devicePixelRatioF());
    // Words fade out at the top and bottom edges.
    const qreal h = height();
    const qreal topFade = m_topAligned ? 0.03 : 0.05;
    const qreal bottomFade = 0.95;
    const QRectF bands[] = {QRectF(0, 0, width(), h * topFade),
                            QRectF(0, h * bottomFade, width(), h * (1 - bottomFade))};

    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (testAttribute(Qt::WA_OpaquePaintEvent)) {
        // Over an opaque colour the fade is that colour laid over the words.
        if (m_veil.size() != pixels || m_veil.devicePixelRatio() != ratio) {
            m_veil = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
            m_veil.setDevicePixelRatio(ratio);
            m_veil.fill(Qt::transparent);
            QColor clear = m_background;
            clear.setAlpha(0);
            QLinearGradient veil(0, 0, 0, h);
            veil.setColorAt(0, m_background);
            veil.setColorAt(topFade, clear);
            veil.setColorAt(bottomFade, clear);
            veil.setColorAt(1, m_background);
            QPainter veilPainter(&m_veil);
            for (const QRectF &band : bands)
                veilPainter.fillRect(band, veil);
        }
        QPainter painter(this);
        painter.fillRect(event->rect(), m_background);
        paintLines(painter);
        for (const QRectF &band : bands)
            painter.drawImage(band, m_veil, QRectF(band.topLeft() * ratio, band.size() * ratio));
        return;
    }

    if (m_buffer.size() != pixels)
        m_buffer = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_buffer.setDevicePixelRatio(ratio);
    m_buffer.fill(Qt::transparent);

    QPainter painter(&m_buffer);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintLines(painter);
    // Between the bands the mask keeps every word as it is.
    QLinearGradient mask(0, 0, 0, h);
    mask.setColorAt(0, Qt::transparent);
    mask.setColorAt(topFade, Qt::black);
    mask.setColorAt(bottomFade, Qt::black);
    mask.setColorAt(1, Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    for (const QRectF &band : bands)
        painter.fillRect(band, mask);
    painter.end();

    QPainter(this).drawImage(0, 0, m_buffer);
}
