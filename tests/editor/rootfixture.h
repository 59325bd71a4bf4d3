#pragma once

#include "common/appfakes.h"
#include "document/reviewsessioncounter.h"
#include "editor/contentview.h"
#include "editor/editorpane.h"
#include "editor/editortoolbar.h"
#include "editor/model/editorcontroller.h"
#include "editor/pagessidebar.h"

#include <QMainWindow>
#include <QMenuBar>

// The window root in a main window with a menu bar, as the application shows it.
struct RootFixture : ServiceFixture
{
    explicit RootFixture(bool onboardingDone, bool tourDone = true)
        : controller(serviceWithFlags(onboardingDone, tourDone), settings, store, counter)
    {
        service.setPages({QStringLiteral("one"), QStringLiteral("two")});
        service.setPageTitles({QStringLiteral("Intro"), QString()});
        window.menuBar()->addMenu(QStringLiteral("Brivel"));
        window.setCentralWidget(view);
        window.show();
    }

    // The flags are read when the controller is made.
    BrivelService &serviceWithFlags(bool onboardingDone, bool tourDone)
    {
        store.setValue(QStringLiteral("hasCompletedOnboarding"), onboardingDone);
        store.setValue(QStringLiteral("hasCompletedCoachMarks"), tourDone);
        return service;
    }

    EditorToolbar *toolbar() const { return view->findChild<EditorToolbar *>(); }
    EditorPane *pane() const { return view->findChild<EditorPane *>(); }
    PagesSidebar *sidebar() const { return view->findChild<PagesSidebar *>(); }

    ReviewSessionCounter counter{store};
    EditorController controller;
    QMainWindow window;
    ContentView *view = new ContentView(controller, service, dialogs);
};
