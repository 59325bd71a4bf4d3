#include "hiwdemoview.h"

#include "hiwmockviews.h"

#include "platform/fonts.h"
#include "settings/palette.h"
#include "uikit/animation.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int frameIntervalMs = 16;
constexpr double fadeInSeconds = 0.18;

// The pointer's glide and the note slide share one curve.
double glide(double elapsedSeconds, double seconds)
{
    return cubicBezierTiming(0.3, 0, 0.2, 1, elapsedSeconds / seconds);
}

double eased(double elapsedSeconds, double seconds)
{
    return AnimationTiming::easeInOut(seconds).progress(elapsedSeconds);
}

// Where the scene stands between the phase it came from and the one it is in.
struct Moment
{
    const HiwPhase &from;
    const HiwPhase &to;
    double elapsed = 0; // seconds since the phase was entered
    std::optional<AnimationTiming> entering;

    // For changes that follow the timeline's own animation.
    double loop() const { return entering ? entering->progress(elapsed) : 1; }
    double loopSeconds() const { return entering ? entering->totalSeconds() : 0; }

    static double mix(bool a, bool b, double progress)
    {
        return a == b ? b : (b ? progress : 1 - progress);
    }

    double cursorGlide() const { return to.press ? eased(elapsed, 0.12) : glide(elapsed, 0.7); }
};

// How long the changes brought by entering `to` from `from` keep the stage moving, in seconds.
double settleSeconds(HiwTab tab, const Moment &m)
{
    const HiwPhase &a = m.from;
    const HiwPhase &b = m.to;
    double longest = 0;
    const auto changed = [&](bool differs, double seconds) {
        if (differs)
            longest = std::max(longest, seconds);
    };
    switch (tab) {
    case HiwTab::arrows:
        changed(a.scrollY != b.scrollY || a.note != b.note, m.loopSeconds());
        changed(a.note != b.note, 0.35);
        changed(qstrcmp(a.key, b.key) != 0, 0.15);
        changed(!a.cap != !b.cap, 0.2);
        break;
    case HiwTab::invisible:
    case HiwTab::notes:
        changed(a.cursorAtTarget != b.cursorAtTarget, b.press ? 0.12 : 0.7);
        changed(a.press != b.press, 0.12);
        changed(b.press, 0.55);
        changed(a.invisible != b.invisible, 0.4);
        changed(a.numsMode != b.numsMode, std::max(0.2, m.loopSeconds()));
        changed(!a.cap != !b.cap, 0.22);
        break;
    }
    return longest;
}

} // namespace

HiwDemoView::HiwDemoView(HiwTab tab, double scale, HiwEnvironment environment, bool fadeIn,
                         QWidget *parent)
    : QWidget(parent)
    , m_tab(tab)
    , m_environment(std::move(environment))
    , m_fadeIn(fadeIn)
    , m_player(hiwDemoPhases(tab), m_environment.clock, this)
    , m_frameTimer(this)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    m_frameTimer.setInterval(frameIntervalMs);
    connect(&m_frameTimer, &QTimer::timeout, this, [this] {
        update();
        updateFrameTimer();
    });
    connect(&m_player, &HiwPhasePlayer::phaseChanged, this, &HiwDemoView::phaseChanged);
    // The texts on the stage are looked up as they are painted.
    LocalizedText::follow(this, "stage", [this] { update(); });
    setScale(scale);
}

void HiwDemoView::setScale(double scale)
{
    m_scale = scale > 0 ? scale : 1;
    setFixedSize(int(std::round(stageWidth * m_scale)), int(std::round(stageHeight * m_scale)));
    update();
}

void HiwDemoView::tick()
{
    m_player.sync();
    update();
    updateFrameTimer();
}

void HiwDemoView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_fadeIn) {
        m_fadeIn = false;
        m_fadeStartedAt = m_environment.clock();
    }
    if (shouldReduceMotion(m_environment.reduceMotion))
        m_player.hold(hiwStillPhase(m_tab));
    else
        m_player.start();
}

void HiwDemoView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_player.stop();
    m_frameTimer.stop();
    m_fadeStartedAt = -1;
}

void HiwDemoView::phaseChanged()
{
    update();
    updateFrameTimer();
}

