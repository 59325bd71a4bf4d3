#include "notchoverlayview.h"

#include "overlay/elapsedtimeview.h"
#include "overlay/eyebutton.h"
#include "overlay/invisibilityglow.h"
#include "overlay/model/overlaycontent.h"
#include "overlay/notchcollapsedbar.h"
#include "overlay/notchcontentveil.h"
#include "overlay/notchframetracker.h"
#include "overlay/overlayfooter.h"
#include "overlay/overlayshapes.h"
#include "overlay/pagepickerview.h"
#include "overlay/panelactions.h"
#include "overlay/speechscrollview.h"
#include "overlay/visibilitytoastview.h"
#include "platform/fonts.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "speech/speechrecognizer.h"
#include "uikit/animation.h"
#include "uikit/glasseffectview.h"
#include "uikit/icons.h"
#include "uikit/localizedtext.h"
#include "uikit/roundiconbutton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr double miniWidthExtra = 10;     // the mini form is a little wider than the notch
constexpr double miniBarHeight = 24;      // below the top bar, in the mini form
constexpr double collapsedBarHeight = 36; // and in the collapsed bar
constexpr double topBarSpacing = 6;
constexpr double topBarMinimumHeight = 24;
constexpr double elapsedFontSize = 11;
constexpr double footerBottomPadding = 10;
constexpr double textTopPadding = 6;
constexpr double toastGap = 8;

const AnimationTiming stateTiming = AnimationTiming::easeInOut(0.3);

} // namespace

NotchOverlayView::NotchOverlayView(OverlayContent &content, SpeechRecognizer &recognizer,
                                   NotchSettings &settings, double menuBarHeight,
                                   double baseTextHeight, NotchFrameTracker &frameTracker,
                                   QWidget *parent)
    : ScrollingReadingView(content, settings, NotesMode::standStill, parent)
    , m_recognizer(recognizer)
    , m_menuBarHeight(menuBarHeight)
    , m_baseTextHeight(baseTextHeight)
    , m_frameTracker(frameTracker)
    , m_expansion(new AnimatedValue(0, this))
    , m_targetHeight(new AnimatedValue(0, this))
    , m_miniBlend(new AnimatedValue(0, this))
    , m_glowOpacity(new AnimatedValue(0, this))
    , m_contentOpacity(new AnimatedValue(0, this))
    , m_crossfade(new AnimatedValue(0, this))
{
    setFocusPolicy(Qt::NoFocus);
    const DisplayState state = displayState();
    m_targetHeight->setValue(targetSize(state).height());
    m_miniBlend->setValue(state == DisplayState::mini ? 1 : 0);

    m_column = new QWidget(this);
    m_column->setObjectName(u"contentColumn"_qs);
    m_column->hide();
    buildWordsArea();
    m_collapsedBar = new CollapsedBar([this] { openPickerFromCollapsedBar(); }, m_column);
    m_collapsedBar->setObjectName(u"collapsedBar"_qs);
    connect(m_collapsedBar->minimizeButton(), &QAbstractButton::clicked, this, [this] {
        if (!m_content.isMiniMode())
            m_content.setIsMiniMode(true);
    });
    connect(m_collapsedBar->closeButton(), &QAbstractButton::clicked, this,
            [this] { PanelActions::closeSession(m_recognizer); });
    buildTopBar();
    m_veil = new ContentVeil(*this);
    m_veil->setObjectName(u"contentVeil"_qs);
    m_toastLayer = new VisibilityToastLayer(m_menuBarHeight + toastGap, this);
    m_toastLayer->setObjectName(u"toastLayer"_qs);

    for (AnimatedValue *value : {m_expansion, m_targetHeight, m_miniBlend})
        connect(value, &AnimatedValue::valueChanged, this, &NotchOverlayView::geometryChanged);
    connect(m_glowOpacity, &AnimatedValue::valueChanged, this, [this] {
        update();
        if (m_veil->isVisible())
            m_veil->update();
    });
    for (AnimatedValue *value : {m_contentOpacity, m_crossfade})
        connect(value, &AnimatedValue::valueChanged, this, &NotchOverlayView::refreshVeil);
    connect(m_contentOpacity, &AnimatedValue::finished, this, [this] {
        if (!m_contentVisible && m_contentOpacity->value() <= 0)
            m_column->hide();
        refreshVeil();
    });
    connect(m_crossfade, &AnimatedValue::finished, this, [this] {
        m_veil->clearSnapshot();
        refreshVeil();
    });

    connectModels();
    m_glowOpacity->setValue(
        m_settings.effectiveHideFromScreenShare() && !m_content.isCollapsed() ? 1 : 0);
    refreshSections();
    refreshTopBar();
    refreshScrollArguments();
    reloadPage();
    if (m_content.showVisibilityToast())
        m_toastLayer->present(true);
}

