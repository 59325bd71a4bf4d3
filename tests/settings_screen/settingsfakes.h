#pragma once

#include "settings_screen/notchpreviewcontrolling.h"
#include "settings_screen/settingswindow.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

// A preview that records what the screen asked of it.
class FakePreview : public NotchPreviewControlling
{
public:
    void show(NotchSettings &, bool glow, bool forcePinned) override
    {
        calls << (glow || forcePinned ? u"show glow/pinned"_qs : u"show"_qs);
    }
    void applyMode(NotchSettings &) override { calls << u"applyMode"_qs; }
    void hideAll() override { calls << u"hideAll"_qs; }
    void tearDown() override
    {
        calls << u"tearDown"_qs;
        following = false;
    }
    void dismiss() override { calls << u"dismiss"_qs; }
    void startCursorFollow(NotchSettings &) override
    {
        calls << u"startCursorFollow"_qs;
        following = true;
    }
    void stopCursorFollow(std::function<void()> completion) override
    {
        calls << u"stopCursorFollow"_qs;
        following = false;
        pendingCompletion = std::move(completion);
    }
    bool hasOriginalFrame() const override { return following; }
    std::optional<ScreenInfo> screen() const override { return m_screen; }

    QStringList calls;
    std::optional<ScreenInfo> m_screen
        = ScreenInfo{u"screen"_qs, QRect(0, 0, 1280, 800), QRect(0, 24, 1280, 776), 1};
    bool following = false;
    std::function<void()> pendingCompletion;
};

// A main window on a 1280 × 800 screen whose top 24 points a panel takes.
class FakeSettingsWindow : public SettingsWindow
{
public:
    struct Move
    {
        QPoint to;
        Motion motion;
    };

    std::optional<QRect> frame() const override { return m_frame; }
    std::optional<ScreenInfo> screen() const override { return m_screen; }
    void moveTo(const QPoint &topLeft, Motion motion) override
    {
        moves.append({topLeft, motion});
        if (m_frame)
            m_frame->moveTopLeft(topLeft);
    }

    std::optional<QRect> m_frame = QRect(290, 100, 700, 400);
    std::optional<ScreenInfo> m_screen
        = ScreenInfo{u"screen"_qs, QRect(0, 0, 1280, 800), QRect(0, 24, 1280, 776), 1};
    QList<Move> moves;
};
