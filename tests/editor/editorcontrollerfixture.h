#pragma once

// An editor controller over a real service with a fake overlay and dialogs, as the editor's
// model tests drive it.

#include "common/appfakes.h"
#include "document/brivelservice.h"
#include "document/reviewsessioncounter.h"
#include "editor/model/editorcontroller.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

using namespace Qt::StringLiterals;

namespace EditorTest {

enum class SessionEnd { toggled, settingsOpened, closedInOverlay };
enum class Restructuring { deleteEarlier, deleteEdited, moveToTop, replaceDocument };

struct Fixture
{
    explicit Fixture(const QStringList &pages = {u"uno"_s}, const QStringList &titles = {},
                     int current = 0)
    {
        store.setValue(u"hasCompletedOnboarding"_s, true);
        service.setPages(pages);
        service.setPageTitles(titles);
        service.setCurrentPageIndex(current);
        service.hideMainWindowsHandler = [this] { ++hideCount; };
        editor = std::make_unique<EditorController>(service, settings, store, counter);
    }

    // After the deferred hiding has run.
    int hidden()
    {
        QCoreApplication::processEvents();
        return hideCount;
    }

    InMemoryKeyValueStore store;
    FakeCaptureShield shield{false};
    NotchSettings settings{store, shield, u"es"_s};
    FakeReadingOverlay overlay;
    FakeDialogs dialogs;
    QTemporaryDir directory;
    BrivelService service{settings, overlay, dialogs, directory.path()};
    std::chrono::steady_clock::time_point now{};
    ReviewSessionCounter counter{store, [this] { return now; }};
    std::unique_ptr<EditorController> editor;
    int hideCount = 0;
};

} // namespace EditorTest

using namespace EditorTest;
