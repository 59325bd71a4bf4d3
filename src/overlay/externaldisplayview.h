#pragma once

#include "overlay/scrollingreadingview.h"

class AnimatedValue;
class AudioWaveformProgressView;
class ElapsedTimeView;
class SpeechRecognizer;

// The view of the fullscreen panel: one page on a black screen, large enough to read from a
// distance, that advances by itself at three words a second. The bottom bar shows the voice
// follower's levels and how far the page has been read. Once the page is read to its end a
// finished screen takes its place and offers the next page.
//
// Like the other overlay views it never calls the controller: it writes requests into the
// window's voice follower, which the controller's poll acts on.
class ExternalDisplayView : public ScrollingReadingView
{
    Q_OBJECT

public:
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

    // The page has text and all of it has been read. An empty page never finishes.
    bool isFinished() const { return m_isFinished; }
    // The share of the page read, as the level bars show it.
    double levelProgress() const;
    // 0 while reading, 1 once the finished screen has fully replaced the text.
    double finishedPresence() const;

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
    void loadWords() override;
    void refreshScrollArguments() override;
    void refreshElapsedTime();
    void refreshProgress();
    void presenceChanged();

    SpeechRecognizer &m_recognizer;
    bool m_isFinished = false;
    AnimatedValue *const m_finishedPresence;

    QWidget *m_readingLayer = nullptr;
    AudioWaveformProgressView *m_waveform = nullptr;
    FinishedScreen *m_finishedScreen = nullptr;
    ElapsedTimeView *m_elapsedTime = nullptr;
    GlowBorder *m_glow = nullptr;
};
