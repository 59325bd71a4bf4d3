#include "notchpreviewcontent.h"

#include "overlay/cursorkeyhintfooter.h"
#include "overlay/elapsedtimeview.h"
#include "overlay/invisibilityglow.h"
#include "overlay/overlayshapes.h"
#include "platform/captureshield.h"
#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "settings/presets.h"
#include "settings/scriptfont.h"
#include "settings_screen/notchpreviewmeasures.h"
#include "uikit/animation.h"
#include "uikit/circleglyphbutton.h"
#include "uikit/glasseffectview.h"
#include "uikit/icons.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QFontMetricsF>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>

using namespace NotchPreviewMeasures;

namespace {

constexpr double stackPadding = 20;
constexpr double textPadding = 16;
constexpr double textBottomPadding = 6;
constexpr double stickyNoteGap = 4;
constexpr double stickyControlSpacing = 6; // as in the floating panel's top-trailing group
// The badge's place in the sticky form.
constexpr double stickyBadgeInset = 10;

// Children follow the painted layers' opacity: hidden at 0, an effect only in between, so a
// settled child paints as fast as before.
void setChildOpacity(QWidget *child, double opacity)
{
    if (opacity <= 0.001) {
        child->hide();
        return;
    }
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(child->graphicsEffect());
    if (opacity >= 0.999) {
        if (effect)
            child->setGraphicsEffect(nullptr);
    } else {
        if (!effect) {
            effect = new QGraphicsOpacityEffect(child);
            child->setGraphicsEffect(effect);
        }
        effect->setOpacity(opacity);
    }
    child->show();
}

} // namespace

NotchPreviewContent::NotchPreviewContent(Options options, QWidget *parent)
    : QWidget(parent)
    , m_options(std::move(options))
    , m_cornerPhase(new AnimatedValue(0, this))
    , m_offsetPhase(new AnimatedValue(0, this))
    , m_expansion(new AnimatedValue(0, this))
    , m_contentOpacity(new AnimatedValue(0, this))
    , m_glowPulse(new AnimatedValue(0, this))
    , m_width(new AnimatedValue(0, this))
    , m_height(new AnimatedValue(0, this))
    , m_outlineOpacity(new AnimatedValue(0, this))
    , m_badgeHidden(new AnimatedValue(0, this))
{
    Q_ASSERT(m_options.settings);
    NotchSettings &settings = *m_options.settings;
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(false);

    m_width->setValue(bounded(settings.notchWidth(), 1, 1e6));
    m_height->setValue(bounded(settings.textAreaHeight(), 0, 1e6));
    m_outlineOpacity->setValue(hidesFromCapture() ? 1 : 0);
    m_badgeHidden->setValue(hidesFromCapture() ? 1 : 0);

    for (AnimatedValue *value : {m_cornerPhase, m_offsetPhase, m_expansion, m_width, m_height})
        connect(value, &AnimatedValue::valueChanged, this, &NotchPreviewContent::geometryChanged);
    for (AnimatedValue *value : {m_contentOpacity, m_glowPulse, m_outlineOpacity, m_badgeHidden})
        connect(value, &AnimatedValue::valueChanged, this, [this] { update(); });
    connect(m_contentOpacity, &AnimatedValue::valueChanged, this,
            &NotchPreviewContent::updateChildren);
    connect(m_glowPulse, &AnimatedValue::finished, this, [this] {
        if (m_pulsing) // repeats for as long as the view lives, reversing each time
            m_glowPulse->animateTo(m_glowPulse->value() > 0.5 ? 0 : 1,
                                   AnimationTiming::easeInOut(1.3));
    });

    m_elapsedTime = new ElapsedTimeView(11, this);
    m_elapsedTime->hide();
    CircleGlyphButton::Face face;
    face.symbol = QStringLiteral("plus.square.on.square");
    face.diameter = badgeSize;
    face.glyphSize = 9;
    face.weight = QFont::Bold;
    face.glyphColor = whiteAt(0.5);
    face.background = whiteAt(0.1);
    m_duplicateButton = new CircleGlyphButton(face, this);
    m_duplicateButton->setFocusPolicy(Qt::NoFocus);
    m_duplicateButton->hide();
    LocalizedText::bind(m_duplicateButton, "toolTip", "Duplicar ventana");
    connect(m_duplicateButton, &QAbstractButton::clicked, this, [this] {
        if (m_options.onDuplicate)
            m_options.onDuplicate();
    });
    m_footer = new CursorKeyHintFooter(false, this);
    m_footer->hide();

    const auto animateSize = [this] {
        const AnimationTiming timing = AnimationTiming::easeInOut(0.15);
        m_width->retarget(bounded(m_options.settings->notchWidth(), 1, 1e6), timing);
        m_height->retarget(bounded(m_options.settings->textAreaHeight(), 0, 1e6), timing);
    };
    connect(&settings, &NotchSettings::notchWidthChanged, this, animateSize);
    connect(&settings, &NotchSettings::textAreaHeightChanged, this, animateSize);
    connect(&settings, &NotchSettings::effectiveHideFromScreenShareChanged, this, [this] {
        const double target = hidesFromCapture() ? 1 : 0;
        m_outlineOpacity->animateTo(target, AnimationTiming::easeInOut(0.28));
        m_badgeHidden->animateTo(target, AnimationTiming::easeInOut(0.25));
    });
    connect(&settings, &NotchSettings::highlightColorChanged, this, [this] {
        if (m_options.settings->cueColor() != m_options.settings->highlightColor())
            m_options.settings->setCueColor(m_options.settings->highlightColor());
        update();
    });
    connect(&settings, &NotchSettings::overlayModeChanged, this,
            &NotchPreviewContent::handleModeChange);
    connect(&settings, &NotchSettings::showElapsedTimeChanged, this,
            &NotchPreviewContent::updateChildren);
    for (auto changed :
         {&NotchSettings::fontFamilyPresetChanged, &NotchSettings::fontSizePresetChanged,
          &NotchSettings::glassEffectChanged, &NotchSettings::glassOpacityChanged})
        connect(&settings, changed, this, [this] { update(); });
    LocalizedText::follow(this, "sampleText", [this] {
        m_textKey.clear();
        update();
    });
    if (m_options.dismissNotifier) {
        connect(m_options.dismissNotifier, SIGNAL(notchPreviewWillDismiss()), this,
                SLOT(playExit()));
    }
}

