#include "floatingoverlayview.h"

#include "overlay/cursorkeyhintfooter.h"
#include "overlay/elapsedtimeview.h"
#include "overlay/eyebutton.h"
#include "overlay/floatingcollapsedbar.h"
#include "overlay/floatingornaments.h"
#include "overlay/floatingpagelist.h"
#include "overlay/floatingtransitionlayer.h"
#include "overlay/invisibilityglow.h"
#include "overlay/model/overlaycontent.h"
#include "overlay/overlayfooter.h"
#include "overlay/overlayshapes.h"
#include "overlay/panelactions.h"
#include "overlay/speechscrollview.h"
#include "overlay/visibilitytoastview.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "speech/speechrecognizer.h"
#include "uikit/animation.h"
#include "uikit/circleglyphbutton.h"
#include "uikit/glasseffectview.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"
#include "uikit/roundiconbutton.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr double hiddenScale = 0.9;
constexpr double sideInset = 16;
constexpr double notesTopInset = 42; // clear of the eye button and the window buttons
constexpr double scrollingTopInset = 12;
constexpr double footerBottomPadding = 12;
constexpr QPoint eyePosition{10, 8};
constexpr double topTrailingTop = 6;
constexpr double topTrailingTrailing = 10;
constexpr double topTrailingSpacing = 6;
constexpr double elapsedFontSize = 11;
constexpr double windowButtonSide = 22;
constexpr double duplicateSymbolSize = 9;
constexpr double windowSymbolSize = 10;
constexpr double toastTop = 8;
constexpr double readingHintsTop = 8;
constexpr double listHintsTop = 14;
constexpr double listHintsTrailing = 12;
constexpr double barTop = 12;
constexpr double barSideGap = 16;

const AnimationTiming stateTiming = AnimationTiming::easeInOut(0.3);

} // namespace

FloatingOverlayView::FloatingOverlayView(OverlayContent &content, SpeechRecognizer &recognizer,
                                         NotchSettings &settings, bool followingCursor,
                                         std::function<void()> onDuplicate, QWidget *parent)
    : ScrollingReadingView(content, settings, NotesMode::standStill, parent)
    , m_recognizer(recognizer)
    , m_followingCursor(followingCursor)
    , m_onDuplicate(std::move(onDuplicate))
    , m_presence(new AnimatedValue(0, this))
    , m_borderOpacity(new AnimatedValue(0, this))
    , m_crossfade(new AnimatedValue(0, this))
{
    setFocusPolicy(Qt::NoFocus);
    buildReadingView();
    buildCollapsedBar();
    buildTopControls();
    m_toastLayer = new VisibilityToastLayer(toastTop, this);
    m_toastLayer->setObjectName(u"toastLayer"_qs);
    m_readingHints = new CursorKeyHintFooter(false, this);
    m_readingHints->setObjectName(u"keyHints"_qs);
    m_listHints = new CursorKeyHintFooter(true, this);
    m_listHints->setObjectName(u"pageListKeyHints"_qs);
    m_ornaments = new Ornaments(*this);
    m_ornaments->setObjectName(u"ornaments"_qs);
    m_transition = new TransitionLayer(*this);
    m_transition->setObjectName(u"transitionLayer"_qs);

    connect(m_presence, &AnimatedValue::valueChanged, this, &FloatingOverlayView::presenceChanged);
    connect(m_presence, &AnimatedValue::finished, this, &FloatingOverlayView::refreshTransition);
    connect(m_borderOpacity, &AnimatedValue::valueChanged, m_ornaments,
            qOverload<>(&QWidget::update));
    connect(m_crossfade, &AnimatedValue::valueChanged, this,
            &FloatingOverlayView::refreshTransition);
    connect(m_crossfade, &AnimatedValue::finished, this, [this] {
        m_transition->setBefore({});
        refreshTransition();
    });

    connectModels();
    m_wasCollapsedBar = showsCollapsedBar();
    m_borderOpacity->setValue(
        m_settings.effectiveHideFromScreenShare() && !showsCollapsedBar() ? 1 : 0);
    refreshState();
    refreshReadingInsets();
    refreshScrollArguments();
    reloadPage();
    if (m_content.showVisibilityToast())
        m_toastLayer->present(true);
}

