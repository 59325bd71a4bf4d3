#pragma once

#include "platform/captureshield.h"

#include <QHash>
#include <QPointer>
#include <QWindow>

// A window system that can (or cannot) keep windows out of captures; remembers what it was told.
class FakeCaptureShield : public CaptureShield
{
public:
    explicit FakeCaptureShield(bool supported)
        : m_supported(supported)
    {}

    bool isSupported() const override { return m_supported; }
    void setHiddenFromCapture(QWindow *window, bool hidden) const override
    {
        m_hidden[window] = hidden;
    }
    // Whether the window was last set hidden; nullopt when never set.
    std::optional<bool> isHidden(QWindow *window) const
    {
        const auto it = m_hidden.constFind(window);
        return it == m_hidden.cend() ? std::nullopt : std::optional<bool>(*it);
    }

private:
    bool m_supported;
    mutable QHash<QWindow *, bool> m_hidden;
};
