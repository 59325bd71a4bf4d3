#pragma once

#include "settings/tokenizer.h"

#include <QTimer>
#include <QWidget>

class NotchSettings;
class OverlayContent;
class SpeechScrollView;

// The base of the overlay views that read a page of text from outside as it advances by itself.
// It owns the reading area, which each view places in its own layout, and the reading position:
// the scroll timer's fractional word index, moved on by every tick and set by a word tap or the
// end of a manual scroll. Page fields arrive one by one, so a page is reloaded once they have
// all landed.
class ScrollingReadingView : public QWidget
{
    Q_OBJECT

public:
    // Three words a second: 0.15 word every 0.05 s.
    static constexpr int scrollIntervalMs = 50;
    static constexpr double scrollStepWords = 3 * 0.05;

    ~ScrollingReadingView() override;

    // The fractional word index reached by the scroll timer, a word tap or a manual scroll.
    double timerWordProgress() const { return m_timerWordProgress; }
    bool isUserScrolling() const { return m_isUserScrolling; }
    // Characters counted as read: those up to timerWordProgress, none while notes stand still.
    int highlightedCharCount() const;

    // One tick of the scroll timer.
    void scrollStep();
    void handleWordTap(int charOffset);
    void handleManualScroll(bool scrolling, double wordProgress);

Q_SIGNALS:
    void timerWordProgressChanged();

protected:
    // Whether a page in notes mode stands still with none of it read, as in the panels, or
    // glides on like any other, as on the full screen.
    enum class NotesMode { standStill, glide };

    ScrollingReadingView(OverlayContent &content, NotchSettings &settings, NotesMode notesMode,
                         QWidget *parent);

    bool isPaused() const { return m_isPaused; }
    void setPaused(bool paused);
    bool isReadingFinished() const;
    void setTimerWordProgress(double progress);

    void schedulePageReload();
    void reloadPage();
    // Puts the reloaded page into the reading area.
    virtual void loadWords();
    virtual void refreshScrollArguments();
    void refreshScriptColors();

    OverlayContent &m_content;
    NotchSettings &m_settings;
    SpeechScrollView *const m_scrollView;

private:
    bool notesStandStill() const;
    void refreshReadCharCount();

    const NotesMode m_notesMode = NotesMode::standStill;
    double m_timerWordProgress = 0;
    // Characters up to timerWordProgress, counted once per change of it.
    int m_readCharCount = 0;
    bool m_isPaused = false;
    bool m_contentGone = false;
    bool m_isUserScrolling = false;
    // Runs only while the view is not paused: a paused panel wakes nobody.
    QTimer *const m_scrollTimer;
    QTimer m_pageReload;
};