FloatingOverlayView::~FloatingOverlayView() = default;

void FloatingOverlayView::buildReadingView()
{
    m_readingView = new QWidget(this);
    m_readingView->setObjectName(u"readingView"_qs);
    m_readingLayout = new QVBoxLayout(m_readingView);
    m_readingLayout->setSpacing(0);
    m_scrollView->setObjectName(u"wordsArea"_qs);
    m_readingLayout->addWidget(m_scrollView, 1);
    // The reading view's side insets serve the footer too.
    m_footer = new OverlayFooter(m_content, m_recognizer, m_settings, {0, footerBottomPadding},
                                 m_followingCursor ? OverlayFooter::Controls::pageIndicatorOnly
                                                   : OverlayFooter::Controls::all,
                                 m_readingView);
    connect(m_footer, &OverlayFooter::playPauseClicked, this, &FloatingOverlayView::togglePause);
    m_readingLayout->addWidget(m_footer);

    connect(m_scrollView, &SpeechScrollView::arrowScrollClamped, this,
            [this](double delta) { m_content.setArrowScrollDelta(delta); });
}

void FloatingOverlayView::buildCollapsedBar()
{
    m_collapsedBar = new CollapsedBar(this);
    m_collapsedBar->setObjectName(u"collapsedBar"_qs);
    connect(m_collapsedBar->minimizeButton(), &QAbstractButton::clicked, this,
            [this] { m_content.setIsMiniMode(true); });
    connect(m_collapsedBar->pageListButton(), &QAbstractButton::clicked, this, [this] {
        if (m_content.isMiniMode())
            m_content.setIsMiniMode(false);
        m_content.setShowPagePicker(true);
    });
    connect(m_collapsedBar->closeButton(), &QAbstractButton::clicked, this,
            [this] { PanelActions::closeSession(m_recognizer); });
}

void FloatingOverlayView::buildTopControls()
{
    m_eyeButton = new EyeButton(m_settings, m_content, EyeButton::defaultSide, this);
    m_eyeButton->setObjectName(u"eyeButton"_qs);

    m_topTrailing = new QWidget(this);
    m_topTrailing->setObjectName(u"topTrailingGroup"_qs);
    m_elapsedTime = new ElapsedTimeView(elapsedFontSize, m_topTrailing);
    m_elapsedTime->setObjectName(u"elapsedTime"_qs);
    m_duplicateButton = new RoundIconButton(u"plus.square.on.square"_qs, windowButtonSide,
                                            duplicateSymbolSize, m_topTrailing);
    m_duplicateButton->setObjectName(u"duplicateButton"_qs);
    m_minimizeButton
        = new RoundIconButton(u"minus"_qs, windowButtonSide, windowSymbolSize, m_topTrailing);
    m_minimizeButton->setObjectName(u"minimizeButton"_qs);
    m_closeButton
        = new RoundIconButton(u"xmark"_qs, windowButtonSide, windowSymbolSize, m_topTrailing);
    m_closeButton->setObjectName(u"closeButton"_qs);

    // The group is placed by hand: a counter that grows a digit places it again.
    m_topTrailing->installEventFilter(this);
    auto *row = new QHBoxLayout(m_topTrailing);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(int(topTrailingSpacing));
    for (QWidget *item : std::initializer_list<QWidget *>{m_elapsedTime, m_duplicateButton,
                                                          m_minimizeButton, m_closeButton})
        row->addWidget(item, 0, Qt::AlignVCenter);

    connect(m_duplicateButton, &QAbstractButton::clicked, this, [this] {
        if (m_onDuplicate)
            m_onDuplicate();
    });
    connect(m_minimizeButton, &QAbstractButton::clicked, this,
            [this] { PanelActions::minimizeFromPicker(m_content); });
    connect(m_closeButton, &QAbstractButton::clicked, this,
            [this] { PanelActions::closeSession(m_recognizer); });
    LocalizedText::bind(m_duplicateButton, "toolTip", "Duplicar ventana");
    LocalizedText::bind(m_minimizeButton, "toolTip", "Minimizar");
    LocalizedText::bind(m_closeButton, "toolTip", "Cerrar");
}

