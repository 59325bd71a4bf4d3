#pragma once

#include "overlay/scrollingreadingview.h"

#include <QPainterPath>
#include <QPointer>

#include <functional>

class VisibilityToastLayer;
class AnimatedValue;
class CursorKeyHintFooter;
class ElapsedTimeView;
class EyeButton;
class FloatingPageList;
class NotchSettings;
class OverlayContent;
class OverlayFooter;
class QVBoxLayout;
class RoundIconButton;
class SpeechRecognizer;

// The view of the floating windows and of the panel that follows the mouse: a rounded panel
// that shows the page being read with its footer, the page list, or, collapsed, a small bar at
// its top. The eye toggle and the window buttons lie over the content. It grows in when shown
// and shrinks away when its voice follower is asked to dismiss.
//
// Its controls never call the controller: they write requests into the window's content model
// and voice follower, which the controller's (or the duplicate window's) poll acts on.
class FloatingOverlayView : public ScrollingReadingView
{
    Q_OBJECT

public:
    enum class ContentState { collapsedBar, pageList, reading };

    static constexpr double cornerRadius = 16;

    // `followingCursor` makes it the cursor mode's panel: no window buttons, no navigation and
    // no resize grip, but key hints. `onDuplicate` opens a duplicate window; without it the
    // duplicate button never shows.
    FloatingOverlayView(OverlayContent &content, SpeechRecognizer &recognizer,
                        NotchSettings &settings, bool followingCursor,
                        std::function<void()> onDuplicate, QWidget *parent = nullptr);
    ~FloatingOverlayView() override;

    // The page list wins over the collapsed bar.
    static ContentState contentState(const OverlayContent &content);
    ContentState contentState() const;
    bool showsCollapsedBar() const { return contentState() == ContentState::collapsedBar; }
    bool isFollowingCursor() const { return m_followingCursor; }

    // Whether the view is shown or on its way in (false once dismissed), and how far in it is:
    // 0 transparent at 90 % of its size, 1 opaque at full size.
    bool hasAppeared() const { return m_appeared; }
    double presence() const;

    using ScrollingReadingView::isPaused;
    using ScrollingReadingView::isReadingFinished;
    bool isToastPresented() const;
    // Presence of the border that shows the panel is hidden from capture.
    double borderOpacity() const;

    // The panel's outline as drawn now, in this view's coordinates: the rounded panel, or the
    // collapsed bar's capsule. The panel cuts itself to it.
    QPainterPath outlinePath() const;

    // The eye button's action: flips hiding from screen capture; the toast confirms a panel
    // that is now hidden for real.
    void toggleInvisibility();
    void togglePause();

Q_SIGNALS:
    void outlineChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    class CollapsedBar;
    class Ornaments;
    class TransitionLayer;

    void buildTopControls();
    void buildReadingView();
    void buildCollapsedBar();
    void connectModels();

    void appear();
    void disappear();
    void refreshState();
    void refreshTopControls();
    void refreshReadingInsets();
    void refreshBorder();
    void loadWords() override;
    void refreshScrollArguments() override;
    void layoutContent();

    struct Shape
    {
        QRectF rect;
        double radius = 0;
    };
    // The panel's shape at full size: the rounded panel, or the collapsed bar's capsule.
    Shape panelShape() const;

    // The view as it looks now, without the transition layer.
    QPixmap picture();
    void beginCrossfade();
    void presenceChanged();
    void refreshTransition();
    double scale() const;
    void paintBackground(QPainter &painter) const;

    SpeechRecognizer &m_recognizer;
    const bool m_followingCursor = false;
    const std::function<void()> m_onDuplicate;

    bool m_appeared = false;
    AnimatedValue *const m_presence;
    AnimatedValue *const m_borderOpacity;
    // How much of the view as it was before a change still shows over the new one.
    AnimatedValue *const m_crossfade;
    bool m_wasCollapsedBar = false;
    bool m_takingPicture = false;

    QWidget *m_readingView = nullptr;
    QVBoxLayout *m_readingLayout = nullptr;
    OverlayFooter *m_footer = nullptr;
    QPointer<FloatingPageList> m_pageList;
    CollapsedBar *m_collapsedBar = nullptr;
    EyeButton *m_eyeButton = nullptr;
    QWidget *m_topTrailing = nullptr;
    ElapsedTimeView *m_elapsedTime = nullptr;
    RoundIconButton *m_duplicateButton = nullptr;
    RoundIconButton *m_minimizeButton = nullptr;
    RoundIconButton *m_closeButton = nullptr;
    VisibilityToastLayer *m_toastLayer = nullptr;
    CursorKeyHintFooter *m_readingHints = nullptr;
    CursorKeyHintFooter *m_listHints = nullptr;
    Ornaments *m_ornaments = nullptr;
    TransitionLayer *m_transition = nullptr;
};
