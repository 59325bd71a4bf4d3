#include "editor/model/pagesearch.h"

#include "common/appfakes.h"
#include "document/reviewsessioncounter.h"
#include "editor/model/editorcontroller.h"
#include "editor/model/pagelistmodel.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Fixture : ServiceFixture
{
    Fixture(const QStringList &pages, const QStringList &titles)
    {
        service.setPages(pages);
        service.setPageTitles(titles);
    }

    QList<int> listedPages() const
    {
        QList<int> pages;
        for (int row = 0; row < model.rowCount(); ++row)
            pages.append(model.pageIndex(row));
        return pages;
    }

    // Types the query and waits for its rows.
    void search(const QString &query)
    {
        controller.setToolbarSearchText(query);
        QTRY_VERIFY(model.isUpToDate());
    }

    ReviewSessionCounter counter{store};
    EditorController controller{service, settings, store, counter};
    PageListModel model{controller, service};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};
};

} // namespace

class TestPageSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { NotchSettings::shared().setAppLanguage(u"es"_s); }

    void find_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("query");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("length");
        QTest::newRow("other case, trimmed") << u"Hola Mundo"_s << u" mUNDO\n"_s << 5 << 5;
        QTest::newRow("spaces only") << u"a b"_s << u"   "_s << -1 << 0;
        QTest::newRow("pattern characters are literal") << u"x.*[(\\y"_s << u".*[(\\"_s << 1 << 5;
        QTest::newRow("accent typed apart finds the whole letter")
            << u"un café"_s << u"cafe\u0301"_s << 3 << 4;
        QTest::newRow("whole letter finds the accent written apart")
            << u"un cafe\u0301"_s << u"café"_s << 3 << 5;
        QTest::newRow("the first combining mark written apart")
            << u"gia\u0300"_s << u"già"_s << 0 << 4;
        QTest::newRow("10,000 characters") << u"abc"_s << QString(10'000, u'a') << -1 << 0;
        // Either form finds the other, and the match covers the stored units it came from.
        QTest::newRow("decomposed page, composed query")
            << u"en Vie\u0302\u0323t Nam"_s << u"Việt"_s << 3 << 6;
        QTest::newRow("composed page, decomposed query")
            << u"en Việt Nam"_s << u"Vie\u0323\u0302t"_s << 3 << 4;
        QTest::newRow("half composed page, other case")
            << u"VI\u00ca\u0323T"_s << u"vie\u0323\u0302t"_s << 0 << 5;
        QTest::newRow("accents stay significant") << u"Viet"_s << u"Việt"_s << -1 << 0;
        QTest::newRow("jamo page, syllable query")
            << u"\u1112\u1161\u11ab\u1100\u116e\u11a8\u110b\u1165"_s << u"국"_s << 3 << 3;
        QTest::newRow("syllable page, jamo query")
            << u"한국어"_s << u"\u1100\u116e\u11a8"_s << 1 << 1;
        // A match never ends inside what is drawn as one.
        QTest::newRow("conjunct") << u"क्षि"_s << u"क"_s << 0 << 4;
        QTest::newRow("half a flag") << u"x🇪🇸"_s << u"\U0001F1EA"_s << 1 << 4;
    }

    void find()
    {
        QFETCH(QString, text);
        QFETCH(QString, query);
        qsizetype length = 0;
        QTEST(int(PageSearch::find(text, query, &length)), "at");
        QTEST(int(length), "length");
    }

    // 20 characters before and 30 after, each letter with its accents and each emoji one
    // character, never cut in two.
    void snippet_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("expected");
        const QString before = u"b"_s.repeated(25);
        const QString after = u"a"_s.repeated(35);
        QTest::newRow("middle, cut both sides")
            << before + u"X\nY"_s + after << u"x"_s
            << u"…"_s + u"b"_s.repeated(20) + u"X Y"_s + u"a"_s.repeated(28) + u"…"_s;
        QTest::newRow("at offset 0") << u"Xyz"_s << u"x"_s << u"Xyz"_s;
        const QString accented = u"e\u0301"_s.repeated(22);
        QTest::newRow("combining sequences")
            << accented + u"X"_s + accented << u"x"_s
            << u"…"_s + u"e\u0301"_s.repeated(20) + u"X"_s + accented;
        const QString emoji = u"\U0001F600"_s.repeated(32);
        QTest::newRow("surrogate pairs") << emoji + u"X"_s + emoji << u"x"_s
                                         << u"…"_s + u"\U0001F600"_s.repeated(20) + u"X"_s
                                                + u"\U0001F600"_s.repeated(30) + u"…"_s;
        const QString longPage = u"palabra "_s.repeated(62'500);
        QTest::newRow("end of a 500,000-character page")
            << longPage + u"FIN"_s << u"fin"_s << u"…"_s + longPage.right(20) + u"FIN"_s;
    }

    void snippet()
    {
        QFETCH(QString, text);
        QFETCH(QString, query);
        qsizetype length = 0;
        const qsizetype at = PageSearch::find(text, query, &length);
        QVERIFY(at >= 0);
        QTEST(PageSearch::snippet(text, at, length), "expected");
    }

    // The rows: every page without a query; with one, the matches with where they were found,
    // and "Sin resultados" when none; a row's click clears the query.
    void rowsFollowTheQuery()
    {
        const QString longText = QString(499'990, u'x') + u" clave"_s;
        Fixture f({u"Intro"_s, u"otra página"_s, longText, u"clave al inicio"_s},
                  {u"Clave"_s, QString(), u"  "_s});
        QCOMPARE(f.listedPages(), (QList<int>{0, 1, 2, 3}));
        f.search(u"   "_s);
        QCOMPARE(f.listedPages(), (QList<int>{0, 1, 2, 3}));
        QVERIFY(!f.model.showsNoResults());

        f.search(u" CLAVE"_s);
        QCOMPARE(f.listedPages(), (QList<int>{0, 2, 3}));
        const QModelIndex titled = f.model.index(0);
        QCOMPARE(titled.data(PageListModel::TitleMatchStartRole).toInt(), 0);
        QCOMPARE(titled.data(PageListModel::TitleMatchLengthRole).toInt(), 5);
        QVERIFY(titled.data(PageListModel::SnippetRole).toString().isEmpty());
        const QModelIndex untitled = f.model.index(1);
        QCOMPARE(untitled.data().toString(), u"Vacío"_s);
        QCOMPARE(untitled.data(PageListModel::TitleMatchStartRole).toInt(), -1);
        QCOMPARE(untitled.data(PageListModel::SnippetRole).toString(),
                 u"…"_s + QString(19, u'x') + u" clave"_s);
        QCOMPARE(f.model.index(2).data(PageListModel::SnippetRole).toString(),
                 u"clave al inicio"_s);

        // Renamed out of the filter and into it while it is set.
        f.service.setPageTitles({u"Inicio"_s, u"Clave dos"_s, u"  "_s});
        QTRY_COMPARE(f.listedPages(), (QList<int>{1, 2, 3}));

        f.search(u"zzz"_s);
        QCOMPARE(f.model.rowCount(), 0);
        QVERIFY(f.model.showsNoResults());
        // The placeholder an untitled row shows is not its title.
        f.search(u"vac"_s);
        QCOMPARE(f.model.rowCount(), 0);

        f.search(u"página"_s);
        f.controller.selectPage(1);
        QVERIFY(f.controller.toolbarSearchText().isEmpty());
        QCOMPARE(f.service.currentPageIndex(), 1);
        QCOMPARE(f.model.rowCount(), 4);
        QVERIFY(f.model.index(1).data(PageListModel::SelectedRole).toBool());
    }

    // Titles and pages written in either form are found by a query in either form, and the
    // title's highlight covers the stored units it came from.
    void rowsFindEitherForm()
    {
        const QString title = u"Tie\u0302\u0301ng Vie\u0323\u0302t"_s; // accents apart, any order
        Fixture f({u"x"_s, u"en Vi\u1EC7t Nam"_s, u"Viet"_s}, {title});
        for (const QString &query : {u"Việt"_s, u"vie\u0302\u0323t"_s}) {
            f.search(query);
            QCOMPARE(f.listedPages(), (QList<int>{0, 1}));
            QCOMPARE(f.model.index(0).data(PageListModel::TitleMatchStartRole).toInt(), 8);
            QCOMPARE(f.model.index(0).data(PageListModel::TitleMatchLengthRole).toInt(), 6);
            QCOMPARE(f.model.index(1).data(PageListModel::SnippetRole).toString(),
                     u"en Vi\u1EC7t Nam"_s);
        }
    }

    // Each keystroke starts a search; only the newest one's rows are ever listed, and a document
    // changed behind a search is searched again before a drop may use its rows.
    void newestQueryAndDocumentWin()
    {
        Fixture f(QStringList(200, QString(20'000, u'y')) << u"alfa"_s, {});
        QList<QList<int>> seen;
        QObject::connect(&f.model, &PageListModel::modelReset, &f.model,
                         [&] { seen.append(f.listedPages()); });
        for (const QString &query : {u"a"_s, u"al"_s, u"alf"_s, u"y"_s, u"alfa"_s})
            f.controller.setToolbarSearchText(query);
        QVERIFY(!f.model.isUpToDate());
        QTRY_VERIFY(f.model.isUpToDate());
        QCOMPARE(seen, QList<QList<int>>{{200}});

        QStringList pages = f.service.pages();
        pages[3] = u"ALFA"_s;
        f.service.setPages(pages);
        // Rows of an older document would name the wrong pages: no drop while they are listed.
        QVERIFY(!f.model.isUpToDate());
        QVERIFY(!f.model.movePage(1, 0));
        QTRY_COMPARE(f.listedPages(), (QList<int>{3, 200}));
    }

    // A drag's rows are mapped to pages: the page moves before the page of the row it is
    // dropped above, or after the last listed page; no other page changes place.
    void dragMovesOnlyTheDraggedPage_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<int>("sourceRow");
        QTest::addColumn<int>("destinationRow");
        QTest::addColumn<QString>("order");
        QTest::addColumn<int>("current");
        QTest::newRow("third above the first") << u""_s << 2 << 0 << u"cabde"_s << 0;
        QTest::newRow("onto itself") << u""_s << 1 << 2 << u"abcde"_s << 0;
        QTest::newRow("past the end") << u""_s << 0 << 9 << u"abcde"_s << 0;
        QTest::newRow("to the end") << u""_s << 0 << 5 << u"bcdea"_s << 4;
        // a and c are listed, rows 0 and 1; the last page is not.
        QTest::newRow("filtered, below the last match") << u"v"_s << 0 << 2 << u"bcade"_s << 2;
        QTest::newRow("filtered, above the first match") << u"v"_s << 1 << 0 << u"cabde"_s << 0;
    }

    void dragMovesOnlyTheDraggedPage()
    {
        // More titles than pages: the extra ones list nothing and move nowhere.
        Fixture f({u"a v"_s, u"b"_s, u"c v"_s, u"d"_s, u"e"_s},
                  {u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s, u"v"_s});
        QFETCH(QString, query);
        f.search(query);
        QFETCH(int, sourceRow);
        QFETCH(int, destinationRow);
        QFETCH(QString, order);
        QCOMPARE(f.model.movePage(sourceRow, destinationRow), order != u"abcde"_s);
        QString now;
        for (const QString &page : f.service.pages())
            now += page.front();
        QCOMPARE(now, order);
        // Titles travel with their pages.
        const QStringList titles = f.service.pageTitles();
        QCOMPARE(titles.at(int(now.indexOf(u'a'))), u"A"_s);
        QCOMPARE(titles.at(int(now.indexOf(u'c'))), u"C"_s);
        if (order != u"abcde"_s)
            QTEST(f.service.currentPageIndex(), "current");
    }
};

QTEST_GUILESS_MAIN(TestPageSearch)
#include "tst_pagesearch.moc"
