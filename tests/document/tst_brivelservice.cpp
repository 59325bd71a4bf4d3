#include "common/appfakes.h"
#include "common/clusters.h"
#include "settings/displaytext.h"
#include "settings/localization.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Pages 1 and 4 hold only white space.
const QStringList mixedPages{u"Intro"_s, u"  \n "_s, u"Body"_s, u"\tEnd\n"_s, u"\n"_s};

} // namespace

// Reading control: page choice, the overlay's session and its page list.
class TestBrivelService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void previews_data();
    void previews();
    void titlesReachTheOverlayAsTheyAre();
    void title_data();
    void title();
    void hasNonBlankPage_data();
    void hasNonBlankPage();
    void goToNextNonBlankPageSkipsBlankPages();
    void goToNextNonBlankPageAtTheEndChangesNothing();
    void startReading_data();
    void startReading();
    void startReadingStopsTheFollowerOnce();
    void startReadingOpensABlankPageAndIgnoresOutOfRange();
    void sessionEndReachesTheEditorOnlyWhileTheServiceLives();
    void showExternalTextWithOnlyWhiteSpaceChangesNothing();
    void showExternalTextOpensAScrollingSession();
};

void TestBrivelService::previews_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("expected");
    const QString forty(40, u'a');
    const QString accented = u"e\u0301"_s; // one character, two UTF-16 units
    const QString flag = u"\U0001F1EA\U0001F1F8"_s;
    // One character longer than a first look at the page covers.
    const QString heavy = u"x"_s + QString(300, QChar(0x0301));
    QTest::newRow("blank") << u" \n\t \u00A0\u2028"_s << QString();
    QTest::newRow("40, padded") << u"  \n"_s + forty + u"\n  "_s << forty;
    QTest::newRow("41") << forty + u'b' << forty + u'\u2026';
    QTest::newRow("40 combined") << accented.repeated(40) << accented.repeated(40);
    QTest::newRow("41 combined") << accented.repeated(41) << accented.repeated(40) + u'\u2026';
    QTest::newRow("flags") << flag.repeated(45) << flag.repeated(40) + u'\u2026';
    // A character too long to lay out counts as one, and is shown cut.
    QTest::newRow("long first character")
        << heavy + QString(45, u'c')
        << heavy.left(DisplayText::maximumClusterLength) + QString(39, u'c') + u'\u2026';
    QTest::newRow("long page") << forty + QString(100'000, u'z') << forty + u'\u2026';
    // The fortieth character runs across the end of the first look and stays whole.
    const QString marked = u"e"_s + QString(5, QChar(0x0301));
    const QString across = u"e"_s + QString(30, QChar(0x0301));
    QTest::newRow("fortieth across the first look")
        << marked.repeated(39) + across + u" fin"_s << marked.repeated(39) + across + u'\u2026';
}

void TestBrivelService::previews()
{
    QFETCH(QString, page);
    QFETCH(QString, expected);
    ServiceFixture f;
    f.service.setPages({u"first"_s, page});
    OverlayContent content;
    f.service.updateOverlayPageTitles(content);
    QCOMPARE(content.pageCount(), 2);
    QCOMPARE(content.pagePreviews(), QStringList({u"first"_s, expected}));
}

void TestBrivelService::titlesReachTheOverlayAsTheyAre()
{
    ServiceFixture f;
    f.service.setPages({u"a"_s, u"b"_s, u"c"_s});
    f.service.setPageTitles({u" Intro "_s});
    f.service.setCurrentPageIndex(2);
    f.service.updatePageIndicator();
    const OverlayContent &content = f.overlay.overlayContent();
    QCOMPARE(content.pageCount(), 3);
    QCOMPARE(content.pageTitles(), QStringList{u" Intro "_s});
    QCOMPARE(content.currentPageIndex(), 2);

    // A title far too long to show reaches it, and the editor's views, as much as shows; the
    // stored title is kept whole.
    const QString huge(9'000'000, u'T');
    f.service.setPageTitles({u" Intro "_s, huge});
    f.service.setCurrentPageIndex(1);
    f.service.updatePageIndicator();
    QCOMPARE(content.pageTitles().at(1), huge.left(DisplayText::maximumTitleLength));
    QCOMPARE(content.currentPageTitle(), huge.left(DisplayText::maximumTitleLength));
    QCOMPARE(f.service.title(1), huge.left(DisplayText::maximumTitleLength));
    QCOMPARE(f.service.pageTitles().at(1), huge);

    // A short title whose one cluster is far too long to shape reaches it as shown.
    const QString cluster = u"a"_s + TestSupport::marks(DisplayText::maximumTitleLength - 1);
    f.service.setPageTitles({cluster});
    f.service.updatePageIndicator();
    QCOMPARE(content.pageTitles(), QStringList{DisplayText::shown(cluster)});
}

