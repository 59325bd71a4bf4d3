#include "common/notifications.h"
#include "overlay/model/overlaycontent.h"
#include "settings/notchsettings.h"
#include "speech/speechrecognizer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <functional>

namespace {

using TestSupport::notifiedDuring;

} // namespace

class TestOverlayContent : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void freshModel();
    void writesNotifyOnlyRealChanges_data();
    void writesNotifyOnlyRealChanges();
    void collapseHandlerHearsRealChangesOnly();
    void openingThePickerHighlightsTheCurrentPage();
    void movePickerHighlight_data();
    void movePickerHighlight();
    void requestNextPage_data();
    void requestNextPage();
    void currentPageTitle_data();
    void currentPageTitle();
    void visibilityToastHidesAfterTheLastCall();
};

void TestOverlayContent::freshModel()
{
    OverlayContent content;
    QCOMPARE(content.pageCount(), 1);
    QCOMPARE(content.currentPageIndex(), 0);
}

void TestOverlayContent::writesNotifyOnlyRealChanges_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    const auto row = [](const char *property, const QVariant &value) {
        QTest::newRow(property) << QByteArray(property) << value;
    };
    row("words", QStringList{u"Hola"_qs, u"mundo"_qs});
    row("lineBreaks", QVariant::fromValue(QSet<int>{1, 4}));
    row("totalCharCount", 10);
    row("hasNextPage", true);
    row("isCollapsed", true);
    row("isMiniMode", true);
    row("pageCount", 4);
    row("currentPageIndex", 2);
    row("pagePreviews", QStringList{u"Hola mundo"_qs});
    row("pageTitles", QStringList{u"Intro"_qs, QString()});
    row("highlightedPickerIndex", 3);
    row("showPagePicker", true);
    row("jumpToPageIndex", QVariant::fromValue(std::optional<int>(0)));
    row("isNotesMode", true);
    row("jumpToPageNotesMode", QVariant::fromValue(std::optional<int>(2)));
    row("arrowScrollDelta", -22.4);
    row("duplicateAvailable", true);
}

void TestOverlayContent::writesNotifyOnlyRealChanges()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);
    OverlayContent content;
    const QVariant initial = content.property(property);

    QVariant stored;
    const QStringList notified = notifiedDuring(content, [&] {
        content.setProperty(property, value);
        content.setProperty(property, value);
        stored = content.property(property);
        content.setProperty(property, initial);
    });
    QCOMPARE(stored, value);
    QCOMPARE(notified, QStringList(2, QString::fromLatin1(property)));
}

void TestOverlayContent::collapseHandlerHearsRealChangesOnly()
{
    OverlayContent content;
    QList<bool> heard;
    content.setOnCollapseChanged([&](bool collapsed) {
        QCOMPARE(content.isCollapsed(), collapsed);
        heard << collapsed;
    });

    content.setIsCollapsed(true);
    content.setIsCollapsed(true);
    content.setIsCollapsed(false);
    content.setIsCollapsed(false);
    QCOMPARE(heard, QList<bool>({true, false}));
}

void TestOverlayContent::openingThePickerHighlightsTheCurrentPage()
{
    OverlayContent content;
    content.setPageCount(5);
    content.setCurrentPageIndex(2);

    content.setShowPagePicker(true);
    QCOMPARE(content.highlightedPickerIndex(), 2);
    content.movePickerHighlight(+1);
    QCOMPARE(content.highlightedPickerIndex(), 3);

    QSignalSpy pickerChanged(&content, &OverlayContent::showPagePickerChanged);
    content.setShowPagePicker(true);
    QCOMPARE(content.highlightedPickerIndex(), 2);
    QCOMPARE(pickerChanged.count(), 0);

    content.movePickerHighlight(-1);
    content.setShowPagePicker(false);
    QCOMPARE(content.highlightedPickerIndex(), 1);
}