void FloatingOverlayView::connectModels()
{
    OverlayContent *content = &m_content;
    // The picture of the view before a change is taken first, before anything follows it.
    for (auto change :
         {&OverlayContent::isCollapsedChanged, &OverlayContent::isMiniModeChanged,
          &OverlayContent::showPagePickerChanged, &OverlayContent::wordsChanged,
          &OverlayContent::lineBreaksChanged, &OverlayContent::currentPageIndexChanged,
          &OverlayContent::isNotesModeChanged, &OverlayContent::pageLoaded})
        connect(content, change, this, &FloatingOverlayView::beginCrossfade);
    for (auto flag : {&OverlayContent::isCollapsedChanged, &OverlayContent::isMiniModeChanged,
                      &OverlayContent::showPagePickerChanged})
        connect(content, flag, this, &FloatingOverlayView::refreshState);
    for (auto pageField : {&OverlayContent::wordsChanged, &OverlayContent::lineBreaksChanged,
                           &OverlayContent::currentPageIndexChanged, &OverlayContent::pageLoaded})
        connect(content, pageField, this, &FloatingOverlayView::schedulePageReload);
    // A new page, also one that happens to equal the last, reads from its start.
    for (auto newPage : {&OverlayContent::totalCharCountChanged, &OverlayContent::pageLoaded})
        connect(content, newPage, this, [this] { setTimerWordProgress(0); });
    m_footer->connectModels();
    connect(content, &OverlayContent::isNotesModeChanged, this, [this] {
        refreshReadingInsets();
        refreshScrollArguments();
        refreshTopControls();
    });
    connect(content, &OverlayContent::duplicateAvailableChanged, this,
            &FloatingOverlayView::refreshTopControls);
    connect(content, &OverlayContent::showVisibilityToastChanged, this,
            [this] { m_toastLayer->present(m_content.showVisibilityToast()); });

    NotchSettings *settings = &m_settings;
    for (auto fontField :
         {&NotchSettings::fontSizePresetChanged, &NotchSettings::fontFamilyPresetChanged})
        connect(settings, fontField, this, &FloatingOverlayView::refreshScrollArguments);
    connect(settings, &NotchSettings::showElapsedTimeChanged, this, [this] {
        if (m_settings.showElapsedTime())
            m_elapsedTime->restart();
        refreshTopControls();
    });
    connect(settings, &NotchSettings::effectiveHideFromScreenShareChanged, this,
            &FloatingOverlayView::refreshBorder);
    for (auto fill : {&NotchSettings::glassEffectChanged, &NotchSettings::glassOpacityChanged})
        connect(settings, fill, this, qOverload<>(&QWidget::update));

    connect(&m_recognizer, &SpeechRecognizer::shouldDismissChanged, this, [this] {
        if (m_recognizer.shouldDismiss())
            disappear();
    });
}

FloatingOverlayView::ContentState FloatingOverlayView::contentState(const OverlayContent &content)
{
    if (content.showPagePicker())
        return ContentState::pageList;
    return content.isCollapsed() ? ContentState::collapsedBar : ContentState::reading;
}

FloatingOverlayView::ContentState FloatingOverlayView::contentState() const
{
    return contentState(m_content);
}

double FloatingOverlayView::presence() const
{
    return m_presence->value();
}

double FloatingOverlayView::scale() const
{
    return hiddenScale + (1 - hiddenScale) * m_presence->value();
}

bool FloatingOverlayView::isToastPresented() const
{
    return m_toastLayer->isPresented();
}

double FloatingOverlayView::borderOpacity() const
{
    return m_borderOpacity->value();
}

FloatingOverlayView::Shape FloatingOverlayView::panelShape() const
{
    if (showsCollapsedBar()) {
        const QRectF bar = m_collapsedBar->geometry();
        return {bar, bar.height() / 2};
    }
    return {rect(), cornerRadius};
}

QPainterPath FloatingOverlayView::outlinePath() const
{
    const Shape shape = panelShape();
    const QPainterPath outline = roundedRectPath(shape.rect, shape.radius);
    const double s = scale();
    if (s == 1)
        return outline;
    const QPointF centre = QRectF(rect()).center();
    QTransform transform;
    transform.translate(centre.x(), centre.y());
    transform.scale(s, s);
    transform.translate(-centre.x(), -centre.y());
    return transform.map(outline);
}

