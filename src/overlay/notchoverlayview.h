#pragma once

#include "overlay/scrollingreadingview.h"

#include <QPainterPath>
#include <QPointer>

class VisibilityToastLayer;
class AnimatedValue;
class ElapsedTimeView;
class EyeButton;
class NotchFrameTracker;
class NotchSettings;
class OverlayContent;
class OverlayFooter;
class PagePickerView;
class QLabel;
class RoundIconButton;
class SpeechRecognizer;

// The view of the pinned panel: the black outline that hangs from the top edge of the display
// and shows the page being read. It grows out of a notch-sized shape when it appears and
// shrinks back into it when the reading is dismissed. It fills its panel, whose size it drives
// through the frame tracker as the reader collapses, minimises or opens the page picker.
//
// Its controls never call the controller: they write requests into the window's content model
// and voice follower, which the controller's poll acts on.
class NotchOverlayView : public ScrollingReadingView
{
    Q_OBJECT

public:
    enum class DisplayState { mini, collapsedBar, pagePicker, expanded };

    static constexpr double topInset = 16;      // the outline's top inset when fully open
    static constexpr double collapsedInset = 8; // and at the notch's size
    static constexpr double notchHeight = 37;   // the outline's size at expansion 0
    static constexpr double notchWidth = 200;

    NotchOverlayView(OverlayContent &content, SpeechRecognizer &recognizer, NotchSettings &settings,
                     double menuBarHeight, double baseTextHeight, NotchFrameTracker &frameTracker,
                     QWidget *parent = nullptr);
    ~NotchOverlayView() override;

    static DisplayState displayState(const OverlayContent &content);
    DisplayState displayState() const;
    // The full-size outline of a state; the wide states take the view's width.
    QSizeF targetSize(DisplayState state) const;

    // 0 while drawn at the notch's size, 1 at the full size of the current state.
    double expansion() const;
    bool isContentVisible() const { return m_contentVisible; }
    using ScrollingReadingView::isPaused;
    using ScrollingReadingView::isReadingFinished;
    // Whether the visibility toast is on its way in or shown.
    bool isToastPresented() const;
    // Presence of the invisibility glow: 1 while the expanded panel is hidden from capture.
    double glowOpacity() const;

    // The outline as drawn now, in this view's coordinates. The panel cuts itself to it.
    QPainterPath outlinePath() const;

    // The eye button's action: flips hiding from screen capture; the toast confirms a panel
    // that is now hidden for real.
    void toggleInvisibility();
    // Pushes the current state's size to the frame tracker, height first.
    void syncFrameTrackerSize();
    void togglePause();
    // A tap on the collapsed bar: out of the mini form, picker open.
    void openPickerFromCollapsedBar();

Q_SIGNALS:
    void outlineChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    class CollapsedBar;
    class ContentVeil;

    static constexpr double roundButtonSide = 20;
    static constexpr double roundButtonSymbol = 9;
    static constexpr double barPadding = 12;

    void buildTopBar();
    void buildWordsArea();
    void connectModels();

    void appear();
    void dismiss();
    void setContentVisible(bool visible);
    void stateFlagChanged();
    void refreshSections();
    void refreshTopBar();
    void refreshGlow();
    void loadWords() override;
    void beginCrossfade();
    void refreshVeil();

    double targetWidth() const;
    double pickerHeight() const;
    QRectF outlineRect() const;
    double currentInset() const;
    QRect columnRect() const;
    void geometryChanged();
    void layoutContent();
    void paintPanel(QPainter &painter) const;

    SpeechRecognizer &m_recognizer;
    const double m_menuBarHeight = 0;
    const double m_baseTextHeight = 0;
    NotchFrameTracker &m_frameTracker;

    AnimatedValue *const m_expansion;
    // The current state's full height, eased between states.
    AnimatedValue *const m_targetHeight;
    // 1 in the mini form, whose width is fixed, 0 in the states as wide as the panel.
    AnimatedValue *const m_miniBlend;
    AnimatedValue *const m_glowOpacity;
    AnimatedValue *const m_contentOpacity;
    // How much of the content as it was before a change still shows over the new one.
    AnimatedValue *const m_crossfade;
    bool m_appeared = false;
    bool m_dismissing = false;
    bool m_contentVisible = false;

    QWidget *m_column = nullptr;
    QWidget *m_topBar = nullptr;
    EyeButton *m_eyeButton = nullptr;
    ElapsedTimeView *m_elapsedTime = nullptr;
    RoundIconButton *m_minimizeButton = nullptr;
    RoundIconButton *m_closeButton = nullptr;
    CollapsedBar *m_collapsedBar = nullptr;
    QPointer<PagePickerView> m_picker;
    QWidget *m_wordsArea = nullptr;
    QLabel *m_emptyPlaceholder = nullptr;
    OverlayFooter *m_footer = nullptr;
    ContentVeil *m_veil = nullptr;
    VisibilityToastLayer *m_toastLayer = nullptr;
};