NotchOverlayView::~NotchOverlayView() = default;

void NotchOverlayView::buildTopBar()
{
    m_topBar = new QWidget(m_column);
    m_topBar->setObjectName(u"topBar"_qs);
    m_eyeButton = new EyeButton(m_settings, m_content, EyeButton::defaultSide, m_topBar);
    m_eyeButton->setObjectName(u"eyeButton"_qs);
    m_elapsedTime = new ElapsedTimeView(elapsedFontSize, m_topBar);
    m_elapsedTime->setObjectName(u"elapsedTime"_qs);
    m_minimizeButton
        = new RoundIconButton(u"minus"_qs, roundButtonSide, roundButtonSymbol, m_topBar);
    m_minimizeButton->setObjectName(u"minimizeButton"_qs);
    m_closeButton = new RoundIconButton(u"xmark"_qs, roundButtonSide, roundButtonSymbol, m_topBar);
    m_closeButton->setObjectName(u"closeButton"_qs);

    auto *row = new QHBoxLayout(m_topBar);
    row->setContentsMargins(int(barPadding), 0, int(barPadding), 0);
    row->setSpacing(int(topBarSpacing));
    row->addWidget(m_eyeButton, 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(m_elapsedTime, 0, Qt::AlignVCenter);
    row->addWidget(m_minimizeButton, 0, Qt::AlignVCenter);
    row->addWidget(m_closeButton, 0, Qt::AlignVCenter);

    connect(m_minimizeButton, &QAbstractButton::clicked, this,
            [this] { PanelActions::minimizeFromPicker(m_content); });
    connect(m_closeButton, &QAbstractButton::clicked, this,
            [this] { PanelActions::closeSession(m_recognizer); });
    LocalizedText::bind(m_minimizeButton, "toolTip", "Minimizar");
    LocalizedText::bind(m_closeButton, "toolTip", "Cerrar");
}

void NotchOverlayView::buildWordsArea()
{
    m_wordsArea = new QWidget(m_column);
    m_wordsArea->setObjectName(u"wordsArea"_qs);
    auto *column = new QVBoxLayout(m_wordsArea);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto *textArea = new QWidget(m_wordsArea);
    auto *text = new QVBoxLayout(textArea);
    text->setContentsMargins(int(barPadding), int(textTopPadding), int(barPadding), 0);
    text->setSpacing(0);
    text->addWidget(m_scrollView);
    m_scrollView->setTopAligned(false);
    m_emptyPlaceholder = new QLabel(textArea);
    m_emptyPlaceholder->setObjectName(u"emptyPlaceholder"_qs);
    m_emptyPlaceholder->setAlignment(Qt::AlignCenter);
    m_emptyPlaceholder->setFont(Fonts::systemFont(16, QFont::Medium));
    QPalette faint = m_emptyPlaceholder->palette();
    faint.setColor(QPalette::WindowText, whiteAt(0.3));
    m_emptyPlaceholder->setPalette(faint);
    LocalizedText::bind(m_emptyPlaceholder, "text", "Vacío");
    text->addWidget(m_emptyPlaceholder);
    column->addWidget(textArea, 1);

    connect(m_scrollView, &SpeechScrollView::arrowScrollClamped, this,
            [this](double delta) { m_content.setArrowScrollDelta(delta); });

    m_footer
        = new OverlayFooter(m_content, m_recognizer, m_settings, {barPadding, footerBottomPadding},
                            OverlayFooter::Controls::all, m_wordsArea);
    connect(m_footer, &OverlayFooter::playPauseClicked, this, &NotchOverlayView::togglePause);
    column->addWidget(m_footer);
}

void NotchOverlayView::connectModels()
{
    OverlayContent *content = &m_content;
    for (auto flag : {&OverlayContent::isCollapsedChanged, &OverlayContent::isMiniModeChanged,
                      &OverlayContent::showPagePickerChanged})
        connect(content, flag, this, &NotchOverlayView::stateFlagChanged);
    // The open picker follows the length of its list.
    connect(content, &OverlayContent::pageCountChanged, this, [this] {
        if (displayState() != DisplayState::pagePicker)
            return;
        syncFrameTrackerSize();
        m_targetHeight->retarget(targetSize(DisplayState::pagePicker).height(), stateTiming);
    });
    for (auto pageField : {&OverlayContent::wordsChanged, &OverlayContent::lineBreaksChanged,
                           &OverlayContent::currentPageIndexChanged, &OverlayContent::pageLoaded}) {
        connect(content, pageField, this, [this] {
            beginCrossfade();
            schedulePageReload();
        });
    }
    // A new page, also one that happens to equal the last, reads from its start.
    for (auto newPage : {&OverlayContent::totalCharCountChanged, &OverlayContent::pageLoaded})
        connect(content, newPage, this, [this] { setTimerWordProgress(0); });
    m_footer->connectModels();
    connect(content, &OverlayContent::isNotesModeChanged, this,
            &NotchOverlayView::refreshScrollArguments);
    connect(content, &OverlayContent::showVisibilityToastChanged, this,
            [this] { m_toastLayer->present(m_content.showVisibilityToast()); });

    NotchSettings *settings = &m_settings;
    for (auto fontField :
         {&NotchSettings::fontSizePresetChanged, &NotchSettings::fontFamilyPresetChanged})
        connect(settings, fontField, this, &NotchOverlayView::refreshScrollArguments);
    connect(settings, &NotchSettings::showElapsedTimeChanged, this, [this] {
        if (m_settings.showElapsedTime())
            m_elapsedTime->restart();
        refreshTopBar();
    });
    connect(settings, &NotchSettings::effectiveHideFromScreenShareChanged, this,
            &NotchOverlayView::refreshGlow);
    for (auto fill : {&NotchSettings::glassEffectChanged, &NotchSettings::glassOpacityChanged})
        connect(settings, fill, this, qOverload<>(&QWidget::update));

    connect(&m_recognizer, &SpeechRecognizer::shouldDismissChanged, this, [this] {
        if (m_recognizer.shouldDismiss())
            dismiss();
    });
}

NotchOverlayView::DisplayState NotchOverlayView::displayState(const OverlayContent &content)
{
    if (content.showPagePicker())
        return DisplayState::pagePicker;
    if (content.isCollapsed())
        return content.isMiniMode() ? DisplayState::mini : DisplayState::collapsedBar;
    return DisplayState::expanded;
}

NotchOverlayView::DisplayState NotchOverlayView::displayState() const
{
    return displayState(m_content);
}

QSizeF NotchOverlayView::targetSize(DisplayState state) const
{
    switch (state) {
    case DisplayState::mini:
        return {notchWidth + miniWidthExtra, m_menuBarHeight + miniBarHeight};
    case DisplayState::collapsedBar:
        return {double(width()), m_menuBarHeight + collapsedBarHeight};
    case DisplayState::pagePicker:
        return {double(width()), m_menuBarHeight + pickerHeight()};
    case DisplayState::expanded:
        break;
    }
    return {double(width()), m_menuBarHeight + m_baseTextHeight};
}

// The list takes the text's room, but no more than it fills, and its edge falls under a whole
// row: no empty black below a short list, no row cut in half below a long one.
double NotchOverlayView::pickerHeight() const
{
    return PagePickerView::fittedHeight(m_content.pageCount(), m_baseTextHeight);
}

double NotchOverlayView::expansion() const
{
    return m_expansion->value();
}

bool NotchOverlayView::isToastPresented() const
{
    return m_toastLayer->isPresented();
}

double NotchOverlayView::glowOpacity() const
{
    return m_glowOpacity->value();
}

double NotchOverlayView::targetWidth() const
{
    const double miniWidth = notchWidth + miniWidthExtra;
    return width() + (miniWidth - width()) * m_miniBlend->value();
}

double NotchOverlayView::currentInset() const
{
    return collapsedInset + (topInset - collapsedInset) * m_expansion->value();
}

QRectF NotchOverlayView::outlineRect() const
{
    const double e = m_expansion->value();
    const double w = notchWidth + (targetWidth() - notchWidth) * e;
    const double h = notchHeight + (m_targetHeight->value() - notchHeight) * e;
    return QRectF((width() - w) / 2, 0, w, h);
}

QPainterPath NotchOverlayView::outlinePath() const
{
    const QRectF frame = outlineRect();
    const DynamicIslandShape shape{currentInset(), 8 + 10 * m_expansion->value()};
    return shape.path(frame);
}

QRect NotchOverlayView::columnRect() const
{
    const QRectF frame = outlineRect();
    return QRectF(frame.left() + topInset, 0, std::max(0.0, frame.width() - 2 * topInset),
                  m_targetHeight->value())
        .toRect();
}

void NotchOverlayView::geometryChanged()
{
    layoutContent();
    update();
    if (m_veil->isVisible())
        m_veil->update();
    Q_EMIT outlineChanged();
}

void NotchOverlayView::layoutContent()
{
    const QRect column = columnRect();
    m_column->setGeometry(column);
    const int cw = m_column->width();
    const int ch = m_column->height();
    // The top bar sits in the menu-bar strip, centred on it; its buttons keep their size when
    // the strip is thinner than they are.
    const double barHeight = std::max(m_menuBarHeight, topBarMinimumHeight);
    m_topBar->setGeometry(0, int(std::lround(m_menuBarHeight / 2 - barHeight / 2)), cw,
                          int(std::lround(barHeight)));
    const int top = int(std::lround(m_menuBarHeight));
    const QRect section(0, top, cw, std::max(0, ch - top));
    m_collapsedBar->setGeometry(section);
    // The page keeps the size it is read at while the outline grows to it from a shorter
    // state: laid out at a passing height, it would rest off its place.
    const int textBottom = int(std::lround(m_menuBarHeight + m_baseTextHeight));
    m_wordsArea->setGeometry(section.x(), top, cw, std::max(0, textBottom - top));
    if (m_picker)
        m_picker->setGeometry(section);
    m_veil->setGeometry(rect());
    m_toastLayer->setGeometry(rect());
}

void NotchOverlayView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    geometryChanged();
}