void FloatingOverlayView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutContent();
    Q_EMIT outlineChanged();
}

bool FloatingOverlayView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_topTrailing && event->type() == QEvent::LayoutRequest)
        layoutContent();
    return ScrollingReadingView::eventFilter(watched, event);
}

void FloatingOverlayView::layoutContent()
{
    const QRect all = rect();
    const int w = all.width();
    m_readingView->setGeometry(all);
    if (m_pageList)
        m_pageList->setGeometry(all);

    const QSize bar = m_collapsedBar->sizeHint();
    const int barLeft = std::max(int(barSideGap), (w - bar.width()) / 2);
    m_collapsedBar->setGeometry(barLeft, int(barTop), bar.width(), bar.height());

    m_eyeButton->move(eyePosition);
    const QSize trailing = m_topTrailing->sizeHint();
    m_topTrailing->setGeometry(w - int(topTrailingTrailing) - trailing.width(), int(topTrailingTop),
                               trailing.width(), trailing.height());

    // Centred, but clear of the eye button and of whatever the top-trailing group shows (the
    // elapsed time in the cursor mode); a row too wide for that span shows fewer hints.
    const int spanLeft = m_eyeButton->geometry().right() + 1 + int(topTrailingSpacing);
    const int spanRight = m_topTrailing->sizeHint().width() > 0
                              ? m_topTrailing->x() - int(topTrailingSpacing)
                              : w - int(topTrailingTrailing);
    m_readingHints->setAvailableWidth(std::max(0, spanRight - spanLeft));
    const QSize reading = m_readingHints->sizeHint();
    const int readingLeft = std::clamp((w - reading.width()) / 2, spanLeft,
                                       std::max(spanLeft, spanRight - reading.width()));
    m_readingHints->setGeometry(readingLeft, int(readingHintsTop), reading.width(),
                                reading.height());
    // The page list's hints keep to the trailing edge, left of the top-trailing group.
    const int listRight = std::min(w - int(listHintsTrailing), spanRight);
    m_listHints->setAvailableWidth(std::max(0, listRight - spanLeft));
    const QSize list = m_listHints->sizeHint();
    m_listHints->setGeometry(listRight - list.width(), int(listHintsTop), list.width(),
                             list.height());

    for (QWidget *layer : std::initializer_list<QWidget *>{m_toastLayer, m_ornaments, m_transition})
        layer->setGeometry(all);

    // The list opens scrolled to the current page: its rows keep out from under the controls.
    if (m_pageList) {
        int controlsBottom = 0;
        for (const QWidget *control :
             std::initializer_list<const QWidget *>{m_eyeButton, m_topTrailing, m_listHints}) {
            if (control->isVisibleTo(this))
                controlsBottom = std::max(controlsBottom, control->geometry().bottom() + 1);
        }
        m_pageList->setTopClearance(controlsBottom);
    }
}

void FloatingOverlayView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        appear();
}

void FloatingOverlayView::appear()
{
    m_appeared = true;
    presenceChanged();
    m_presence->animateTo(1, AnimationTiming::easeOut(0.3));
}

void FloatingOverlayView::disappear()
{
    if (!m_appeared)
        return;
    m_appeared = false;
    m_presence->animateTo(0, AnimationTiming::easeIn(0.25));
}

QPixmap FloatingOverlayView::picture()
{
    const qreal ratio = devicePixelRatioF();
    QPixmap picture((QSizeF(size()) * ratio).toSize());
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    m_takingPicture = true;
    render(&picture, {}, {}, QWidget::DrawChildren);
    m_takingPicture = false;
    return picture;
}

void FloatingOverlayView::presenceChanged()
{
    // The picture is taken again on every frame, so a page that arrives while the panel grows
    // in is shown at once.
    if (isVisible() && m_presence->value() < 1)
        m_transition->setLive(picture());
    refreshTransition();
    Q_EMIT outlineChanged();
}

void FloatingOverlayView::beginCrossfade()
{
    if (!isVisible() || m_presence->value() < 1 || m_presence->isAnimating()
        || m_crossfade->isAnimating())
        return;
    m_transition->setBefore(picture());
    m_crossfade->setValue(1);
    m_crossfade->animateTo(0, stateTiming);
}

