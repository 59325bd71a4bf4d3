#include "tutorialnotchcontent.h"

#include "onboarding/onboardingvisuals.h"
#include "overlay/overlaypanel.h"
#include "overlay/overlayshapes.h"
#include "overlay/speechscrollview.h"
#include "platform/captureshield.h"
#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "settings/presets.h"
#include "settings/scriptfont.h"
#include "settings/tokenizer.h"
#include "uikit/animation.h"
#include "uikit/glasseffectview.h"
#include "uikit/icons.h"
#include "uikit/painting.h"

#include <QAbstractButton>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPathStroker>
#include <QTimer>
#include <QVariantAnimation>

#include <cmath>

namespace {

constexpr double capsuleHeight = 20;
constexpr double pageRowHeight = 20 + 8;
constexpr double chipSize = 20;

QColor bubbleFill()
{
    return QColor::fromRgbF(0.075f, 0.085f, 0.095f);
}

QPainterPath islandPath(const QRectF &rect)
{
    return DynamicIslandShape{TutorialNotchContent::topInset, TutorialNotchContent::bottomRadius}
        .path(rect);
}

double finiteOr(double value, double fallback)
{
    return std::isfinite(value) ? value : fallback;
}

QFont capsuleFont()
{
    QFont font = Fonts::systemFont(10, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.4);
    return font;
}

} // namespace

class EyeToggle : public QAbstractButton
{
public:
    EyeToggle(TutorialNotchModel &model, QWidget *parent)
        : QAbstractButton(parent)
        , m_model(model)
    {
        setObjectName(QStringLiteral("invisibilityToggle"));
        setFixedSize(26, 26);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
        connect(this, &QAbstractButton::clicked, this, [this] { m_model.toggleInvisibleDemo(); });
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const bool on = m_model.isInvisibleDemo();
        const QRectF disc = QRectF(rect());
        painter.setPen(Qt::NoPen);
        painter.setBrush(on ? accentTeal(0.22) : whiteAt(0.1));
        painter.drawEllipse(disc);
        const double line = on ? 1 : 0.5;
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(on ? accentTeal(0.45) : whiteAt(0.2), line));
        painter.drawEllipse(disc.adjusted(line / 2, line / 2, -line / 2, -line / 2));
        Icons::paint(&painter, on ? QStringLiteral("eye.slash") : QStringLiteral("eye"),
                     disc.adjusted(6, 6, -6, -6), on ? accentTeal() : whiteAt(0.85), 12.5,
                     QFont::Medium);
    }

private:
    TutorialNotchModel &m_model;
};