void NotchOverlayView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_appeared) {
        m_appeared = true;
        appear();
    }
}

void NotchOverlayView::appear()
{
    m_expansion->animateTo(1, AnimationTiming::easeOut(0.4));
    QTimer::singleShot(350, this, [this] {
        if (!m_dismissing)
            setContentVisible(true);
    });
}

void NotchOverlayView::dismiss()
{
    if (m_dismissing)
        return;
    m_dismissing = true;
    setContentVisible(false);
    QTimer::singleShot(100, this,
                       [this] { m_expansion->animateTo(0, AnimationTiming::easeIn(0.3)); });
}

void NotchOverlayView::setContentVisible(bool visible)
{
    if (visible == m_contentVisible)
        return;
    m_contentVisible = visible;
    if (visible) {
        m_elapsedTime->restart();
        m_column->show();
        m_contentOpacity->animateTo(1, AnimationTiming::easeOut(0.25));
    } else {
        m_contentOpacity->animateTo(0, AnimationTiming::easeIn(0.15));
    }
    refreshVeil();
}

void NotchOverlayView::refreshVeil()
{
    const double opacity = m_contentOpacity->value();
    const double before = m_veil->hasSnapshot() ? m_crossfade->value() : 0;
    const bool needed = m_column->isVisible() && (opacity < 1 || before > 0);
    if (!needed) {
        m_veil->hide();
        return;
    }
    m_veil->setFade(opacity, before, m_menuBarHeight);
    if (!m_veil->isVisible()) {
        m_veil->show();
        m_veil->raise();
        m_toastLayer->raise();
    }
}