NotchPreviewContent::~NotchPreviewContent()
{
    m_pulsing = false;
}

double NotchPreviewContent::cornerPhase() const
{
    return m_cornerPhase->value();
}

double NotchPreviewContent::offsetPhase() const
{
    return m_offsetPhase->value();
}

double NotchPreviewContent::expansion() const
{
    return m_expansion->value();
}

bool NotchPreviewContent::hidesFromCapture() const
{
    return m_options.settings->effectiveHideFromScreenShare();
}

bool NotchPreviewContent::isStickyMode() const
{
    const OverlayMode mode = m_options.settings->overlayMode();
    return !m_options.forcePinned && (mode == OverlayMode::floating || mode == OverlayMode::cursor);
}

double NotchPreviewContent::topBand() const
{
    const double o = offsetPhase();
    return m_options.menuBarHeight * (1 - o) + stickyTopBand * o;
}

QSizeF NotchPreviewContent::mockSize() const
{
    const double e = expansion();
    const double width = collapsedWidth + (m_width->value() - collapsedWidth) * e;
    const double height = collapsedHeight + (topBand() + m_height->value() - collapsedHeight) * e;
    const double room = std::max(0.0, this->height() - offsetPhase() * stickyShift);
    return {bounded(width, 0, this->width()), bounded(height, 0, room)};
}

QRectF NotchPreviewContent::mockRect() const
{
    const QSizeF size = mockSize();
    return {(width() - size.width()) / 2, offsetPhase() * stickyShift, size.width(), size.height()};
}

QPainterPath NotchPreviewContent::notchPath(const QRectF &rect) const
{
    const DynamicIslandShape shape{(1 - cornerPhase()) * flareInset, bottomRadius};
    return shape.path(rect);
}

QPainterPath NotchPreviewContent::outlinePath() const
{
    const QRectF mock = mockRect();
    QPainterPath outline;
    if (mock.isEmpty())
        return outline;
    if (offsetPhase() < 0.999)
        outline = notchPath(mock);
    if (offsetPhase() > 0.001)
        outline = outline.united(roundedRectPath(mock, cardRadius));
    return outline;
}

QString NotchPreviewContent::sampleText() const
{
    // Where the window system cannot keep the panel out of a screen share, the preview must not
    // promise it: a presenter would rely on it.
    if (!shieldHolds()) {
        return localizedString("Esta ventana también se ve cuando compartís pantalla.") + u' '
               + localizedString("Acá podés ajustar el color, la fuente y el tamaño, o aumentar "
                                 "el ancho y la altura de la ventana.");
    }
    return localizedString(
        "Solo vos podés ver esta ventana cuando compartís pantalla. Acá podés ajustar el color, "
        "la fuente y el tamaño, o aumentar el ancho y la altura de la ventana invisible.");
}

