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

// The editor's pages: deleting, searching, adding, and the title edits of the header and the
// sidebar.
class TestEditorPages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { NotchSettings::shared().setAppLanguage(u"es"_s); }

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
};

QTEST_GUILESS_MAIN(TestEditorPages)
#include "tst_editorpages.moc"
