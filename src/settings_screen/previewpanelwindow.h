#pragma once

#include "overlay/overlaypanel.h"
#include "settings_screen/notchpreviewcontent.h"

#include <QPointer>
#include <QRect>

#include <functional>
#include <memory>

class QVariantAnimation;

// One preview window as its controller sees it. The real one is an overlay panel holding a
// NotchPreviewContent; tests give their own.
class PreviewPanelWindow
{
public:
    virtual ~PreviewPanelWindow();

    virtual QRect frame() const = 0;
    // At once, stopping a move under way.
    virtual void setFrame(const QRect &frame) = 0;
    // Moves without a repaint: what the pointer follow does many times a second.
    virtual void moveTo(const QPoint &topLeft) = 0;
    // Moves and resizes to `target` over `milliseconds` with ease-in-out. `arrived` runs once
    // when the window gets there, never after stopAnimation() or setFrame().
    virtual void animateFrame(const QRect &target, int milliseconds, std::function<void()> arrived)
        = 0;
    virtual void stopAnimation() = 0;
    virtual bool isAnimating() const = 0;

    // Shows it without taking the keyboard; hides it, keeping it.
    virtual void orderFront() = 0;
    virtual void orderOut() = 0;
    virtual bool isShown() const = 0;

    // Clicks pass through to the window beneath, or the window takes them and is moved by its
    // background.
    virtual void setInteractive(bool interactive) = 0;
    virtual bool isInteractive() const = 0;

    // The mock it shows; none in tests that need no view.
    virtual NotchPreviewContent *content() const = 0;
};

// The real preview window: a borderless overlay panel, cut to the mock's outline.
class OverlayPreviewWindow : public PreviewPanelWindow
{
public:
    OverlayPreviewWindow(NotchPreviewContent::Options options, const QRect &frame,
                         bool interactive);
    ~OverlayPreviewWindow() override;

    QRect frame() const override;
    void setFrame(const QRect &frame) override;
    void moveTo(const QPoint &topLeft) override;
    void animateFrame(const QRect &target, int milliseconds,
                      std::function<void()> arrived) override;
    void stopAnimation() override;
    bool isAnimating() const override;
    void orderFront() override;
    void orderOut() override;
    bool isShown() const override;
    void setInteractive(bool interactive) override;
    bool isInteractive() const override;
    NotchPreviewContent *content() const override { return m_content; }

    OverlayPanel *panel() const { return m_panel; }

private:
    QPointer<OverlayPanel> m_panel;
    QPointer<NotchPreviewContent> m_content;
    QPointer<QVariantAnimation> m_animation;
};
