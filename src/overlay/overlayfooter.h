#pragma once

#include <QWidget>

class CircleGlyphButton;
class NotchSettings;
class OverlayContent;
class PageTabStrip;
class PageTitleToggle;
class SpeechRecognizer;

// The row of page controls under the text of the pinned and the floating panel: the page title
// or the page tabs, previous, next or restart, play/pause and back to the list. The two panels
// place it with their own paddings; the cursor's panel keeps only the page indicator.
//
// Its buttons write requests into the window's content model and voice follower; pausing is the
// view's business, so play/pause only reports its click.
class OverlayFooter : public QWidget
{
    Q_OBJECT

public:
    static constexpr double rowHeight = 24;
    static constexpr double spacing = 8;

    enum class Controls { all, pageIndicatorOnly };

    struct Padding
    {
        double sides = 0;
        double bottom = 0; // inside the footer's height
    };

    OverlayFooter(OverlayContent &content, SpeechRecognizer &recognizer, NotchSettings &settings,
                  Padding padding, Controls controls, QWidget *parent);

    // Follows the page and the page-number setting from here on. The view calls it once what
    // must see a change before the footer does is connected.
    void connectModels();
    void refresh();
    // The play/pause face: "play.fill" while paused.
    void setPaused(bool paused);

Q_SIGNALS:
    void playPauseClicked();

private:
    void backToList();

    OverlayContent &m_content;
    SpeechRecognizer &m_recognizer;
    NotchSettings &m_settings;
    const Controls m_controls = Controls::all;
    bool m_paused = false;

    PageTitleToggle *m_titleToggle = nullptr;
    PageTabStrip *m_tabStrip = nullptr;
    CircleGlyphButton *m_previousButton = nullptr;
    CircleGlyphButton *m_nextButton = nullptr;
    CircleGlyphButton *m_restartButton = nullptr;
    CircleGlyphButton *m_playPauseButton = nullptr;
    CircleGlyphButton *m_backButton = nullptr;
};
