#include "editorcontrollerfixture.h"

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
};

QTEST_GUILESS_MAIN(TestEditorController)
#include "tst_editorcontroller.moc"