void FloatingOverlayView::refreshTransition()
{
    const bool fading = m_crossfade->value() > 0 && m_transition->hasBefore();
    if (m_presence->value() >= 1 && !fading) {
        m_transition->clear();
        m_transition->hide();
        return;
    }
    if (!m_transition->isVisible()) {
        m_transition->show();
        m_transition->raise();
    }
    m_transition->update();
}

void FloatingOverlayView::refreshState()
{
    const ContentState state = contentState();
    const bool bar = state == ContentState::collapsedBar;
    const bool list = state == ContentState::pageList;

    m_collapsedBar->setMini(m_content.isMiniMode());
    m_collapsedBar->setVisible(bar);
    m_readingView->setVisible(state == ContentState::reading);
    if (list) {
        // A fresh list each time it opens, on the current page.
        if (!m_pageList) {
            m_pageList = new FloatingPageList(m_content, this);
            m_pageList->setObjectName(u"pageList"_qs);
            m_pageList->stackUnder(m_eyeButton);
            m_pageList->show();
        }
    } else if (m_pageList) {
        m_pageList->hide();
        m_pageList->deleteLater();
        m_pageList = nullptr;
    }

    m_eyeButton->setVisible(!bar);
    m_topTrailing->setVisible(!bar);
    m_readingHints->setVisible(m_followingCursor && state == ContentState::reading);
    m_listHints->setVisible(m_followingCursor && list);
    m_ornaments->setGripShown(!m_followingCursor && !bar);
    // The elapsed time belongs to the controls that the collapsed bar removes; it starts again
    // with them.
    if (m_wasCollapsedBar && !bar)
        m_elapsedTime->restart();
    m_wasCollapsedBar = bar;

    refreshTopControls();
    refreshBorder();
    update();
    Q_EMIT outlineChanged();
}

void FloatingOverlayView::refreshTopControls()
{
    const bool list = m_content.showPagePicker();
    m_elapsedTime->setVisible(m_settings.showElapsedTime());
    m_duplicateButton->setVisible(m_content.isNotesMode() && m_content.duplicateAvailable()
                                  && !m_followingCursor && m_onDuplicate);
    m_minimizeButton->setVisible(list && !m_followingCursor);
    m_closeButton->setVisible(list && !m_followingCursor);
    m_topTrailing->layout()->activate();
    layoutContent();
}

void FloatingOverlayView::refreshReadingInsets()
{
    const bool notes = m_content.isNotesMode();
    m_readingLayout->setContentsMargins(
        int(sideInset), int(notes ? notesTopInset : scrollingTopInset), int(sideInset), 0);
}

void FloatingOverlayView::refreshBorder()
{
    const bool shown = m_settings.effectiveHideFromScreenShare() && !showsCollapsedBar();
    m_borderOpacity->retarget(shown ? 1 : 0, AnimationTiming::easeInOut(0.28));
}

void FloatingOverlayView::refreshScrollArguments()
{
    ScrollingReadingView::refreshScrollArguments();
    m_scrollView->setTopAligned(m_content.isNotesMode());
}

void FloatingOverlayView::loadWords()
{
    // Where a new page rests depends on the alignment.
    m_scrollView->setTopAligned(m_content.isNotesMode());
    ScrollingReadingView::loadWords();
}

void FloatingOverlayView::togglePause()
{
    setPaused(!isPaused());
    m_footer->setPaused(isPaused());
}

void FloatingOverlayView::toggleInvisibility()
{
    EyeButton::toggleInvisibility(m_settings, m_content);
}

void FloatingOverlayView::paintEvent(QPaintEvent *)
{
    if (showsCollapsedBar())
        return;
    QPainter painter(this);
    paintBackground(painter);
}

void FloatingOverlayView::paintBackground(QPainter &painter) const
{
    const QPainterPath panel = roundedRectPath(rect(), cornerRadius);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_settings.glassEffect()) {
        painter.fillPath(panel, GlassEffectView::materialColor());
        painter.fillPath(panel, QColor::fromRgbF(0, 0, 0, float(m_settings.glassOpacity())));
    } else {
        painter.fillPath(panel, Qt::black);
    }
    painter.restore();
}