bool HiwDemoView::isMoving() const
{
    const qint64 now = m_environment.clock();
    if (m_fadeStartedAt >= 0 && now - m_fadeStartedAt < qint64(fadeInSeconds * 1000))
        return true;
    const Moment moment{m_player.previousPhase(), m_player.phase(),
                        (now - m_player.enteredAtMs()) / 1000.0, m_player.entering()};
    return moment.elapsed < settleSeconds(m_tab, moment);
}

void HiwDemoView::updateFrameTimer()
{
    if (isVisible() && isMoving()) {
        if (!m_frameTimer.isActive())
            m_frameTimer.start();
    } else {
        m_frameTimer.stop();
    }
}

void HiwDemoView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintStage(painter);
}

void HiwDemoView::paintStage(QPainter &painter)
{
    const qint64 now = m_environment.clock();
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                           | QPainter::SmoothPixmapTransform);
    if (m_fadeStartedAt >= 0) {
        const double p
            = AnimationTiming::easeOut(fadeInSeconds).progress((now - m_fadeStartedAt) / 1000.0);
        painter.setOpacity(painter.opacity() * p);
        painter.translate(0, 3 * (1 - p) * m_scale);
    }
    painter.scale(m_scale, m_scale);
    // The rectangle first: at a fractional scale an antialiased path clip alone lets a faint
    // pixel past its edges.
    const QRectF stage(0, 0, stageWidth, stageHeight);
    painter.setClipRect(stage, Qt::IntersectClip);
    painter.setClipPath(roundedRectPath(stage, 11), Qt::IntersectClip);
    paintHiwStageBackground(painter);
    switch (m_tab) {
    case HiwTab::arrows:
        paintArrows(painter, now);
        break;
    case HiwTab::invisible:
        paintInvisible(painter, now);
        break;
    case HiwTab::notes:
        paintNotes(painter, now);
        break;
    }
    paintHiwStageBorder(painter);
    painter.restore();
}

void HiwDemoView::paintArrows(QPainter &painter, qint64 now)
{
    const Moment m{m_player.previousPhase(), m_player.phase(),
                   (now - m_player.enteredAtMs()) / 1000.0, m_player.entering()};
    HiwPaintContext context{m_shadows, m_texts};
    const double scrollY = hiwMix(m.from.scrollY, m.to.scrollY, m.loop());
    const double note = m.from.note == m.to.note
                            ? m.to.note
                            : hiwMix(m.from.note, m.to.note, glide(m.elapsed, 0.35));

    HiwPrompterView prompter;
    prompter.x = 86;
    prompter.w = 330;
    prompter.numsMode = 1;
    prompter.docAccent = 1;
    for (int chip = 0; chip < 2; ++chip)
        prompter.chipActive.append(Moment::mix(m.from.note == chip, m.to.note == chip, m.loop()));
    prompter.bodyHeight = 64;
    const QString first = hiwArrowsFirstNote(*m_environment.captureShield);
    const QString second = hiwArrowsSecondNote();
    prompter.paintBody = [&](QPainter &p) {
        p.save();
        p.setClipRect(QRectF(0, 0, 302, 64), Qt::IntersectClip);
        p.translate(-302 * note, 0);
        p.save();
        p.setClipRect(QRectF(0, 0, 302, 64), Qt::IntersectClip);
        p.translate(0, scrollY);
        paintHiwBodyText(p, m_texts, first, 302);
        p.restore();
        p.translate(302, 0);
        paintHiwBodyText(p, m_texts, second, 302);
        p.restore();
    };
    prompter.paint(painter, context);

    // Key cluster: the caption over an inverted T of keys, right-aligned at x 494.
    const QFont captionFont = [] {
        QFont font = Fonts::systemFont(10, QFont::DemiBold);
        return font;
    }();
    const QFontMetricsF metrics(captionFont);
    const double captionHeight = metrics.height();
    const double presence = Moment::mix(m.from.cap, m.to.cap, eased(m.elapsed, 0.2));
    const QString caption = m.to.caption();
    if (presence > 0 && !caption.isEmpty()) {
        const QRectF captionBox(294, 136, 200, captionHeight);
        painter.save();
        painter.setOpacity(painter.opacity() * presence);
        const QString key = u"caption|"_qs + caption;
        m_shadows.draw(painter, key, captionBox,
                       [&](QPainter &p) {
                           p.setFont(captionFont);
                           p.setPen(Qt::black);
                           p.drawText(captionBox,
                                      Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                                      caption);
                       },
                       QColor(0, 0, 0, 153), 2, {0, 1});
        painter.setFont(captionFont);
        painter.setPen(whiteAt(0.9));
        painter.drawText(captionBox, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                         caption);
        painter.restore();
    }
    const double keysTop = 136 + captionHeight + 7;
    const struct
    {
        const char *symbol;
        QPointF topLeft;
    } keys[] = {{"arrow.up", {429, keysTop}},
                {"arrow.left", {394, keysTop + 35}},
                {"arrow.down", {429, keysTop + 35}},
                {"arrow.right", {464, keysTop + 35}}};
    for (const auto &key : keys) {
        const double active
            = Moment::mix(qstrcmp(m.from.key, key.symbol) == 0, qstrcmp(m.to.key, key.symbol) == 0,
                          eased(m.elapsed, 0.15));
        paintHiwKey(painter, context, key.topLeft, QString::fromLatin1(key.symbol), active);
    }
}