QString NotchPreviewContent::stickyHint() const
{
    return shieldHolds() ? localizedString("Podés crear hasta 4 notas sticky invisibles")
                         : localizedString("Podés crear hasta 4 notas sticky");
}

bool NotchPreviewContent::shieldHolds() const
{
    return !m_options.captureShield || m_options.captureShield->isSupported();
}

void NotchPreviewContent::finishAnimations()
{
    for (AnimatedValue *value : {m_cornerPhase, m_offsetPhase, m_expansion, m_contentOpacity,
                                 m_width, m_height, m_outlineOpacity, m_badgeHidden})
        value->setValue(value->target());
}

void NotchPreviewContent::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_appeared) {
        m_appeared = true;
        appear();
    }
}

void NotchPreviewContent::appear()
{
    if (m_options.glow) {
        m_pulsing = true;
        m_glowPulse->animateTo(1, AnimationTiming::easeInOut(1.3));
    }
    m_expansion->animateTo(1, AnimationTiming::easeOut(0.4));
    QTimer::singleShot(350, this, [this] {
        if (m_exiting)
            return;
        m_contentVisible = true;
        m_contentOpacity->animateTo(1, AnimationTiming::easeOut(0.25));
        updateChildren();
    });
    const double phase = isStickyMode() ? 1 : 0;
    m_cornerPhase->setValue(phase);
    m_offsetPhase->setValue(phase);
    syncCues();
    updateChildren();
}

void NotchPreviewContent::syncCues()
{
    NotchSettings &settings = *m_options.settings;
    if (settings.cueColor() != settings.highlightColor())
        settings.setCueColor(settings.highlightColor());
    settings.setCueBrightness(CueBrightness::medium);
}

void NotchPreviewContent::handleModeChange()
{
    updateChildren();
    if (m_options.forcePinned)
        return;
    const AnimationTiming corner = AnimationTiming::easeInOut(0.25);
    const AnimationTiming slide = AnimationTiming::springCurve(0.4, 0.85);
    // A change of mind within the delay must not let the earlier change's second step land.
    const int generation = ++m_modeGeneration;
    if (isStickyMode()) {
        m_cornerPhase->animateTo(1, corner);
        QTimer::singleShot(250, this, [this, generation, slide] {
            if (generation == m_modeGeneration)
                m_offsetPhase->animateTo(1, slide);
        });
    } else {
        m_offsetPhase->animateTo(0, slide);
        QTimer::singleShot(300, this, [this, generation, corner] {
            if (generation == m_modeGeneration)
                m_cornerPhase->animateTo(0, corner);
        });
    }
}

void NotchPreviewContent::playExit()
{
    m_exiting = true;
    m_contentVisible = false;
    m_contentOpacity->animateTo(0, AnimationTiming::easeIn(0.15));
    QTimer::singleShot(100, this,
                       [this] { m_expansion->animateTo(0, AnimationTiming::easeIn(0.3)); });
}

void NotchPreviewContent::geometryChanged()
{
    updateChildren();
    update();
    Q_EMIT outlineChanged();
}

void NotchPreviewContent::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    geometryChanged();
}

bool NotchPreviewContent::event(QEvent *event)
{
    // The clock asks for room when its text grows a digit.
    if (event->type() == QEvent::LayoutRequest)
        updateChildren();
    return QWidget::event(event);
}

void NotchPreviewContent::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        m_textKey.clear();
}

void NotchPreviewContent::updateChildren()
{
    const double content = m_contentOpacity->value();
    const double o = offsetPhase();
    const OverlayMode mode = m_options.settings->overlayMode();
    const bool pinnedOnly = m_options.forcePinned;

    if (showsElapsedTime()) {
        if (m_elapsedTime->isHidden())
            m_elapsedTime->restart(); // counts from the moment it appears
        m_elapsedTime->setGeometry(elapsedTimeRect().toAlignedRect());
        setChildOpacity(m_elapsedTime, content);
    } else {
        m_elapsedTime->hide();
    }

    if (showsDuplicateButton()) {
        m_duplicateButton->move(duplicateButtonRect().topLeft().toPoint());
        setChildOpacity(m_duplicateButton, content * o);
    } else {
        m_duplicateButton->hide();
    }

    if (mode == OverlayMode::cursor && !pinnedOnly && m_contentVisible) {
        const QRectF footer = footerRect();
        m_footer->setGeometry(int(std::lround(footer.left())), int(std::lround(footer.top())),
                              int(footer.width()), int(footer.height()));
        setChildOpacity(m_footer, content * o);
    } else {
        m_footer->hide();
    }
}