TutorialNotchContent::TutorialNotchContent(TutorialNotchModel &model, NotchSettings &settings,
                                           const CaptureShield &captureShield, double menuBarHeight,
                                           std::function<void(double)> onScrollClamp,
                                           QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_settings(settings)
    , m_captureShield(captureShield)
    , m_menuBarHeight(std::max(0.0, finiteOr(menuBarHeight, 0)))
    , m_onScrollClamp(std::move(onScrollClamp))
    , m_scrollView(new SpeechScrollView(this))
    , m_toggle(new EyeToggle(model, this))
    , m_ping(new PingRing(accentTeal(), this))
    , m_pulse(new AnimatedValue(0, this))
{
    setFocusPolicy(Qt::NoFocus);
    m_scrollView->setFocusPolicy(Qt::NoFocus);
    m_ping->setRingDiameter(26);
    m_ping->lower();
    // The view reports inside setArrowScrollDelta(); the value goes back on a later turn.
    connect(m_scrollView, &SpeechScrollView::arrowScrollClamped, this,
            &TutorialNotchContent::scrollClamped, Qt::QueuedConnection);
    connect(&model, &TutorialNotchModel::changed, this, &TutorialNotchContent::scheduleSync);
    for (auto signal :
         {&NotchSettings::notchWidthChanged, &NotchSettings::textAreaHeightChanged,
          &NotchSettings::fontSizePresetChanged, &NotchSettings::fontFamilyPresetChanged,
          &NotchSettings::highlightColorChanged, &NotchSettings::cueColorChanged,
          &NotchSettings::cueBrightnessChanged, &NotchSettings::glassEffectChanged,
          &NotchSettings::glassOpacityChanged})
        connect(&settings, signal, this, &TutorialNotchContent::scheduleSync);
    connect(m_pulse, &AnimatedValue::valueChanged, this,
            [this] { update(capsuleRect().toAlignedRect().adjusted(-4, -4, 4, 4)); });
    syncNow();
}

TutorialNotchContent::~TutorialNotchContent() = default;

QAbstractButton *TutorialNotchContent::invisibilityToggle() const
{
    return m_toggle;
}

QSizeF TutorialNotchContent::panelSize() const
{
    // A hand-edited store may hold anything; the drawing stays inside the window.
    const double width = std::clamp(
        finiteOr(m_settings.notchWidth(), 340), 1.0,
        double(this->width() > 0 ? this->width() : TutorialNotchController::panelWidth));
    const double text = std::clamp(finiteOr(m_settings.textAreaHeight(), 160), 0.0,
                                   double(TutorialNotchController::panelExtraHeight));
    return {width, m_menuBarHeight + text};
}

QRectF TutorialNotchContent::panelRect() const
{
    const QSizeF size = panelSize();
    return QRectF((width() - size.width()) * 0.5, 0, size.width(), size.height());
}

QPainterPath TutorialNotchContent::outlinePath() const
{
    const QPainterPath panel = islandPath(panelRect());
    QPainterPathStroker stroker;
    stroker.setWidth(6);
    QPainterPath outline = panel.united(stroker.createStroke(panel));
    if (m_model.showInvisibilityToggle()) {
        QPainterPath extra;
        extra.addRect(toggleRect().adjusted(-2, -2, 2, 2));
        if (!m_model.isInvisibleDemo())
            extra.addRect(bubbleRect().adjusted(-8, -8, 8, 8));
        outline = outline.united(extra);
    }
    return outline;
}

QRectF TutorialNotchContent::toggleRect() const
{
    const double leading = std::max((width() - panelSize().width()) * 0.5 + 34, 12.0);
    return QRectF(leading, std::max(m_menuBarHeight - 25, 8.0), 26, 26);
}

QRectF TutorialNotchContent::bubbleRect() const
{
    const QFontMetricsF metrics(Fonts::systemFont(12, QFont::Medium));
    const QSizeF size(metrics.horizontalAdvance(localizedString("Tocá acá")) + 26,
                      metrics.height() + 16);
    const double c = (width() - panelSize().width()) * 0.5 + 34 + 13;
    return QRectF(std::max(c - 28, 8.0), std::max(m_menuBarHeight - 25, 8.0) + 26 + 12,
                  size.width(), size.height());
}

QRectF TutorialNotchContent::capsuleRect() const
{
    const QRectF panel = panelRect();
    QString text;
    if (m_model.voiceMode())
        text = localizedString("Leé en voz alta");
    else if (m_model.arrowInstruction())
        text = *m_model.arrowInstruction();
    else
        return {};
    const double glyph = m_model.voiceMode() ? 9 + 5 : 0;
    const double width = QFontMetricsF(capsuleFont()).horizontalAdvance(text) + glyph + 20;
    const double below
        = m_model.voiceMode() ? 8 : 6 + (m_model.pageCount() >= 2 ? pageRowHeight : 0);
    return QRectF(panel.center().x() - width / 2, panel.bottom() - below - capsuleHeight, width,
                  capsuleHeight);
}

QRectF TutorialNotchContent::pageRowRect() const
{
    if (m_model.voiceMode() || m_model.pageCount() < 2)
        return {};
    const QRectF panel = panelRect().adjusted(20 + 16, 0, -20 - 16, 0);
    return QRectF(panel.left(), panel.bottom() - pageRowHeight, panel.width(), chipSize);
}

bool TutorialNotchContent::showsBadge() const
{
    // Where windows cannot be kept out of captures, the panel does not claim to be.
    return m_model.isInvisibleDemo() && m_captureShield.isSupported();
}

void TutorialNotchContent::scheduleSync()
{
    if (m_syncQueued)
        return;
    m_syncQueued = true;
    QTimer::singleShot(0, this, [this] {
        if (m_syncQueued)
            sync();
    });
}

void TutorialNotchContent::syncNow()
{
    sync();
}

void TutorialNotchContent::sync()
{
    m_syncQueued = false;
    const bool voice = m_model.voiceMode();
    const QString key = voice ? QString(QStringLiteral("voice\n") + m_model.voiceText())
                              : QString(QStringLiteral("note\n") + m_model.noteTitle() + u'\n'
                                        + m_model.noteBody());
    const QFont font = ::font(m_settings.fontFamilyPreset(), pointSize(m_settings.fontSizePreset()),
                              QFont::DemiBold);
    m_scrollView->setScriptFont(font);
    if (key != m_wordsKey) {
        // A new note is a fresh text, at rest.
        m_wordsKey = key;
        m_scrollView->setWords(tokenizeLine(voice ? m_model.voiceText() : m_model.noteBody()), {});
    }
    m_scrollView->setSmoothScroll(false);
    m_scrollView->setSmoothWordProgress(0);
    if (voice) {
        const CueOpacities cue = cueOpacities(m_settings.cueBrightness());
        m_scrollView->setHighlightColor(m_settings.highlightColor());
        m_scrollView->setCueColor(m_settings.cueColor());
        m_scrollView->setCueOpacities(cue.unread, cue.read);
        m_scrollView->setListening(true);
        m_scrollView->setHighlightedCharCount(m_model.voiceProgress());
    } else {
        m_scrollView->setHighlightColor(Qt::white);
        m_scrollView->setCueColor(Qt::white);
        m_scrollView->setCueOpacities(0.55, 0.55);
        m_scrollView->setListening(false);
        m_scrollView->setHighlightedCharCount(0);
    }
    m_toggle->setVisible(m_model.showInvisibilityToggle());
    m_ping->setVisible(m_model.showInvisibilityToggle() && !m_model.invisibilityTried());
    layoutChildren();
    // ↑ stops where the note begins: further up, its first line would sink under the capsule.
    const double wanted = voice ? 0 : m_model.scrollDelta();
    const double delta = std::min(wanted, 0.0);
    m_scrollView->setArrowScrollDelta(delta);
    if (delta != wanted) {
        QTimer::singleShot(0, this, [this] {
            if (!m_model.voiceMode() && m_model.scrollDelta() > 0)
                scrollClamped(0);
        });
    }
    m_toggle->update();
    update();
    Q_EMIT outlineChanged();
}

void TutorialNotchContent::layoutChildren()
{
    const QRectF panel = panelRect();
    double bottom = panel.bottom();
    const QRectF capsule = capsuleRect();
    if (m_model.voiceMode())
        bottom = capsule.top();
    else if (capsule.isValid())
        bottom = capsule.top();
    else if (m_model.pageCount() >= 2)
        bottom = panel.bottom() - pageRowHeight;
    const QRectF text(panel.left() + 20 + 16, m_menuBarHeight + 10, panel.width() - 72,
                      bottom - m_menuBarHeight - 10);
    m_scrollView->setGeometry(text.toAlignedRect().intersected(rect()));
    const QRect toggle = toggleRect().toAlignedRect();
    m_toggle->setGeometry(toggle);
    m_ping->setGeometry(toggle.adjusted(-22, -22, 22, 22));
    if (m_lastSize != panel.size()) {
        m_lastSize = panel.size();
        Q_EMIT outlineChanged();
    }
}

void TutorialNotchContent::scrollClamped(double delta)
{
    m_model.setScrollDelta(delta);
    if (m_onScrollClamp)
        m_onScrollClamp(delta);
}

void TutorialNotchContent::resizeEvent(QResizeEvent *)
{
    layoutChildren();
    // The panel cuts itself before its content is laid out at the new size.
    Q_EMIT outlineChanged();
}

void TutorialNotchContent::showEvent(QShowEvent *)
{
    // The capsules breathe from the first showing on, between 1 and 1.04.
    if (Motion::reduceMotion() || m_pulse->target() != 0)
        return;
    connect(m_pulse, &AnimatedValue::finished, this, [this] {
        m_pulse->animateTo(m_pulse->value() > 0.5 ? 0 : 1, AnimationTiming::easeInOut(1.4));
    });
    m_pulse->animateTo(1, AnimationTiming::easeInOut(1.4));
}

const QImage &TutorialNotchContent::background()
{
    const QSizeF size = panelSize();
    const bool voice = m_model.voiceMode();
    const bool demo = m_model.isInvisibleDemo();
    const bool toggle = m_model.showInvisibilityToggle();
    const bool glass = m_settings.glassEffect();
    const double glassOpacity = std::clamp(finiteOr(m_settings.glassOpacity(), 0.7), 0.0, 1.0);
    const QString key = QStringLiteral("%1x%2/%3%4%5%6/%7/%8x%9")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(voice)
                            .arg(demo)
                            .arg(toggle)
                            .arg(glass)
                            .arg(glassOpacity)
                            .arg(width())
                            .arg(height());
    if (key == m_backgroundKey && !m_background.isNull())
        return m_background;
    m_backgroundKey = key;
    const qreal dpr = devicePixelRatioF();
    m_background
        = QImage((QSizeF(this->size()) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    m_background.setDevicePixelRatio(dpr);
    m_background.fill(Qt::black);
    QPainter painter(&m_background);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF panel = panelRect();
    const QPainterPath outline = islandPath(panel);

    // Shadow of the body, by state.
    double shadowOpacity = 0.25;
    double shadowRadius = 16;
    if (voice) {
        shadowOpacity = 0.55;
        shadowRadius = 24;
    } else if (demo) {
        shadowOpacity = 0.5;
        shadowRadius = 22;
    } else if (toggle) {
        shadowOpacity = 0;
    }
    if (shadowOpacity > 0)
        paintSoftShadow(&painter, panel, bottomRadius, accentTeal(shadowOpacity), shadowRadius, 0);

    // The glow: the outline stroked in the brand colour, blurred by stacked wider strokes.
    if (!(toggle && !demo)) {
        const double blur = voice ? 14 : 3;
        const double opacity = voice ? 0.75 : 0.55;
        const int steps = voice ? 6 : 3;
        for (int i = steps; i >= 0; --i) {
            const double spread = blur * i / steps;
            QColor c = accentTeal(opacity / (steps + 1) * (1 + (steps - i) * 0.5));
            painter.strokePath(outline,
                               QPen(c, 5 + 2 * spread, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        }
    }

    painter.save();
    painter.setOpacity(demo ? 0.92 : 1);
    painter.setPen(Qt::NoPen);
    if (glass) {
        painter.fillPath(outline, GlassEffectView::materialColor());
        painter.fillPath(outline, QColor::fromRgbF(0, 0, 0, float(glassOpacity)));
    } else {
        painter.fillPath(outline, Qt::black);
    }
    painter.restore();
    if (demo)
        painter.strokePath(outline, QPen(accentTeal(), 1.5));
    return m_background;
}

void TutorialNotchContent::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawImage(QPointF(0, 0), background());
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF panel = panelRect();

    if (showsBadge()) {
        QFont font = Fonts::systemFont(10, QFont::Bold);
        font.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
        const QString text = localizedString("Invisible");
        const double w = QFontMetricsF(font).horizontalAdvance(text) + 9 + 5 + 20;
        const QRectF badge(panel.center().x() - w / 2, m_menuBarHeight + 14, w, capsuleHeight);
        paintSoftShadow(&painter, badge, badge.height() / 2, accentTeal(0.55), 8, 0);
        painter.fillPath(capsulePath(badge), accentTeal());
        Icons::paint(&painter, QStringLiteral("eye.slash.fill"),
                     QRectF(badge.left() + 10, badge.center().y() - 4.5, 9, 9), onAccentTeal(), 9,
                     QFont::Bold);
        painter.setFont(font);
        painter.setPen(onAccentTeal());
        painter.drawText(badge.adjusted(10 + 14, 0, -10, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         text);
    }

    if (m_model.voiceMode())
        paintCapsule(painter, localizedString("Leé en voz alta"), QStringLiteral("mic.fill"));
    else if (m_model.arrowInstruction())
        paintCapsule(painter, *m_model.arrowInstruction(), {});
    if (!m_model.voiceMode())
        paintPageRow(painter);
    if (m_model.showInvisibilityToggle() && !m_model.isInvisibleDemo())
        paintBubble(painter);
}

void TutorialNotchContent::paintCapsule(QPainter &painter, const QString &text,
                                        const QString &glyph)
{
    const QRectF rect = capsuleRect();
    if (!rect.isValid())
        return;
    const double scale = 1 + 0.04 * m_pulse->value();
    painter.save();
    painter.translate(rect.center());
    painter.scale(scale, scale);
    painter.translate(-rect.center());
    paintSoftShadow(&painter, rect, rect.height() / 2, accentTeal(0.55), 8, 0);
    painter.fillPath(capsulePath(rect), accentTeal());
    QRectF label = rect.adjusted(10, 0, -10, 0);
    if (!glyph.isEmpty()) {
        Icons::paint(&painter, glyph, QRectF(label.left(), label.center().y() - 4.5, 9, 9),
                     onAccentTeal(), 9, QFont::Bold);
        label.setLeft(label.left() + 14);
    }
    painter.setFont(capsuleFont());
    painter.setPen(onAccentTeal());
    painter.drawText(label, Qt::AlignCenter, text);
    painter.restore();
}

void TutorialNotchContent::paintPageRow(QPainter &painter)
{
    const QRectF row = pageRowRect();
    if (!row.isValid())
        return;
    Icons::paint(&painter, QStringLiteral("doc.text"),
                 QRectF(row.left(), row.center().y() - 5, 10, 10), whiteAt(0.4), 10, QFont::Bold);
    double x = row.left() + 10 + 8;
    const int count = std::min(m_model.pageCount(), 999);
    for (int i = 0; i < count && x + chipSize <= row.right(); ++i) {
        const bool current = i == m_model.currentPageIndex();
        const QRectF chip(x, row.top(), chipSize, chipSize);
        painter.setPen(Qt::NoPen);
        painter.setBrush(current ? accentTeal(0.15) : whiteAt(0.08));
        painter.drawEllipse(chip);
        painter.setFont(Fonts::systemFont(10, current ? QFont::Bold : QFont::Medium));
        painter.setPen(current ? accentTeal() : whiteAt(0.5));
        painter.drawText(chip, Qt::AlignCenter, localizedString("%lld", i + 1));
        x += chipSize + 4;
    }
}

void TutorialNotchContent::paintBubble(QPainter &painter)
{
    const QRectF bubble = bubbleRect();
    const double c = (width() - panelSize().width()) * 0.5 + 34 + 13;
    paintSoftShadow(&painter, bubble.translated(0, 6), 9, accentTeal(0.25), 12, 0);
    QPainterPath shape = roundedRectPath(bubble, 9);
    // The pointer: a small square turned 45 degrees at the top edge, under the toggle.
    QTransform turn;
    turn.translate(c, bubble.top());
    turn.rotate(45);
    shape = shape.united(turn.map(roundedRectPath(QRectF(-5, -5, 10, 10), 2)));
    painter.fillPath(shape, bubbleFill());
    painter.strokePath(shape, QPen(accentTeal(0.45), 1));
    painter.fillPath(roundedRectPath(bubble.adjusted(1, 1, -1, -1), 8), bubbleFill());
    painter.setFont(Fonts::systemFont(12, QFont::Medium));
    painter.setPen(whiteAt(0.92));
    painter.drawText(bubble, Qt::AlignCenter, localizedString("Tocá acá"));
}

// The window

OverlayTutorialPanel::OverlayTutorialPanel(TutorialNotchModel &model, NotchSettings &settings,
                                           const CaptureShield &captureShield, const QRect &frame,
                                           double menuBarHeight, bool interactive,
                                           std::function<void(double)> onScrollClamp)
{
    auto *content = new TutorialNotchContent(model, settings, captureShield, menuBarHeight,
                                             std::move(onScrollClamp));
    m_content = content;
    m_panel = new OverlayPanel(content, interactive ? OverlayPanel::NoOption
                                                    : OverlayPanel::TransparentForInput);
    m_panel->setObjectName(QStringLiteral("tutorialPanel"));
    m_panel->setWindowTitle(QStringLiteral("Brivel tutorial"));
    m_panel->setClickThrough(!interactive);
    m_panel->setGeometry(frame);
    // No compositor: the window is cut to what the content draws.
    m_panel->setShape([content] { return content->outlinePath(); });
    QObject::connect(content, &TutorialNotchContent::outlineChanged, m_panel,
                     &OverlayPanel::refreshShape);
}

OverlayTutorialPanel::~OverlayTutorialPanel()
{
    // At once, not later: the content reads the controller's model, which goes right after this.
    // No closer runs from inside the panel's own events.
    delete m_panel;
}

QRect OverlayTutorialPanel::frame() const
{
    return m_panel ? m_panel->geometry() : QRect();
}

void OverlayTutorialPanel::orderFront()
{
    if (m_panel)
        m_panel->orderFront();
}

void OverlayTutorialPanel::orderOut()
{
    if (m_panel)
        m_panel->hide();
}

void OverlayTutorialPanel::setInteractive(bool interactive)
{
    if (m_panel)
        m_panel->setClickThrough(!interactive);
}

bool OverlayTutorialPanel::isInteractive() const
{
    return m_panel && !m_panel->isClickThrough();
}

QWindow *OverlayTutorialPanel::window() const
{
    return m_panel ? m_panel->windowHandle() : nullptr;
}

TutorialNotchController::PanelFactory
OverlayTutorialPanel::factory(NotchSettings &settings, const CaptureShield &captureShield)
{
    return [&settings, &captureShield](TutorialNotchModel &model, const QRect &frame,
                                       double menuBarHeight, bool interactive,
                                       TutorialNotchController::ScrollClamp onScrollClamp) {
        return std::make_unique<OverlayTutorialPanel>(model, settings, captureShield, frame,
                                                      menuBarHeight, interactive,
                                                      std::move(onScrollClamp));
    };
}
