#include "scrollingreadingview.h"

#include "overlay/model/overlaycontent.h"
#include "overlay/speechscrollview.h"
#include "settings/notchsettings.h"
#include "settings/presets.h"
#include "settings/scriptfont.h"

#include <algorithm>

ScrollingReadingView::ScrollingReadingView(OverlayContent &content, NotchSettings &settings,
                                           NotesMode notesMode, QWidget *parent)
    : QWidget(parent)
    , m_content(content)
    , m_settings(settings)
    , m_scrollView(new SpeechScrollView(this))
    , m_notesMode(notesMode)
    , m_scrollTimer(new QTimer(this))
{
    connect(m_scrollView, &SpeechScrollView::wordTapped, this,
            &ScrollingReadingView::handleWordTap);
    connect(m_scrollView, &SpeechScrollView::manualScroll, this,
            &ScrollingReadingView::handleManualScroll);

    m_scrollTimer->setObjectName(u"scrollTimer"_qs);
    m_scrollTimer->setTimerType(Qt::PreciseTimer);
    m_scrollTimer->setInterval(scrollIntervalMs);
    connect(m_scrollTimer, &QTimer::timeout, this, &ScrollingReadingView::scrollStep);
    m_scrollTimer->start();
    m_pageReload.setSingleShot(true);
    m_pageReload.setInterval(0);
    connect(&m_pageReload, &QTimer::timeout, this, &ScrollingReadingView::reloadPage);
    // A closed panel is deleted by the event loop, which may first run its timers after the
    // content went with its controller: nothing may scroll what is gone.
    connect(&content, &QObject::destroyed, this, [this] {
        m_contentGone = true;
        m_scrollTimer->stop();
        m_pageReload.stop();
    });

    connect(&content, &OverlayContent::arrowScrollDeltaChanged, this,
            [this] { m_scrollView->setArrowScrollDelta(m_content.arrowScrollDelta()); });
    // Every view colours its words from the settings; the font is each view's own business.
    for (auto colours : {&NotchSettings::highlightColorChanged, &NotchSettings::cueColorChanged,
                         &NotchSettings::cueBrightnessChanged})
        connect(&settings, colours, this, &ScrollingReadingView::refreshScrollArguments);
}

ScrollingReadingView::~ScrollingReadingView() = default;

bool ScrollingReadingView::notesStandStill() const
{
    return m_notesMode == NotesMode::standStill && m_content.isNotesMode();
}

int ScrollingReadingView::highlightedCharCount() const
{
    return notesStandStill() ? 0 : m_readCharCount;
}

void ScrollingReadingView::refreshReadCharCount()
{
    m_readCharCount = m_content.wordOffsets().charOffsetForWordProgress(m_content.totalCharCount(),
                                                                        m_timerWordProgress);
}

bool ScrollingReadingView::isReadingFinished() const
{
    if (notesStandStill() || m_content.totalCharCount() < 1)
        return false;
    return highlightedCharCount() >= m_content.totalCharCount();
}

void ScrollingReadingView::setTimerWordProgress(double progress)
{
    if (progress == m_timerWordProgress)
        return;
    m_timerWordProgress = progress;
    refreshReadCharCount();
    m_scrollView->setHighlightedCharCount(highlightedCharCount());
    m_scrollView->setSmoothWordProgress(progress);
    Q_EMIT timerWordProgressChanged();
}

void ScrollingReadingView::scrollStep()
{
    if (notesStandStill() || m_isPaused || m_isUserScrolling || isReadingFinished())
        return;
    setTimerWordProgress(m_timerWordProgress + scrollStepWords);
}

void ScrollingReadingView::setPaused(bool paused)
{
    m_isPaused = paused;
    if (paused)
        m_scrollTimer->stop();
    else if (!m_contentGone)
        m_scrollTimer->start();
    m_scrollView->setListening(!notesStandStill() && !m_isPaused);
}

void ScrollingReadingView::handleWordTap(int charOffset)
{
    setTimerWordProgress(m_content.wordOffsets().wordProgressForCharOffset(charOffset));
}

void ScrollingReadingView::handleManualScroll(bool scrolling, double wordProgress)
{
    m_isUserScrolling = scrolling;
    if (!scrolling) {
        const double words = double(m_content.words().size());
        setTimerWordProgress(std::max(0.0, std::min(wordProgress, words)));
    }
}

void ScrollingReadingView::schedulePageReload()
{
    m_pageReload.start();
}

void ScrollingReadingView::reloadPage()
{
    m_pageReload.stop();
    refreshReadCharCount();
    loadWords();
}

void ScrollingReadingView::loadWords()
{
    // Each page starts the reading area afresh.
    m_scrollView->setWords(m_content.words(), m_content.lineBreaks(), m_content.wordOffsets());
    refreshScrollArguments();
}

void ScrollingReadingView::refreshScrollArguments()
{
    const bool standing = notesStandStill();
    m_scrollView->setScriptFont(::font(m_settings.fontFamilyPreset(),
                                       pointSize(m_settings.fontSizePreset()), QFont::DemiBold));
    refreshScriptColors();
    m_scrollView->setSmoothScroll(!standing);
    m_scrollView->setHighlightedCharCount(highlightedCharCount());
    m_scrollView->setSmoothWordProgress(m_timerWordProgress);
    m_scrollView->setListening(!standing && !m_isPaused);
    m_scrollView->setArrowScrollDelta(m_content.arrowScrollDelta());
}

void ScrollingReadingView::refreshScriptColors()
{
    const CueOpacities cue = cueOpacities(m_settings.cueBrightness());
    m_scrollView->setHighlightColor(m_settings.highlightColor());
    m_scrollView->setCueColor(m_settings.cueColor());
    m_scrollView->setCueOpacities(cue.unread, cue.read);
}
