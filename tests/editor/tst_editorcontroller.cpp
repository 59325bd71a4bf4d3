#include "editor/model/editorcontroller.h"

#include "common/appfakes.h"
#include "common/files.h"
#include "common/limitdocuments.h"
#include "document/reviewsessioncounter.h"
#include "document/savedata.h"
#include "settings/localization.h"

#include <QFile>
#include <QTest>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

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

} // namespace

class TestEditorController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { NotchSettings::shared().setAppLanguage(u"es"_s); }

    void startsAtTheCurrentOrFirstNonBlankPage_data()
    {
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<int>("current");
        QTest::addColumn<OverlayMode>("mode");
        QTest::addColumn<int>("expected");
        QTest::newRow("current holds text")
            << QStringList{u"a"_s, u"b"_s} << 1 << OverlayMode::pinned << 1;
        QTest::newRow("current blank, later text")
            << QStringList{u""_s, u" \n\t"_s, u"c"_s} << 0 << OverlayMode::floating << 2;
        QTest::newRow("current blank, earlier text")
            << QStringList{u"a"_s, u"  "_s} << 1 << OverlayMode::fullscreen << 0;
        QTest::newRow("cursor mode") << QStringList{u"a"_s} << 0 << OverlayMode::cursor << 0;
    }

    void startsAtTheCurrentOrFirstNonBlankPage()
    {
        QFETCH(QStringList, pages);
        QFETCH(int, current);
        QFETCH(OverlayMode, mode);
        Fixture f(pages, {}, current);
        f.settings.setOverlayMode(mode);
        f.service.setReadPages({0});
        f.editor->setIsTextFocused(true);
        f.editor->handleToggleTeleprompter();
        QCOMPARE(f.overlay.calls.value(0), u"show"_s);
        QTEST(f.service.currentPageIndex(), "expected");
        QCOMPARE(f.overlay.lastLoad.text, pages.at(f.service.currentPageIndex()));
        const OverlayContent &content = f.overlay.overlayContent();
        // The cursor and fullscreen views draw no picker.
        QCOMPARE(content.showPagePicker(),
                 mode != OverlayMode::cursor && mode != OverlayMode::fullscreen);
        if (content.showPagePicker())
            QCOMPARE(content.highlightedPickerIndex(), f.service.currentPageIndex());
        QVERIFY(f.service.readPages().isEmpty());
        QVERIFY(f.editor->isRunning());
        QVERIFY(!f.editor->isTextFocused());
        QVERIFY(f.counter.sessionStart());
        QCOMPARE(f.hidden(), 1);
    }

    void onlyBlankPagesStartNothing()
    {
        Fixture f({u""_s, u" \n "_s});
        QVERIFY(!f.editor->canStartTeleprompter());
        f.editor->handleToggleTeleprompter();
        f.editor->startTeleprompter();
        QVERIFY(f.overlay.calls.isEmpty());
        QVERIFY(!f.editor->isRunning());
        QVERIFY(!f.counter.sessionStart());
        QCOMPARE(f.hidden(), 0);
    }

    void sessionEndClearsStateAndCountsOnce_data()
    {
        QTest::addColumn<SessionEnd>("end");
        QTest::newRow("toggled off") << SessionEnd::toggled;
        QTest::newRow("settings opened") << SessionEnd::settingsOpened;
        QTest::newRow("closed in the overlay") << SessionEnd::closedInOverlay;
    }

    void sessionEndClearsStateAndCountsOnce()
    {
        QFETCH(SessionEnd, end);
        Fixture f({u"a"_s, u"b"_s});
        f.editor->handleToggleTeleprompter();
        f.service.setReadPages({0, 1});
        f.now += 25s;
        if (end == SessionEnd::toggled)
            f.editor->handleToggleTeleprompter();
        else if (end == SessionEnd::settingsOpened)
            f.editor->openSettings();
        if (end != SessionEnd::closedInOverlay) {
            QCOMPARE(f.overlay.calls.last(), u"dismiss"_s);
            QCOMPARE(f.editor->isRunning(), end != SessionEnd::toggled);
            QCOMPARE(f.counter.completedSessions(), 0);
        }
        f.overlay.complete();
        QVERIFY(!f.editor->isRunning());
        QVERIFY(f.service.readPages().isEmpty());
        QCOMPARE(f.counter.completedSessions(), 1);
    }

    void onboardingHidesTheEditorUntilCompleted()
    {
        Fixture f;
        f.store.remove(u"hasCompletedOnboarding"_s);
        f.editor = std::make_unique<EditorController>(f.service, f.settings, f.store, f.counter);
        QVERIFY(f.editor->showOnboarding());
        f.editor->openSettings();
        f.editor->openAbout();
        f.editor->handleToggleTeleprompter();
        QVERIFY(!f.editor->showSettings() && !f.editor->showAbout() && f.overlay.calls.isEmpty());

        f.editor->onboardingCompleted();
        QVERIFY(!f.editor->showOnboarding());
        QCOMPARE(f.store.boolValue(u"hasCompletedOnboarding"_s), true);
        QCOMPARE(f.editor->coachMarkStep(), 0);
        QTRY_COMPARE(f.editor->coachMarkStep(), 1);
        f.editor->openSettings();
        QVERIFY(f.editor->showSettings());
    }

    // The last button stores the tour and starts one session 0.3 s later; a new launch shows no
    // tour, and a script of blank pages stores it without reading.
    void finishingTheTourStoresItAndStartsReadingOnce()
    {
        for (const bool blank : {false, true}) {
            Fixture f({blank ? u" "_s : u"uno"_s});
            f.store.remove(u"hasCompletedCoachMarks"_s);
            f.editor->finishCoachMarks();
            QVERIFY(!f.store.contains(u"hasCompletedCoachMarks"_s)); // no tour showing
            f.editor->initialSetup();
            f.editor->initialSetup();
            QTRY_COMPARE(f.editor->coachMarkStep(), 1);
            f.editor->setCoachMarkStep(3);
            f.editor->finishCoachMarks();
            f.editor->finishCoachMarks();
            QCOMPARE(f.editor->coachMarkStep(), 0);
            QCOMPARE(f.store.boolValue(u"hasCompletedCoachMarks"_s), true);
            QTest::qWait(EditorController::coachMarksReadingDelayMs / 2);
            QVERIFY(f.overlay.calls.isEmpty());
            QTest::qWait(EditorController::coachMarksReadingDelayMs);
            QCOMPARE(f.overlay.calls.count(u"show"_s), blank ? 0 : 1);
            QCOMPARE(f.editor->isRunning(), !blank);

            EditorController relaunched(f.service, f.settings, f.store, f.counter);
            relaunched.initialSetup();
            QTest::qWait(EditorController::coachMarksDelayMs + 100);
            QCOMPARE(relaunched.coachMarkStep(), 0);
        }
    }

    void sampleFillsOnlyAnUntouchedDocument_data()
    {
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<bool>("fromAutosave");
        QTest::addColumn<bool>("filled");
        QTest::newRow("one empty page") << QStringList{u""_s} << false << true;
        QTest::newRow("one page of spaces") << QStringList{u"  "_s} << false << false;
        QTest::newRow("two empty pages") << QStringList{u""_s, u""_s} << false << false;
        QTest::newRow("empty page from the autosave") << QStringList{u""_s} << true << false;
    }

    void sampleFillsOnlyAnUntouchedDocument()
    {
        QFETCH(QStringList, pages);
        QFETCH(bool, fromAutosave);
        QFETCH(bool, filled);
        Fixture f(pages);
        if (fromAutosave) {
            TestSupport::writeFile(f.service.autosaveFilePath(), SaveData::encode(pages, {}));
            f.service.loadAutosave();
            QVERIFY(f.service.dataWasLoaded());
        }
        f.editor->initialSetup();
        if (!filled) {
            QCOMPARE(f.service.pages(), pages);
            return;
        }
        QCOMPARE(f.service.pageTitles(),
                 (QStringList{u"Bienvenido a Brivel"_s, u"Puntos clave"_s}));
        const QStringList texts = f.service.pages();
        QCOMPARE(texts.size(), 2);
        QCOMPARE(texts.at(0).count(u"\n\n"_s), 5);
        // X11 cannot keep panels out of a screen share, so the page does not promise it.
        QVERIFY(!texts.at(0).contains(u"compartís pantalla"_s));
        QVERIFY(texts.at(0).contains(u"por encima de las demás ventanas"_s));
        QVERIFY(texts.at(0).endsWith(u"Mucha suerte. [Saludo]"_s));
        QVERIFY(texts.at(0).contains(u"la cámara de tu computadora, para que"_s));
        QCOMPARE(texts.at(1).toUtf8().size(), 352);
        QCOMPARE(texts.at(1).count(u"\n• "_s), 6);

        NotchSettings::shared().setAppLanguage(u"en"_s);
        const QList<EditorController::SamplePage> english = EditorController::sampleContent();
        NotchSettings::shared().setAppLanguage(u"es"_s);
        QCOMPARE(english.at(1).title, u"Key points"_s);
        QVERIFY(english.at(0).text.contains(u"[Pause]"_s));
        QVERIFY(english.at(0).text.contains(u"right below your camera"_s));
        QVERIFY(english.at(0).text.contains(u"above every other window"_s));
        QVERIFY(!english.at(0).text.contains(u"share your screen"_s));
    }

    void externalLaunchHidesInsteadOfFocusing()
    {
        Fixture f;
        f.service.showExternalText(u"desde afuera"_s);
        const int hiddenBySession = f.hidden();
        f.editor->initialSetup();
        QVERIFY(f.editor->isRunning());
        QVERIFY(!f.editor->isTextFocused());
        QCOMPARE(f.hidden(), hiddenBySession + 1);

        f.overlay.complete();
        f.editor->syncRunningState();
        QVERIFY(!f.editor->isRunning());
        f.service.setLaunchedExternally(false);
        f.editor->initialSetup();
        QVERIFY(f.editor->isTextFocused());
        QCOMPARE(f.hidden(), hiddenBySession + 1);
    }

    void deleteAfterConfirmation_data()
    {
        QTest::addColumn<int>("pageCount");
        QTest::addColumn<int>("titleCount");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QString>("currentAfter");
        QTest::addColumn<QStringList>("titlesAfter");
        QTest::newRow("earlier page")
            << 3 << 3 << 2 << 0 << u"p2"_s << QStringList{u"t1"_s, u"t2"_s};
        QTest::newRow("last, current")
            << 3 << 3 << 2 << 2 << u"p1"_s << QStringList{u"t0"_s, u"t1"_s};
        QTest::newRow("current, not last")
            << 3 << 3 << 1 << 1 << u"p2"_s << QStringList{u"t0"_s, u"t2"_s};
        QTest::newRow("page without a title")
            << 4 << 2 << 0 << 3 << u"p0"_s << QStringList{u"t0"_s, u"t1"_s};
        QTest::newRow("page with a title, list short")
            << 4 << 2 << 0 << 1 << u"p0"_s << QStringList{u"t0"_s};
    }

    void deleteAfterConfirmation()
    {
        QFETCH(int, pageCount);
        QFETCH(int, titleCount);
        QFETCH(int, current);
        QFETCH(int, deleted);
        QStringList pages;
        QStringList titles;
        for (int i = 0; i < pageCount; ++i) {
            pages << u"p%1"_s.arg(i);
            if (i < titleCount)
                titles << u"t%1"_s.arg(i);
        }
        Fixture f(pages, titles, current);
        f.editor->requestDeletePage(deleted);
        QCOMPARE(f.editor->pendingDeleteIndex(), deleted);
        f.editor->confirmDeletePage();
        QCOMPARE(f.editor->pendingDeleteIndex(), std::nullopt);
        QCOMPARE(f.service.pages().size(), pageCount - 1);
        QVERIFY(!f.service.pages().contains(u"p%1"_s.arg(deleted)));
        QTEST(f.editor->currentPageText(), "currentAfter");
        QTEST(f.service.pageTitles(), "titlesAfter");
    }

    void deleteRefusedOrCancelled()
    {
        Fixture single;
        single.editor->requestDeletePage();
        QCOMPARE(single.editor->pendingDeleteIndex(), std::nullopt);
        single.editor->deletePage(0);
        QCOMPARE(single.service.pages().size(), 1);

        Fixture f({u"a"_s, u"b"_s}, {}, 1);
        f.editor->requestDeletePage();
        QCOMPARE(f.editor->pendingDeleteIndex(), 1);
        f.editor->cancelDeletePage();
        f.editor->confirmDeletePage();
        QCOMPARE(f.service.pages(), (QStringList{u"a"_s, u"b"_s}));
    }

    void filteredPageIndices_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("no query") << u""_s << QList<int>{0, 1, 2, 3};
        QTest::newRow("only spaces") << u"  \n"_s << QList<int>{0, 1, 2, 3};
        QTest::newRow("title in other case") << u"intro"_s << QList<int>{0};
        QTest::newRow("text, accented upper case") << u" página "_s << QList<int>{1, 3};
        QTest::newRow("nothing") << u"zzz"_s << QList<int>{};
    }

    void filteredPageIndices()
    {
        // The last page has no title of its own and is matched on its text.
        Fixture f({u"hola"_s, u"Otra PÁGINA"_s, u"fin"_s, u"una página"_s},
                  {u"  INTRO"_s, u"Medio"_s, u"Cierre"_s});
        QFETCH(QString, query);
        f.editor->setToolbarSearchText(query);
        QTEST(f.editor->filteredPageIndices(), "expected");
    }

    void titleEditCommitsTrimmedToItsPage_data()
    {
        QTest::addColumn<bool>("byPageChange");
        QTest::newRow("Return") << false;
        QTest::newRow("previous page") << true;
    }

    void titleEditCommitsTrimmedToItsPage()
    {
        QFETCH(bool, byPageChange);
        // The titles are short: the last page, which is edited, has none yet.
        Fixture f({u"a"_s, u"b"_s, u"c"_s}, {u"A"_s}, 2);
        f.editor->beginToolbarTitleEdit();
        QCOMPARE(f.editor->toolbarTitleText(), u""_s);
        f.editor->setToolbarTitleText(u"  Cierre "_s);
        QCOMPARE(f.service.pageTitles(), (QStringList{u"A"_s, u""_s, u"  Cierre "_s}));
        if (byPageChange)
            f.editor->goToPreviousPage();
        else
            f.editor->commitToolbarTitle();
        QCOMPARE(f.service.pageTitles(), (QStringList{u"A"_s, u""_s, u"Cierre"_s}));
        QVERIFY(!f.editor->isEditingToolbarTitle());
    }

    // The header's title edit and the sidebar's rename keep to the page they were opened for.
    void titleEditLandsOnItsPage_data()
    {
        QTest::addColumn<bool>("sidebar");
        QTest::addColumn<int>("current");
        QTest::addColumn<Restructuring>("change");
        QTest::addColumn<QStringList>("titlesAfter");
        // Pages a b c with titles A B C. An opened document leaves page 0 current, so only the
        // replaced titles tell the edit that its page is gone.
        for (const bool sidebar : {false, true}) {
            const char *where = sidebar ? "sidebar, " : "header, ";
            QTest::addRow("%searlier page deleted", where)
                << sidebar << 1 << Restructuring::deleteEarlier << QStringList{u"Nuevo"_s, u"C"_s};
            QTest::addRow("%sedited page deleted", where)
                << sidebar << 1 << Restructuring::deleteEdited << QStringList{u"A"_s, u"C"_s};
            QTest::addRow("%sanother page moved above it", where)
                << sidebar << 0 << Restructuring::moveToTop
                << QStringList{u"C"_s, u"Nuevo"_s, u"B"_s};
            QTest::addRow("%sdocument replaced", where)
                << sidebar << 0 << Restructuring::replaceDocument << QStringList{u"X"_s, u"Y"_s};
        }
    }

    void titleEditLandsOnItsPage()
    {
        QFETCH(bool, sidebar);
        QFETCH(int, current);
        QFETCH(Restructuring, change);
        Fixture f({u"a"_s, u"b"_s, u"c"_s}, {u"A"_s, u"B"_s, u"C"_s}, current);
        const auto type = [&f, sidebar](const QString &text) {
            if (sidebar)
                f.editor->setRenameText(text);
            else
                f.editor->setToolbarTitleText(text);
        };
        if (sidebar)
            f.editor->startRename(current);
        else
            f.editor->beginToolbarTitleEdit();
        type(u"  Nuevo "_s);
        switch (change) {
        case Restructuring::deleteEarlier:
            f.editor->deletePage(0);
            break;
        case Restructuring::deleteEdited:
            f.editor->requestDeletePage();
            f.editor->confirmDeletePage();
            break;
        case Restructuring::moveToTop:
            f.editor->movePages({2}, 0);
            break;
        case Restructuring::replaceDocument:
            f.service.setPages({u"x"_s, u"y"_s});
            f.service.setPageTitles({u"X"_s, u"Y"_s});
            f.service.setCurrentPageIndex(0);
        }
        QTEST(f.service.pageTitles(), "titlesAfter");
        QVERIFY(!f.editor->isEditingToolbarTitle());
        QVERIFY(!f.editor->renamingPageIndex());
        // Late keystrokes of the closed field reach no page.
        type(u"tarde"_s);
        f.editor->commitToolbarTitle();
        f.editor->commitRename();
        QTEST(f.service.pageTitles(), "titlesAfter");
    }

    // Return stores the trimmed text on the page the field was opened for, padding short titles;
    // Esc stores nothing.
    void renameStoresTrimmedTitle_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("escape");
        QTest::addColumn<QString>("stored");
        QTest::newRow("spaces only") << u"   "_s << false << u""_s;
        QTest::newRow("pasted lines") << u" uno\ndos \n"_s << false << u"uno\ndos"_s;
        QTest::newRow("emoji and right to left")
            << u"\U0001F3A4 \u05E9\u05DC\u05D5\u05DD"_s << false
            << u"\U0001F3A4 \u05E9\u05DC\u05D5\u05DD"_s;
        QTest::newRow("10,000 characters")
            << QString(10'000, u'x') << false << QString(10'000, u'x');
        QTest::newRow("Esc") << u"Otro"_s << true << u""_s;
    }

    void renameStoresTrimmedTitle()
    {
        QFETCH(QString, typed);
        QFETCH(bool, escape);
        // The renamed page lies past the end of the titles.
        Fixture f({u"a"_s, u"b"_s, u"c"_s}, {u"A"_s}, 0);
        f.editor->startRename(2);
        QCOMPARE(f.service.currentPageIndex(), 2);
        QCOMPARE(f.editor->renamingPageIndex(), 2);
        QCOMPARE(f.editor->renameText(), u""_s);
        QTRY_VERIFY(f.editor->isRenameFieldFocused());
        f.editor->setRenameText(typed);
        if (escape)
            f.editor->cancelRename();
        else
            f.editor->commitRename();
        QVERIFY(!f.editor->renamingPageIndex());
        QFETCH(QString, stored);
        QCOMPARE(f.service.pageTitles().value(2), stored);
        QCOMPARE(f.service.pageTitles().value(0), u"A"_s);
        if (stored.trimmed().isEmpty())
            QCOMPARE(f.service.title(2), localizedString("Vacío"));
    }

    // One title edit at a time: opening one stores the other.
    void oneTitleEditAtATime()
    {
        Fixture f({u"a"_s, u"b"_s}, {u"A"_s, u"B"_s}, 0);
        f.editor->beginToolbarTitleEdit();
        f.editor->setToolbarTitleText(u" Uno "_s);
        f.editor->startRename(1);
        QVERIFY(!f.editor->isEditingToolbarTitle());
        QCOMPARE(f.editor->renameText(), u"B"_s);
        f.editor->setRenameText(u" Dos "_s);
        f.editor->beginToolbarTitleEdit();
        QVERIFY(!f.editor->renamingPageIndex());
        QCOMPARE(f.service.pageTitles(), (QStringList{u"Uno"_s, u"Dos"_s}));
        QCOMPARE(f.editor->toolbarTitleText(), u"Dos"_s);
    }

    void addedPageGetsItsOwnTitle_data()
    {
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<bool>("bullets");
        QTest::newRow("empty page, titles short") << QStringList{u"A"_s} << false;
        QTest::newRow("bullets, titles short") << QStringList{u"A"_s} << true;
        QTest::newRow("bullets, titles long")
            << QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s} << true;
    }

    void addedPageGetsItsOwnTitle()
    {
        QFETCH(QStringList, titles);
        QFETCH(bool, bullets);
        Fixture f({u"a"_s, u"b"_s, u"c"_s}, titles, 0);
        if (bullets)
            f.editor->addBulletsPage();
        else
            f.editor->appendEmptyPage();
        QCOMPARE(f.service.currentPageIndex(), 3);
        QCOMPARE(f.service.pageTitles().size(), 4);
        QCOMPARE(f.service.pageTitles().at(1), titles.value(1));
        QCOMPARE(f.service.pageTitles().at(3), bullets ? localizedString("Bullets") : QString());
        QCOMPARE(f.editor->currentPageText(), bullets ? u"• \n• \n• "_s : QString());
    }

    // The chevrons fade the text over 0.18 s, adding and deleting over 0.2 s; a change from
    // elsewhere does not fade.
    void pageChangeFade_data()
    {
        using Change = std::function<void(Fixture &)>;
        QTest::addColumn<Change>("change");
        QTest::addColumn<double>("seconds");
        QTest::newRow("next") << Change([](Fixture &f) { f.editor->goToNextPage(); }) << 0.18;
        QTest::newRow("previous") << Change([](Fixture &f) { f.editor->goToPreviousPage(); })
                                  << 0.18;
        QTest::newRow("add") << Change([](Fixture &f) { f.editor->appendEmptyPage(); }) << 0.2;
        QTest::newRow("bullets") << Change([](Fixture &f) { f.editor->addBulletsPage(); }) << 0.2;
        QTest::newRow("delete") << Change([](Fixture &f) { f.editor->deletePage(0); }) << 0.2;
        QTest::newRow("sidebar row") << Change([](Fixture &f) { f.editor->selectPage(2); }) << 0.18;
        QTest::newRow("from the service")
            << Change([](Fixture &f) { f.service.setCurrentPageIndex(0); }) << 0.0;
    }

    void pageChangeFade()
    {
        QFETCH(std::function<void(Fixture &)>, change);
        QFETCH(double, seconds);
        Fixture f({u"a"_s, u"b"_s, u"c"_s}, {}, 1);
        QList<double> seen;
        QObject::connect(&f.service, &BrivelService::currentPageIndexChanged, f.editor.get(),
                         [&f, &seen] { seen << f.editor->pageChangeFadeSeconds(); });
        change(f);
        QCOMPARE(seen, QList<double>{seconds});
        QCOMPARE(f.editor->pageChangeFadeSeconds(), 0.0);
    }

    void presentationDrops_data()
    {
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QStringList>("pages");

        const QString notes = u"Notas de la primera"_s;
        const QStringList imported{notes, u"Notas de la tercera"_s};
        const QStringList untouched{u" \n"_s};
        QTest::newRow("nothing") << QStringList() << false << QString() << QString() << untouched;
        QTest::newRow("web address, never fetched")
            << QStringList{u"http://example.invalid/deck.pptx"_s} << false << QString() << QString()
            << untouched;
        QTest::newRow("KEY in capitals")
            << QStringList{u"deck.KEY"_s} << true << u"Conversión requerida"_s
            << u"Los archivos .key no se pueden importar directamente. Por favor exportá tu "
               "presentación como PPTX (.pptx) primero, y luego arrastrá el archivo exportado "
               "aquí."_s
            << untouched;
        QTest::newRow("other file")
            << QStringList{u"notes.txt"_s} << true << u"Error de importación"_s
            << u"Archivo no compatible. Arrastrá un archivo .pptx."_s << untouched;
        QTest::newRow("two files: the first counts, PPTX in capitals")
            << QStringList{u"DECK.PPTX"_s, u"deck.key"_s} << true << QString() << QString()
            << imported;
        QTest::newRow("a web address before the file")
            << QStringList{u"http://example.invalid/x.key"_s, u"DECK.PPTX"_s} << true << QString()
            << QString() << imported;
        QTest::newRow("broken deck")
            << QStringList{u"broken.pptx"_s} << true << u"Error de importación"_s
            << u"Failed to extract notes: Could not unzip PPTX file."_s << untouched;
    }

    // A blank document takes the notes without a question; alerts carry their titles.
    void presentationDrops()
    {
        QFETCH(QStringList, dropped);
        QFETCH(bool, accepted);
        QFETCH(QString, title);
        QFETCH(QString, error);
        Fixture f({u" \n"_s});
        QVERIFY(QFile::copy(TEST_DATA_DIR u"/import/three-slides.pptx"_s,
                            f.directory.filePath(u"DECK.PPTX"_s)));
        QFile broken(f.directory.filePath(u"broken.pptx"_s));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("PK") == 2);
        broken.close();
        // A conversion alert first: a later failure still carries its own title.
        f.editor->setDropAlertTitle(u"Conversión requerida"_s);
        QList<QUrl> urls;
        for (const QString &item : dropped)
            urls << (item.startsWith(u"http") ? QUrl(item)
                                              : QUrl::fromLocalFile(f.directory.filePath(item)));

        QCOMPARE(f.editor->handlePresentationDrop(urls), accepted);
        if (accepted)
            QTRY_VERIFY(f.editor->dropError() || f.service.pages().size() == 2);
        QCoreApplication::processEvents();
        QVERIFY(!f.editor->isImporting());
        QCOMPARE(f.editor->dropError().value_or(QString()), error);
        if (!title.isEmpty())
            QCOMPARE(f.editor->dropAlertTitle(), title);
        QTEST(f.service.pages(), "pages");
        QVERIFY(f.dialogs.questions.isEmpty());
    }

    void mergeImportedNotes_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("withFile");
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<int>("current");

        const QStringList before{u"uno"_s, u"dos"_s};
        QTest::newRow("Agregar: titles numbered after the pages, the short title list first padded")
            << 0 << false << (before + QStringList{u"a"_s, u"b"_s, u"c"_s})
            << QStringList{u"Mío"_s, QString(), u"Diapositiva 3"_s, u"Diapositiva 4"_s,
                           u"Diapositiva 5"_s}
            << 1;
        QTest::newRow("Reemplazar")
            << 1 << true << QStringList{u"a"_s, u"b"_s, u"c"_s}
            << QStringList{u"Diapositiva 1"_s, u"Diapositiva 2"_s, u"Diapositiva 3"_s} << 0;
        QTest::newRow("Cancelar (Escape)") << -1 << false << before << QStringList{u"Mío"_s} << 1;
        QTest::newRow("Agregar to a document file leaves it unsaved")
            << 0 << true << (before + QStringList{u"a"_s, u"b"_s, u"c"_s})
            << QStringList{u"Mío"_s, QString(), u"Diapositiva 3"_s, u"Diapositiva 4"_s,
                           u"Diapositiva 5"_s}
            << 1;
    }

    void mergeImportedNotes()
    {
        QFETCH(int, answer);
        QFETCH(bool, withFile);
        QFETCH(int, current);
        Fixture f({u"uno"_s, u"dos"_s}, {u"Mío"_s}, 1);
        if (withFile)
            QVERIFY(f.service.save(f.directory.filePath(u"mine.brivel"_s)));
        f.service.setReadPages({0});
        f.dialogs.askAnswer = answer;

        f.editor->mergeImportedNotes({u"a"_s, u"b"_s, u"c"_s});
        QCOMPARE(f.dialogs.questions.size(), 1);
        const FakeDialogs::Question &question = f.dialogs.questions.first();
        QCOMPARE(question.message, u"Ya tenés notas"_s);
        QCOMPARE(question.buttons, (QStringList{u"Agregar"_s, u"Reemplazar"_s, u"Cancelar"_s}));
        QCOMPARE(question.defaultButton, 0);
        QCOMPARE(question.escapeButton, 2);
        QTEST(f.service.pages(), "pages");
        QTEST(f.service.pageTitles(), "titles");
        QCOMPARE(f.service.currentPageIndex(), current);
        QCOMPARE(f.service.readPages().isEmpty(), answer != -1);
        const bool replaced = answer == 1;
        QCOMPARE(f.service.currentFilePath().isEmpty(), !withFile || replaced);
        if (answer != -1) {
            QCOMPARE(f.service.hasUnsavedChanges(), answer == 0 && withFile);
            f.service.flushAutosave();
            QCOMPARE(SaveData::decode(TestSupport::readFile(f.service.autosaveFilePath()))->pages,
                     f.service.pages());
        }
    }

    void importBeyondTheLimits_data()
    {
        using LimitDocuments::Limit;
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("notes");
        QTest::addColumn<bool>("asked");
        // Empty when the notes are taken.
        QTest::addColumn<QString>("excess");

        const QStringList blank{u" \n"_s};
        for (const auto &[limit, name] : {std::pair(Limit::pages, "pages"),
                                          {Limit::pageCharacters, "page length"},
                                          {Limit::fileBytes, "file size"}}) {
            QTest::addRow("%s at the limit", name)
                << blank << LimitDocuments::atLimit(limit, 0).pages << false << QString();
            QTest::addRow("%s past it", name) << blank << LimitDocuments::atLimit(limit, 1).pages
                                              << false << LimitDocuments::excessOfOne(limit);
        }
        const QStringList mine{u"uno"_s, u"dos"_s};
        QTest::newRow("past a limit on their own: refused before the question")
            << mine << LimitDocuments::atLimit(Limit::pages, 1).pages << false
            << LimitDocuments::excessOfOne(Limit::pages);
        QTest::newRow("Agregar up to the page limit")
            << mine << QStringList(998, u"p"_s) << true << QString();
        QTest::newRow("Agregar past it") << mine << QStringList(999, u"p"_s) << true
                                         << LimitDocuments::excessOfOne(Limit::pages);
    }

    // The editor's import refuses what could not be saved and opened again, whole.
    void importBeyondTheLimits()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, notes);
        QFETCH(bool, asked);
        QFETCH(QString, excess);
        Fixture f(before);
        f.dialogs.askAnswer = 0;
        f.editor->mergeImportedNotes(notes);
        QCOMPARE(f.dialogs.questions.size(), asked ? 1 : 0);
        if (excess.isEmpty()) {
            QVERIFY(!f.editor->dropError());
            QCOMPARE(f.service.pages(), asked ? before + notes : notes);
            return;
        }
        QCOMPARE(f.editor->dropAlertTitle(), u"Error de importación"_s);
        QCOMPARE(f.editor->dropError(), LimitDocuments::importRefusalLead + u"\n\n"_s + excess);
        QCOMPARE(f.service.pages(), before);
    }

    // The button's panel asks for a .pptx; a deck whose pages no file holds asks before
    // they are replaced.
    void importButton()
    {
        Fixture f({u"texto sin archivo"_s});
        QVERIFY(QFile::copy(TEST_DATA_DIR u"/import/three-slides.pptx"_s,
                            f.directory.filePath(u"deck.pptx"_s)));
        f.editor->importPresentation();
        QCOMPARE(f.dialogs.openPanels, QList<QStringList>{QStringList{u"pptx"_s}});
        QCOMPARE(f.dialogs.openPanelMessages, QStringList{u"Seleccioná un archivo .pptx"_s});
        QVERIFY(!f.editor->isImporting());

        f.dialogs.openPanelAnswer = f.directory.filePath(u"deck.pptx"_s);
        f.dialogs.askAnswer = 1;
        f.dialogs.unsavedChoice = Dialogs::UnsavedChangesChoice::cancel;
        f.editor->importPresentation();
        QVERIFY(f.editor->isImporting());
        QTRY_VERIFY(!f.editor->isImporting());
        QCOMPARE(f.dialogs.unsavedQuestions, 1);
        QCOMPARE(f.service.pages(), QStringList{u"texto sin archivo"_s});
    }
};

QTEST_GUILESS_MAIN(TestEditorController)
#include "tst_editorcontroller.moc"