void TestBrivelService::title_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");
    const QString placeholder = localizedString("Vacío");
    QTest::newRow("trimmed") << 0 << u"Intro"_s;
    QTest::newRow("spaces only") << 1 << placeholder;
    QTest::newRow("empty") << 2 << placeholder;
    QTest::newRow("past the titles") << 5 << placeholder;
    QTest::newRow("negative") << -1 << placeholder;
    // A title too long to show ends on the last whole character.
    QTest::newRow("accent across the cut") << 3 << QString(299, u'x');
    QTest::newRow("emoji across the cut") << 4 << QString(299, u'x');
}

void TestBrivelService::title()
{
    QFETCH(int, index);
    ServiceFixture f;
    f.service.setPages(QStringList(6, u"text"_s));
    const QString cut(299, u'x');
    f.service.setPageTitles(
        {u"  Intro\n"_s, u" \t "_s, QString(), cut + u"e\u0301 fin"_s, cut + u"\U0001F600 fin"_s});
    QTEST(f.service.title(index), "expected");
}

void TestBrivelService::hasNonBlankPage_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("expected");
    QTest::newRow("blank pages between") << 0 << true;
    QTest::newRow("before the last text") << 2 << true;
    QTest::newRow("only blank pages after") << 3 << false;
    QTest::newRow("last page") << 4 << false;
    QTest::newRow("past the end") << 9 << false;
    QTest::newRow("before the first") << -3 << true;
}

void TestBrivelService::hasNonBlankPage()
{
    QFETCH(int, index);
    ServiceFixture f;
    f.service.setPages(mixedPages);
    QTEST(f.service.hasNonBlankPage(index), "expected");
}

void TestBrivelService::goToNextNonBlankPageSkipsBlankPages()
{
    ServiceFixture f;
    f.service.setPages(mixedPages);
    f.service.goToNextNonBlankPage();
    QCOMPARE(f.service.currentPageIndex(), 2);
    QCOMPARE(f.service.readPages(), QSet<int>{2});
    QCOMPARE(f.overlay.calls, QStringList{u"updateContent"_s});
    QCOMPARE(f.overlay.lastLoad.text, u"Body"_s);
    QVERIFY(f.overlay.lastLoad.hasNextPage);
    QVERIFY(!f.overlay.lastLoad.isNotesMode);
    QCOMPARE(f.overlay.overlayContent().currentPageIndex(), 2);

    f.service.goToNextNonBlankPage();
    QCOMPARE(f.service.currentPageIndex(), 3);
    QCOMPARE(f.overlay.lastLoad.text, u"End"_s);
    QVERIFY(!f.overlay.lastLoad.hasNextPage);
    QCOMPARE(f.service.readPages(), QSet<int>({2, 3}));
}

void TestBrivelService::goToNextNonBlankPageAtTheEndChangesNothing()
{
    ServiceFixture f;
    f.service.setPages(mixedPages);
    f.service.setCurrentPageIndex(3);
    QSignalSpy indexChanges(&f.service, &BrivelService::currentPageIndexChanged);
    f.service.goToNextNonBlankPage();
    QCOMPARE(f.service.currentPageIndex(), 3);
    QVERIFY(f.service.readPages().isEmpty());
    QVERIFY(f.overlay.calls.isEmpty());
    QCOMPARE(indexChanges.count(), 0);
}

void TestBrivelService::startReading_data()
{
    QTest::addColumn<std::function<void(ServiceFixture &)>>("before");
    QTest::addColumn<bool>("arrowKeys");
    QTest::addColumn<QStringList>("expectedCalls");
    const QStringList newSession{u"show"_s, u"registerHotKeys"_s};
    QTest::newRow("no session") << std::function<void(ServiceFixture &)>([](ServiceFixture &) {})
                                << true << newSession;
    QTest::newRow("without arrow keys")
        << std::function<void(ServiceFixture &)>([](ServiceFixture &) {}) << false
        << QStringList{u"show"_s};
    QTest::newRow("notes session open") << std::function<void(ServiceFixture &)>(
        [](ServiceFixture &f) { f.service.startReading(0); })
                                        << true << QStringList{u"updateContent"_s};
    QTest::newRow("outside text open") << std::function<void(ServiceFixture &)>(
        [](ServiceFixture &f) { f.service.showExternalText(u"From a link"_s); })
                                       << true << newSession;
    QTest::newRow("notes session closed")
        << std::function<void(ServiceFixture &)>([](ServiceFixture &f) {
               f.service.startReading(0);
               f.overlay.complete();
           })
        << true << newSession;
}