void NotchOverlayView::beginCrossfade()
{
    if (!m_contentVisible || !m_column->isVisible() || m_crossfade->isAnimating())
        return;
    // Only what the column draws itself: the panel's fill is under it already.
    const qreal ratio = devicePixelRatioF();
    QPixmap snapshot((QSizeF(m_column->size()) * ratio).toSize());
    snapshot.setDevicePixelRatio(ratio);
    snapshot.fill(Qt::transparent);
    m_column->render(&snapshot, {}, {}, QWidget::DrawChildren);
    m_veil->setSnapshot(snapshot, m_column->pos());
    m_crossfade->setValue(1);
    m_crossfade->animateTo(0, stateTiming);
}

void NotchOverlayView::stateFlagChanged()
{
    syncFrameTrackerSize();
    beginCrossfade();
    const DisplayState state = displayState();
    m_targetHeight->retarget(targetSize(state).height(), stateTiming);
    m_miniBlend->retarget(state == DisplayState::mini ? 1 : 0, stateTiming);
    refreshSections();
    refreshTopBar();
    refreshGlow();
}

void NotchOverlayView::syncFrameTrackerSize()
{
    switch (displayState()) {
    case DisplayState::mini:
        m_frameTracker.setVisibleHeight(m_menuBarHeight + miniBarHeight);
        m_frameTracker.setVisibleWidth(notchWidth + miniWidthExtra);
        return;
    case DisplayState::collapsedBar:
        m_frameTracker.setVisibleHeight(m_menuBarHeight + collapsedBarHeight);
        m_frameTracker.setVisibleWidth(m_settings.notchWidth());
        return;
    case DisplayState::pagePicker:
    case DisplayState::expanded:
        m_frameTracker.setVisibleHeight(targetSize(displayState()).height());
        m_frameTracker.setVisibleWidth(m_settings.notchWidth());
        return;
    }
}

