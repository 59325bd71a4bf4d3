#pragma once

#include "overlay/model/overlaycontent.h"
#include "overlay/model/overlaydocumentservice.h"
#include "platform/activewindow.h"
#include "platform/globalhotkeys.h"
#include "platform/screens.h"

#include <QMap>
#include <QStringList>

// Hot keys that always register and that a test presses by hand.
class FakeGlobalHotKeys : public GlobalHotKeys
{
public:
    bool registerHotKey(int id, int key, Qt::KeyboardModifiers modifiers) override
    {
        m_registered.insert(id, {key, modifiers});
        return true;
    }
    void unregisterHotKey(int id) override { m_registered.remove(id); }
    bool isRegistered(int id) const override { return m_registered.contains(id); }

    QList<int> registeredIds() const { return m_registered.keys(); }
    std::pair<int, Qt::KeyboardModifiers> binding(int id) const { return m_registered.value(id); }
    void press(int id) { Q_EMIT pressed(id); }
    void release(int id) { Q_EMIT released(id); }

private:
    QMap<int, std::pair<int, Qt::KeyboardModifiers>> m_registered;
};

class FakeActiveWindow : public ActiveWindow
{
public:
    WindowId current() const override { return m_current; }
    void activate(WindowId window) override
    {
        m_current = window;
        activations.append(window);
    }

    WindowId m_current = 0;
    QList<WindowId> activations;
};

class FakeScreens : public Screens
{
public:
    QList<ScreenInfo> screens() const override { return m_screens; }
    QPoint cursorPosition() const override { return m_cursor; }
    QString keyWindowScreenName() const override { return m_keyWindowScreen; }

    QList<ScreenInfo> m_screens;
    QPoint m_cursor;
    QString m_keyWindowScreen;
};

// A document of pages that records what the overlay asked of it.
class FakeDocumentService : public OverlayDocumentService
{
public:
    QStringList pages() const override { return m_pages; }
    int currentPageIndex() const override { return m_current; }
    void setCurrentPageIndex(int index) override { m_current = index; }
    void goToNextNonBlankPage() override { calls << u"next"_qs; }
    void goToPage(int index) override { calls << u"goToPage %1"_qs.arg(index); }
    void startReading(int index) override { calls << u"startReading %1"_qs.arg(index); }
    bool hasNonBlankPage(int index) const override { return index + 1 < m_pages.size(); }
    void updateOverlayPageTitles(OverlayContent &content) override
    {
        content.setPageCount(int(m_pages.size()));
    }
    void updatePageIndicator() override { calls << u"indicator"_qs; }

    QStringList m_pages;
    int m_current = 0;
    QStringList calls;
};
