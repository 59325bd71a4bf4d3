#pragma once

#include <QTimer>
#include <QWidget>

class AnimatedValue;
class AudioWaveformProgressView;
class ElapsedTimeView;
class NotchSettings;
class OverlayContent;
class SpeechRecognizer;
class SpeechScrollView;

// The view of the fullscreen panel: one page on a black screen, large enough to read from a
// distance, that advances by itself at three words a second. The bottom bar shows the voice
// follower's levels and how far the page has been read. Once the page is read to its end a
// finished screen takes its place and offers the next page.
//
// Like the other overlay views it never calls the controller: it writes requests into the
// window's voice follower, which the controller's poll acts on.
class ExternalDisplayView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int scrollIntervalMs = 50;
    // Three words a second at one step every 0.05 s.
    static constexpr double scrollStepWords = 3 * 0.05;
    static constexpr double minimumFontSize = 48;
    static constexpr double maximumFontSize = 96;
    static constexpr double minimumSideMargin = 40;

    ExternalDisplayView(OverlayContent &content, SpeechRecognizer &recognizer,
                        NotchSettings &settings, QWidget *parent = nullptr);
    ~ExternalDisplayView() override;

    // The script's size and the margin beside it on a view of that width.
    static double fontSizeForWidth(double width);
    static double sideMarginForWidth(double width);
    double fontSize() const { return fontSizeForWidth(width()); }
    double sideMargin() const { return sideMarginForWidth(width()); }

    // The fractional word index reached by the scroll timer, a word tap or a manual scroll.
    double timerWordProgress() const { return m_timerWordProgress; }
    bool isUserScrolling() const { return m_isUserScrolling; }
    // Characters read up to timerWordProgress.
    int highlightedCharCount() const { return m_readCharCount; }
    // The page has text and all of it has been read. An empty page never finishes.
    bool isFinished() const { return m_isFinished; }
    // The share of the page read, as the level bars show it.
    double levelProgress() const;
    // 0 while reading, 1 once the finished screen has fully replaced the text.
    double finishedPresence() const;

    // One tick of the scroll timer.
    void scrollStep();
    void handleWordTap(int charOffset);
    void handleManualScroll(bool scrolling, double wordProgress);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    class DoneBadge;
    class FinishedScreen;
    class GlowBorder;
    class NextPageButton;

    void connectModels();
    void layoutContent();
    void reloadPage();
    void refreshScrollArguments();
    void refreshElapsedTime();
    void setTimerWordProgress(double progress);
    void refreshProgress();
    void presenceChanged();

    OverlayContent &m_content;
    SpeechRecognizer &m_recognizer;
    NotchSettings &m_settings;

    double m_timerWordProgress = 0;
    bool m_isUserScrolling = false;
    // Derived from the progress once per change of it, not once per use.
    int m_readCharCount = 0;
    bool m_isFinished = false;
    QTimer m_scrollTimer;
    // Page fields arrive one by one; the reading area is reset once they have all landed.
    QTimer m_pageReload;
    AnimatedValue *const m_finishedPresence;

    QWidget *m_readingLayer = nullptr;
    SpeechScrollView *m_scrollView = nullptr;
    AudioWaveformProgressView *m_waveform = nullptr;
    FinishedScreen *m_finishedScreen = nullptr;
    ElapsedTimeView *m_elapsedTime = nullptr;
    GlowBorder *m_glow = nullptr;
};