bool NotchPreviewContent::showsStickyHint() const
{
    return m_options.settings->overlayMode() == OverlayMode::floating && !m_options.forcePinned
           && m_options.showStickyHint;
}

double NotchPreviewContent::stickyNoteHeight() const
{
    if (showsStickyHint())
        return hintRect().bottom() - mockRect().top() - stickyNoteTop;
    if (m_options.settings->overlayMode() == OverlayMode::cursor && !m_options.forcePinned)
        return footerRect().bottom() - mockRect().top() - stickyNoteTop;
    return 0;
}

bool NotchPreviewContent::showsElapsedTime() const
{
    return m_options.settings->showElapsedTime() && m_contentVisible;
}

bool NotchPreviewContent::showsDuplicateButton() const
{
    return m_options.settings->overlayMode() == OverlayMode::floating && !m_options.forcePinned
           && m_contentVisible;
}

QRectF NotchPreviewContent::duplicateButtonRect() const
{
    const QRectF mock = mockRect();
    return {mock.right() - stickyBadgeInset - badgeSize, mock.top() + stickyBadgeInset, badgeSize,
            badgeSize};
}

QRectF NotchPreviewContent::elapsedTimeRect() const
{
    // Pinned, in the top band, where the text column ends. The card's top band is too low for
    // it inside the card's border, so the sticky form sets it as the floating panel does: on
    // the row of the badge, left of the duplicate button when there is one.
    const QRectF mock = mockRect();
    const QSizeF size = m_elapsedTime->sizeHint();
    const double o = offsetPhase();
    const double pinnedRight = mock.right() - stackPadding - 12;
    const double stickyRight = showsDuplicateButton()
                                   ? duplicateButtonRect().left() - stickyControlSpacing
                                   : mock.right() - stickyBadgeInset;
    const double pinnedTop = (topBand() - size.height()) / 2;
    const double stickyTop = stickyBadgeInset + (badgeSize - size.height()) / 2;
    const double right = pinnedRight + (stickyRight - pinnedRight) * o;
    const double top = mock.top() + pinnedTop + (stickyTop - pinnedTop) * o;
    return {QPointF(std::round(right - size.width()), std::round(top)), size};
}

QRectF NotchPreviewContent::noteRect(const QSizeF &size) const
{
    // Centred, but never over the badge nor over the controls of the trailing corner: moved
    // aside while the card has room between them, else below the badge.
    const QRectF mock = mockRect();
    const double leftmost = mock.left() + stickyBadgeInset + badgeSize + stickyNoteGap;
    double rightmost = mock.right() - stickyBadgeInset;
    if (showsDuplicateButton())
        rightmost = duplicateButtonRect().left() - stickyNoteGap;
    if (showsElapsedTime())
        rightmost = std::min(rightmost, elapsedTimeRect().left() - stickyNoteGap);
    const double centred = mock.center().x() - size.width() / 2;
    if (leftmost + size.width() > rightmost)
        return {QPointF(centred, mock.top() + stickyBadgeInset + badgeSize + stickyNoteGap), size};
    return {QPointF(std::clamp(centred, leftmost, rightmost - size.width()),
                    mock.top() + stickyNoteTop),
            size};
}

QFont NotchPreviewContent::stickyHintFont() const
{
    return Fonts::systemFont(9.5, QFont::Normal);
}

QRectF NotchPreviewContent::hintRect() const
{
    const QFontMetricsF metrics(stickyHintFont());
    return noteRect({std::ceil(metrics.horizontalAdvance(stickyHint())), stickyHintHeight});
}

QRectF NotchPreviewContent::badgeRect() const
{
    const QRectF mock = mockRect();
    const double o = offsetPhase();
    const double leading = 30 - (30 - stickyBadgeInset) * o;
    const double top
        = std::max((m_options.menuBarHeight - badgeSize) / 2, 2.0) * (1 - o) + stickyBadgeInset * o;
    return {mock.left() + leading, mock.top() + top, badgeSize, badgeSize};
}

QRectF NotchPreviewContent::footerRect() const
{
    return noteRect(m_footer->sizeHint());
}

QRectF NotchPreviewContent::contentRect() const
{
    const QRectF mock = mockRect();
    const double note = stickyNoteHeight();
    const double below = note > 0 ? stickyNoteTop + note + stickyNoteGap : 0;
    const double top = mock.top() + std::max(topBand(), offsetPhase() * below);
    return QRectF(mock.left() + stackPadding + textPadding, top,
                  mock.width() - 2 * (stackPadding + textPadding),
                  mock.bottom() - textBottomPadding - top);
}