void NotchOverlayView::refreshSections()
{
    const DisplayState state = displayState();
    const bool collapsed = state == DisplayState::mini || state == DisplayState::collapsedBar;
    m_collapsedBar->setVisible(collapsed);
    m_collapsedBar->setMini(state == DisplayState::mini);
    m_wordsArea->setVisible(state == DisplayState::expanded);
    if (state == DisplayState::pagePicker) {
        // A fresh list each time the picker opens, on the current page.
        if (!m_picker) {
            m_picker = new PagePickerView(m_content, m_column);
            m_picker->setObjectName(u"pagePicker"_qs);
            m_picker->show();
        }
    } else if (m_picker) {
        m_picker->hide();
        m_picker->deleteLater();
        m_picker = nullptr;
    }
    m_topBar->raise();
    layoutContent();
}

void NotchOverlayView::refreshTopBar()
{
    const bool picker = m_content.showPagePicker();
    m_elapsedTime->setVisible(m_settings.showElapsedTime());
    m_minimizeButton->setVisible(picker);
    m_closeButton->setVisible(picker);
}

void NotchOverlayView::refreshGlow()
{
    const bool shown = m_settings.effectiveHideFromScreenShare() && !m_content.isCollapsed();
    m_glowOpacity->retarget(shown ? 1 : 0, AnimationTiming::easeInOut(0.28));
}

void NotchOverlayView::loadWords()
{
    const bool empty = m_content.words().isEmpty();
    m_emptyPlaceholder->setVisible(empty);
    m_scrollView->setVisible(!empty);
    ScrollingReadingView::loadWords();
}

void NotchOverlayView::togglePause()
{
    setPaused(!isPaused());
    m_footer->setPaused(isPaused());
}

void NotchOverlayView::openPickerFromCollapsedBar()
{
    if (m_content.isMiniMode())
        m_content.setIsMiniMode(false);
    m_content.setShowPagePicker(true);
}

void NotchOverlayView::toggleInvisibility()
{
    EyeButton::toggleInvisibility(m_settings, m_content);
}

void NotchOverlayView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintPanel(painter);
}

void NotchOverlayView::paintPanel(QPainter &painter) const
{
    const QPainterPath outline = outlinePath();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    if (m_settings.glassEffect()) {
        painter.setClipPath(outline);
        painter.fillPath(outline, GlassEffectView::materialColor());
        painter.fillPath(outline, QColor::fromRgbF(0, 0, 0, float(m_settings.glassOpacity())));
    } else {
        painter.fillPath(outline, Qt::black);
    }
    painter.restore();
    const double glow = m_glowOpacity->value();
    if (glow > 0)
        paintInvisibilityGlow(painter, outline, outlineRect(), currentInset() + 16, glow);
}