void TestBrivelService::startReading()
{
    QFETCH(std::function<void(ServiceFixture &)>, before);
    QFETCH(bool, arrowKeys);
    ServiceFixture f;
    f.settings.setGlobalArrowKeysEnabled(arrowKeys);
    f.service.setPages(mixedPages);
    before(f);
    f.overlay.calls.clear();

    f.service.startReading(3);
    QTEST(f.overlay.calls, "expectedCalls");
    QCOMPARE(f.overlay.lastLoad.text, u"End"_s);
    QVERIFY(f.overlay.lastLoad.isNotesMode);
    QVERIFY(!f.overlay.lastLoad.hasNextPage);
    QCOMPARE(f.service.currentPageIndex(), 3);
    QVERIFY(f.service.readPages().isEmpty());
    QCOMPARE(f.overlay.overlayContent().currentPageIndex(), 3);
    QCOMPARE(f.overlay.overlayContent().pageCount(), 5);
}

void TestBrivelService::startReadingStopsTheFollowerOnce()
{
    ServiceFixture f;
    f.service.setPages(mixedPages);
    SpeechRecognizer &recognizer = f.overlay.speechRecognizer();
    recognizer.setIsListening(true);
    QSignalSpy listening(&recognizer, &SpeechRecognizer::isListeningChanged);
    f.service.startReading(0);
    f.service.goToPage(2);
    QVERIFY(!recognizer.isListening());
    QCOMPARE(listening.count(), 1);
}

void TestBrivelService::startReadingOpensABlankPageAndIgnoresOutOfRange()
{
    ServiceFixture f;
    f.service.setPages(mixedPages);
    f.service.startReading(5);
    f.service.startReading(-1);
    f.service.goToPage(5);
    f.service.goToPage(-1);
    QVERIFY(f.overlay.calls.isEmpty());
    QCOMPARE(f.service.currentPageIndex(), 0);

    f.service.startReading(1);
    QCOMPARE(f.overlay.calls.first(), u"show"_s);
    QCOMPARE(f.overlay.lastLoad.text, QString());
    QVERIFY(f.overlay.lastLoad.hasNextPage);
}

void TestBrivelService::sessionEndReachesTheEditorOnlyWhileTheServiceLives()
{
    ServiceFixture f;
    f.service.setPages(mixedPages);
    int dismissals = 0;
    f.service.onOverlayDismissed = [&dismissals] { ++dismissals; };
    f.service.startReading(0);
    f.overlay.complete();
    QCOMPARE(dismissals, 1);

    // The service outlived by its overlay: the completion finds nobody to tell.
    FakeReadingOverlay overlay;
    auto service = std::make_unique<BrivelService>(f.settings, overlay, f.dialogs, f.path(u"x"_s));
    service->setPages(mixedPages);
    service->onOverlayDismissed = [&dismissals] { ++dismissals; };
    service->startReading(0);
    service.reset();
    overlay.complete();
    QCOMPARE(dismissals, 1);
}

void TestBrivelService::showExternalTextWithOnlyWhiteSpaceChangesNothing()
{
    ServiceFixture f;
    int hides = 0;
    f.service.hideMainWindowsHandler = [&hides] { ++hides; };
    f.service.showExternalText(u" \n\t\u3000 "_s);
    QCoreApplication::processEvents();
    QVERIFY(!f.service.launchedExternally());
    QVERIFY(f.overlay.calls.isEmpty());
    QCOMPARE(hides, 0);
}

void TestBrivelService::showExternalTextOpensAScrollingSession()
{
    ServiceFixture f;
    f.service.setPages(mixedPages);
    f.service.setCurrentPageIndex(2);
    int hides = 0;
    f.service.hideMainWindowsHandler = [&hides] { ++hides; };
    f.service.showExternalText(u"\n  Hola desde afuera  \n"_s);

    QVERIFY(f.service.launchedExternally());
    QCOMPARE(f.overlay.calls, QStringList{u"show"_s});
    QCOMPARE(f.overlay.lastLoad.text, u"Hola desde afuera"_s);
    QVERIFY(!f.overlay.lastLoad.isNotesMode);
    QVERIFY(f.overlay.lastLoad.hasNextPage);
    QCOMPARE(f.service.currentPageIndex(), 2);
    QVERIFY(f.service.readPages().isEmpty());
    // Windows are hidden on the next turn of the event loop, never within the call.
    QCOMPARE(hides, 0);
    QTRY_COMPARE(hides, 1);
}

QTEST_GUILESS_MAIN(TestBrivelService)
#include "tst_brivelservice.moc"
