#pragma once

#include "platform/windowdrag.h"

#include <QPainterPath>
#include <QWidget>

#include <functional>

class QScreen;

// A borderless overlay window: above all others, on every desktop, shown without taking the
// keyboard. It holds one content view that fills it. Without a compositor nothing of a window
// can be see-through, so a panel whose outline is not its rectangle is cut to that outline.
class OverlayPanel : public QWidget
{
    Q_OBJECT

public:
    enum Option {
        NoOption = 0,
        // Takes the keyboard as it shows: the full screen, which covers every other window.
        TakesKeyboard = 1,
        // Clicks pass through to the window beneath, through an empty input shape.
        TransparentForInput = 2,
        // The reader moves it by its background and resizes it from the bottom-right corner.
        MovableAndResizable = 4,
        // Shown without the keyboard, it takes it when clicked, so its key handling works.
        TakesKeyboardWhenClicked = 8,
    };
    Q_DECLARE_FLAGS(Options, Option)

    explicit OverlayPanel(QWidget *content, Options options = NoOption, QWidget *parent = nullptr);

    QWidget *content() const { return m_content; }

    // The outline in the panel's coordinates, asked again whenever refreshShape() is called.
    void setShape(std::function<QPainterPath()> shape);
    void refreshShape();

    // Shows the panel without activating the application, unless it takes the keyboard.
    void orderFront();
    bool takesKeyboardWhenShown() const { return m_options.testFlag(TakesKeyboard); }

    // Switches at run time between letting clicks through to the window beneath and being
    // moved by its background (resizable too when built MovableAndResizable).
    void setClickThrough(bool clickThrough);
    bool isClickThrough() const;

    // The corner that resizes a movable panel.
    static constexpr int resizeCornerSize = 18;

    void setVisible(bool visible) override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followScreen(QScreen *screen);
    void reapplyShape();

    void takeKeyboardOnClick();

    Options m_options;
    QWidget *m_content = nullptr;
    std::function<QPainterPath()> m_shape;
    QMetaObject::Connection m_screenScale;
    WindowDrag m_drag;
    bool m_movable = false;
    bool m_resizable = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(OverlayPanel::Options)