void TestOverlayContent::movePickerHighlight_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("expected");
    // Three pages.
    QTest::newRow("down") << 0 << 1 << 1;
    QTest::newRow("up at the first row") << 0 << -1 << 0;
    QTest::newRow("down at the last row") << 2 << 1 << 2;
    QTest::newRow("past the end") << 1 << 2 << 1;
}

void TestOverlayContent::movePickerHighlight()
{
    QFETCH(int, start);
    QFETCH(int, step);
    QFETCH(int, expected);
    OverlayContent content;
    content.setPageCount(3);
    content.setHighlightedPickerIndex(start);

    content.movePickerHighlight(step);
    QCOMPARE(content.highlightedPickerIndex(), expected);
}

void TestOverlayContent::requestNextPage_data()
{
    QTest::addColumn<bool>("notesMode");
    QTest::addColumn<int>("currentPage");
    QTest::addColumn<int>("expectedJump"); // -1: no request
    QTest::addColumn<bool>("expectedAdvance");
    // Three pages.
    QTest::newRow("notes mode") << true << 0 << 1 << false;
    QTest::newRow("notes mode, last page") << true << 2 << -1 << false;
    QTest::newRow("outside text, last page") << false << 2 << -1 << true;
}

void TestOverlayContent::requestNextPage()
{
    QFETCH(bool, notesMode);
    QFETCH(int, currentPage);
    QFETCH(int, expectedJump);
    QFETCH(bool, expectedAdvance);
    OverlayContent content;
    SpeechRecognizer recognizer;
    content.setPageCount(3);
    content.setCurrentPageIndex(currentPage);
    content.setIsNotesMode(notesMode);

    content.requestNextPage(recognizer);
    QCOMPARE(content.jumpToPageNotesMode(),
             expectedJump < 0 ? std::nullopt : std::optional(expectedJump));
    QCOMPARE(recognizer.shouldAdvancePage(), expectedAdvance);
    QCOMPARE(content.jumpToPageIndex(), std::nullopt);
}

void TestOverlayContent::currentPageTitle_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<int>("currentPage");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no titles") << u"es"_qs << QStringList() << 0 << u"Notas"_qs;
    QTest::newRow("blank title") << u"es"_qs << QStringList{u"  \t "_qs} << 0 << u"Notas"_qs;
    QTest::newRow("index beyond the list")
        << u"es"_qs << QStringList{u"Intro"_qs} << 1 << u"Notas"_qs;
    QTest::newRow("title trimmed")
        << u"es"_qs << QStringList{u"x"_qs, u"\n  Cierre final \t\n"_qs} << 1 << u"Cierre final"_qs;
    QTest::newRow("english fallback") << u"en"_qs << QStringList{QString()} << 0 << u"Notes"_qs;
}

void TestOverlayContent::currentPageTitle()
{
    QFETCH(QString, language);
    QFETCH(QStringList, titles);
    QFETCH(int, currentPage);
    QFETCH(QString, expected);
    NotchSettings::shared().setAppLanguage(language);
    OverlayContent content;
    content.setPageCount(3);
    content.setPageTitles(titles);
    content.setCurrentPageIndex(currentPage);

    QCOMPARE(content.currentPageTitle(), expected);
}

void TestOverlayContent::visibilityToastHidesAfterTheLastCall()
{
    OverlayContent content;
    QSignalSpy changed(&content, &OverlayContent::showVisibilityToastChanged);

    content.presentVisibilityToast();
    QVERIFY(content.showVisibilityToast());
    QTest::qWait(1000);
    QVERIFY(content.showVisibilityToast());

    content.presentVisibilityToast();
    QElapsedTimer sinceSecondCall;
    sinceSecondCall.start();
    QTRY_VERIFY_WITH_TIMEOUT(!content.showVisibilityToast(), 10'000);
    // The first call's hide would have come 0.3 s after the second call.
    QCOMPARE_GE(sinceSecondCall.elapsed(), 1200);
    QCOMPARE(changed.count(), 2);
}

QTEST_GUILESS_MAIN(TestOverlayContent)
#include "tst_overlaycontent.moc"