void HiwDemoView::paintCursorAndRipple(QPainter &painter, qint64 now, QPointF target, QPointF rest,
                                       QPointF rippleCentre)
{
    const Moment m{m_player.previousPhase(), m_player.phase(),
                   (now - m_player.enteredAtMs()) / 1000.0, m_player.entering()};
    HiwPaintContext context{m_shadows, m_texts};
    if (m.to.press) {
        paintHiwRipple(painter, rippleCentre, AnimationTiming::easeOut(0.55).progress(m.elapsed));
    }
    const QPointF from = m.from.cursorAtTarget ? target : rest;
    const QPointF to = m.to.cursorAtTarget ? target : rest;
    const double t = from == to ? 1 : m.cursorGlide();
    paintHiwCursor(painter, context, from + (to - from) * t,
                   Moment::mix(m.from.press, m.to.press, eased(m.elapsed, 0.12)));
}

void HiwDemoView::paintInvisible(QPainter &painter, qint64 now)
{
    const Moment m{m_player.previousPhase(), m_player.phase(),
                   (now - m_player.enteredAtMs()) / 1000.0, m_player.entering()};
    HiwPaintContext context{m_shadows, m_texts};
    HiwPrompterView prompter;
    prompter.x = 100;
    prompter.w = 320;
    prompter.eyeOn = Moment::mix(!m.from.invisible, !m.to.invisible, eased(m.elapsed, 0.25));
    prompter.eyeSymbolOn = !m.to.invisible;
    prompter.glow = Moment::mix(m.from.invisible, m.to.invisible, eased(m.elapsed, 0.4));
    prompter.showPill = Moment::mix(m.from.invisible, m.to.invisible, eased(m.elapsed, 0.25));
    prompter.chipActive = {1, 0};
    const QString body = hiwInvisibleBody(*m_environment.captureShield);
    prompter.bodyHeight = hiwBodyTextHeight(m_texts, body, 292);
    prompter.paintBody = [&](QPainter &p) { paintHiwBodyText(p, m_texts, body, 292); };
    prompter.paint(painter, context);
    paintCursorAndRipple(painter, now, {125, 44}, {445, 195}, {120, 37});
}

void HiwDemoView::paintNotes(QPainter &painter, qint64 now)
{
    const Moment m{m_player.previousPhase(), m_player.phase(),
                   (now - m_player.enteredAtMs()) / 1000.0, m_player.entering()};
    HiwPaintContext context{m_shadows, m_texts};
    HiwPrompterView prompter;
    prompter.x = 100;
    prompter.w = 320;
    prompter.numsMode = Moment::mix(m.from.numsMode, m.to.numsMode, eased(m.elapsed, 0.2));
    prompter.docAccent = Moment::mix(m.from.numsMode, m.to.numsMode, m.loop());
    prompter.chipActive = {1, 0, 0, 0};
    const QString body = hiwNotesBody();
    prompter.bodyHeight = hiwBodyTextHeight(m_texts, body, 292);
    prompter.paintBody = [&](QPainter &p) { paintHiwBodyText(p, m_texts, body, 292); };
    prompter.paint(painter, context);
    paintHiwCaptionChip(painter, {100, 152}, m.to.caption(),
                        Moment::mix(m.from.cap, m.to.cap, eased(m.elapsed, 0.22)));
    paintCursorAndRipple(painter, now, {121, 120}, {450, 198}, {116, 113});
}
