#include "common/clusters.h"
#include "common/files.h"
#include "common/rendering.h"
#include "document/savedata.h"
#include "editor/highlightingtexteditor.h"
#include "editor/importpresentationbutton.h"
#include "editor/model/pagelistmodel.h"
#include "editor/rootfixture.h"
#include "platform/fonts.h"
#include "settings/displaytext.h"
#include "settings/localization.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPainterPath>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPagesSidebar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The sidebar: a click selects, the footer adds pages, the row's menu opens a title field
    // that only Return or Esc ends, the keyboard alone selects and opens the menu, a query
    // without matches says so, and a filtered row stands for its own page.
    void sidebarSelectsAddsAndRenames()
    {
        RootFixture f(true);
        f.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        PagesSidebar *sidebar = f.sidebar();
        QCOMPARE(sidebar->width(), PagesSidebar::columnWidth);
        QListView *list = sidebar->list();
        const auto row = [list](int r) { return list->model()->index(r, 0); };
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row(1)).center());
        QCOMPARE(f.service.currentPageIndex(), 1);
        QTest::mouseClick(sidebar->bulletsButton(), Qt::LeftButton);
        QTest::mouseClick(sidebar->addPageButton(), Qt::LeftButton);
        QCOMPARE(f.service.pages().size(), 4);
        QCOMPARE(f.service.pages().at(2), u"• \n• \n• "_s);
        QCOMPARE(list->model()->rowCount(), 4);
        QCOMPARE(f.service.currentPageIndex(), 3);

        QMenu *menu = sidebar->openRowMenu(0, list->viewport()->mapToGlobal(QPoint(20, 10)));
        QCOMPARE(menu->actions().size(), 2);
        QCOMPARE(menu->actions().at(1)->text(), localizedString("Eliminar página"));
        menu->actions().at(0)->trigger();
        menu->close();
        f.window.activateWindow();
        auto *field = qobject_cast<QLineEdit *>(list->indexWidget(row(0)));
        QVERIFY(field);
        QCOMPARE(field->text(), u"Intro"_s);
        QTRY_VERIFY(field->hasFocus());
        field->selectAll();
        QTest::keyClicks(field, u"Apertura"_s);
        f.pane()->editor()->setFocus();
        QVERIFY(list->indexWidget(row(0)));
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(f.service.pageTitles().at(0), u"Apertura"_s);
        QVERIFY(!list->indexWidget(row(0)));
        QVERIFY(list->hasFocus());

        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(f.service.currentPageIndex(), 1);
        QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
        f.window.activateWindow();
        QTRY_VERIFY(list->indexWidget(row(1)) && list->indexWidget(row(1))->hasFocus());
        QTest::keyClicks(list->indexWidget(row(1)), u"no"_s);
        QTest::keyClick(list->indexWidget(row(1)), Qt::Key_Escape);
        QVERIFY(!f.controller.renamingPageIndex());
        QCOMPARE(f.service.pageTitles().at(1), QString());

        QVERIFY(!sidebar->noResultsLabel()->isVisible());
        f.controller.setToolbarSearchText(u"zzz"_s);
        QTRY_VERIFY(sidebar->noResultsLabel()->isVisible());

        // Filtered, the only row is the bullet list, page 2: Return and the row's menu act on it.
        f.controller.setToolbarSearchText(u"•"_s);
        QTRY_COMPARE(list->model()->rowCount(), 1);
        list->setCurrentIndex(row(0));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(f.service.currentPageIndex(), 2);
        f.controller.setToolbarSearchText(u"•"_s);
        QTRY_COMPARE(list->model()->rowCount(), 1);
        const auto choose = [&](int action) {
            QMenu *menu = sidebar->openRowMenu(0, list->viewport()->mapToGlobal(QPoint(20, 10)));
            menu->actions().at(action)->trigger();
            menu->close();
        };
        choose(0);
        QCOMPARE(f.controller.renamingPageIndex(), 2);
        f.controller.cancelRename();
        f.dialogs.destructiveAnswer = true;
        choose(1);
        QTRY_COMPARE(f.service.pages().size(), 3);
        QVERIFY(!f.service.pages().contains(u"• \n• \n• "_s));
    }

    // The keyboard's ring and the current page's plate agree after a document is loaded, also
    // when the current page keeps its number and when the ring was moved without choosing.
    void sidebarKeyboardPlaceFollowsALoadedDocument()
    {
        RootFixture f(true);
        f.service.setPages({u"a"_s, u"b"_s, u"c"_s});
        f.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QListView *list = f.sidebar()->list();
        const auto row = [list](int r) { return list->model()->index(r, 0); };
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row(2)).center());
        QCOMPARE(f.service.currentPageIndex(), 2);
        QVERIFY(list->hasFocus());

        const QString first = f.path(u"uno.brivel"_s);
        TestSupport::writeFile(
            first, SaveData::encode({u"x"_s, u"y"_s, u"z"_s}, {u"X"_s, u"Y"_s, u"Z"_s}));
        f.service.openDocument(first);
        QCOMPARE(f.service.currentPageIndex(), 0);
        QCOMPARE(list->currentIndex().row(), 0);

        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentIndex().row(), 1);
        const QString second = f.path(u"dos.brivel"_s);
        TestSupport::writeFile(second, SaveData::encode({u"p"_s, u"q"_s, u"r"_s, u"s"_s}, {}));
        f.service.openDocument(second);
        QCOMPARE(list->currentIndex().row(), 0);
    }

    // A row dragged above the first, down a place or below the last lands where it was
    // dropped, with its title, and becomes current; released outside the list or ended with
    // Esc, nothing moves.
    void sidebarDragMovesPages_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("before"); // the row it is dropped on the top half of
        QTest::addColumn<QString>("order");
        QTest::newRow("above the first") << 2 << 0 << u"cab"_s;
        QTest::newRow("down a place") << 0 << 2 << u"bac"_s;
        QTest::newRow("below the last") << 0 << 3 << u"bca"_s;
    }

    void sidebarDragMovesPages()
    {
        QFETCH(int, from);
        QFETCH(int, before);
        QFETCH(QString, order);
        RootFixture f(true);
        f.service.setPages({u"a"_s, u"b"_s, u"c"_s});
        f.service.setPageTitles({u"A"_s, u"B"_s, u"C"_s});
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QListView *list = f.sidebar()->list();
        QWidget *viewport = list->viewport();
        const auto top = [list](int row) {
            return row < 3 ? list->visualRect(list->model()->index(row, 0)).top()
                           : list->visualRect(list->model()->index(2, 0)).bottom() + 10;
        };
        const QPoint start = list->visualRect(list->model()->index(from, 0)).center();
        const auto send = [viewport](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
            QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton, buttons,
                              Qt::NoModifier);
            QApplication::sendEvent(viewport, &event);
        };
        const auto drag = [&](QPoint to, bool escape) {
            send(QEvent::MouseButtonPress, start, Qt::LeftButton);
            for (int step = 1; step <= 4; ++step)
                send(QEvent::MouseMove, start + (to - start) * step / 4, Qt::LeftButton);
            if (escape)
                QTest::keyClick(list, Qt::Key_Escape);
            send(QEvent::MouseButtonRelease, to, Qt::NoButton);
        };
        const QPoint target(20, top(before) + 2);
        drag(target, true);
        drag(QPoint(20, -40), false);
        QCOMPARE(f.service.pages(), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
        drag(target, false);
        QCOMPARE(f.service.pages(), order.split(u""_s, Qt::SkipEmptyParts));
        QCOMPARE(f.service.pageTitles(), order.toUpper().split(u""_s, Qt::SkipEmptyParts));
        QCOMPARE(f.service.currentPageIndex(), order.indexOf(QChar(u'a' + from)));
    }

    // A row draws the whole ink of its title, stacked signs above and below the line included,
    // inside its own bounds: nothing is cut off, nor drawn over the next row.
    void rowsHoldTheirTitlesWhole_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("Tibetan") << u"བསྒྲུབས་པའི་སྐྱོང་"_s;
        QTest::newRow("five dots below") << u"\u1ea0\u0323\u0323\u0323\u0323"_s;
    }

    void rowsHoldTheirTitlesWhole()
    {
        QFETCH(QString, title);
        RootFixture f(true);
        // The first row, which is not current: no plate under it.
        f.service.setCurrentPageIndex(1);
        f.service.setPageTitles({title});
        QListView *list = f.sidebar()->list();
        const QRect row = list->visualRect(list->model()->index(0, 0));
        const QRect drawn
            = TestSupport::inkBounds(TestSupport::render(*list->viewport()).copy(row));
        QPainterPath outline;
        outline.addText(0, 0, Fonts::systemFont(13, QFont::Normal), title);
        QVERIFY2(
            drawn.height() + 1 >= outline.boundingRect().height(),
            qPrintable(u"%1 of %2"_s.arg(drawn.height()).arg(outline.boundingRect().height())));
        QVERIFY(drawn.top() > 0 && drawn.bottom() < row.height() - 1);
    }

    // The header's field and the sidebar's rename start with the stored title: typing at its end
    // keeps every mark of a cluster the views show cut. Only a title too long to show starts cut.
    void titleFieldsStartWithTheStoredTitle()
    {
        RootFixture f(true);
        f.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        const QString title = u"Intro o"_s + TestSupport::marks(48) + u" fin"_s;
        f.service.setPageTitles({title, title});
        const auto typeAtTheEnd = [](QLineEdit *field) {
            QTRY_VERIFY(field->hasFocus());
            QTest::keyClick(field, Qt::Key_End);
            QTest::keyClicks(field, u" x"_s);
            QTest::keyClick(field, Qt::Key_Return);
        };
        f.toolbar()->titleButton()->click();
        typeAtTheEnd(f.toolbar()->titleField());
        QCOMPARE(f.service.pageTitles().at(0), title + u" x"_s);

        QListView *list = f.sidebar()->list();
        const auto renameField = [&](int row) {
            f.controller.startRename(row);
            return qobject_cast<QLineEdit *>(list->indexWidget(list->model()->index(row, 0)));
        };
        QLineEdit *field = renameField(1);
        QVERIFY(field);
        typeAtTheEnd(field);
        QCOMPARE(f.service.pageTitles().at(1), title + u" x"_s);

        const QString huge(9'000, u'T');
        f.service.setPageTitles({huge, huge});
        field = renameField(1);
        QVERIFY(field);
        QCOMPARE(field->text(), huge.left(DisplayText::maximumTitleLength));
    }

    // A title keeps the line breaks it was given; its row shows each of them as a space.
    void rowsShowLineBreaksAsSpaces_data()
    {
        QTest::addColumn<QString>("lineBreak");
        QTest::newRow("line feed") << u"\n"_s;
        QTest::newRow("carriage return") << u"\r"_s;
        QTest::newRow("line separator") << u"\u2028"_s;
        QTest::newRow("paragraph separator") << u"\u2029"_s;
    }

    void rowsShowLineBreaksAsSpaces()
    {
        QFETCH(QString, lineBreak);
        RootFixture f(true);
        f.service.setCurrentPageIndex(1);
        QListView *list = f.sidebar()->list();
        const auto row = [&](const QString &title) {
            f.service.setPageTitles({title});
            return TestSupport::render(*list->viewport())
                .copy(list->visualRect(list->model()->index(0, 0)));
        };
        QCOMPARE(row(u"Primera parte"_s + lineBreak + u"Segunda parte"_s),
                 row(u"Primera parte Segunda parte"_s));
    }

    // A title that begins right to left starts at the right of its row and of the toolbar, its
    // first word first.
    void titlesStartOnTheirOwnSide_data() { TestSupport::addLineStartRows(); }

    void titlesStartOnTheirOwnSide()
    {
        QFETCH(QString, line);
        QFETCH(QString, firstWord);
        QFETCH(Qt::LayoutDirection, direction);
        RootFixture f(true);
        f.service.setCurrentPageIndex(1);
        QListView *list = f.sidebar()->list();
        QAbstractButton *toolbarTitle = f.toolbar()->titleButton();
        const auto paint = [&](const QString &text) {
            f.service.setPageTitles({text, text});
            toolbarTitle->resize(toolbarTitle->sizeHint());
            // The first row, which is not current: no plate under it.
            const QRect row = list->visualRect(list->model()->index(0, 0));
            return std::pair{TestSupport::render(*list->viewport()).copy(row),
                             TestSupport::render(*toolbarTitle)};
        };
        const auto [rows, toolbar] = paint(line);
        const auto [firstRows, firstToolbar] = paint(firstWord);
        QVERIFY(TestSupport::beginsWith(rows, firstRows, direction));
        QVERIFY(TestSupport::beginsWith(toolbar, firstToolbar, direction));

        // So does the line of page text found under an untitled page's row.
        f.service.setPageTitles({});
        f.controller.setToolbarSearchText(firstWord);
        f.service.setPages({firstWord, u"x"_s});
        QTRY_VERIFY(f.sidebar()->model()->isUpToDate() && list->model()->rowCount() == 1);
        const QRect row = list->visualRect(list->model()->index(0, 0));
        const QRect snippet = TestSupport::inkBounds(
            TestSupport::render(*list->viewport()).copy(row.adjusted(0, row.height() / 2, 0, 0)));
        QCOMPARE(snippet.center().x() > row.width() / 2, direction == Qt::RightToLeft);
    }

    // The match is marked within the title's one layout: in a right-to-left title, a matched
    // second word stays on the left of the first.
    void matchKeepsItsPlaceInTheTitle()
    {
        RootFixture f(true);
        f.service.setCurrentPageIndex(1);
        f.service.setPageTitles({u"שלום עולם"_s});
        f.controller.setToolbarSearchText(u"עולם"_s);
        QListView *list = f.sidebar()->list();
        QTRY_VERIFY(f.sidebar()->model()->isUpToDate() && list->model()->rowCount() > 0);
        const QImage row = TestSupport::render(*list->viewport())
                               .copy(list->visualRect(list->model()->index(0, 0)));
        // The match in the accent colour, the rest in grey; faint edges tell neither.
        QRect match;
        QRect rest;
        for (int y = 0; y < row.height(); ++y) {
            for (int x = 0; x < row.width(); ++x) {
                const QRgb pixel = row.pixel(x, y);
                if (qAlpha(pixel) > 128 && qGreen(pixel) - qRed(pixel) > 40)
                    match |= QRect(x, y, 1, 1);
                else if (qAlpha(pixel) > 128 && qGreen(pixel) == qRed(pixel))
                    rest |= QRect(x, y, 1, 1);
            }
        }
        QVERIFY(!match.isEmpty() && !rest.isEmpty());
        QVERIFY(match.right() < rest.left());
    }

    // A match inside a word of joined letters leaves the letters before it joined to it, marks
    // between them or not: they are drawn as in the same title with the match elsewhere.
    void matchKeepsTheWordJoined_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("letters") << u"بالعالم x"_s;
        QTest::newRow("a mark before the match") << u"بالْعالم x"_s;
    }

    void matchKeepsTheWordJoined()
    {
        QFETCH(QString, title);
        RootFixture f(true);
        f.service.setPages({u"uno"_s, u"dos"_s});
        f.service.setCurrentPageIndex(1);
        f.service.setPageTitles({title});
        QListView *list = f.sidebar()->list();
        const auto rowFound = [&](const QString &query) {
            f.controller.setToolbarSearchText(query);
            return QTest::qWaitFor([&] {
                return f.sidebar()->model()->isUpToDate() && list->model()->rowCount() > 0;
            })
                       ? TestSupport::render(*list->viewport())
                             .copy(list->visualRect(list->model()->index(0, 0)))
                       : QImage();
        };
        const QImage inWord = rowFound(u"عالم"_s);
        const QImage elsewhere = rowFound(u"x"_s);
        QVERIFY(!inWord.isNull() && !elsewhere.isNull());
        // The match is drawn in the accent colour; right of it, the letters before it.
        int matchRight = -1;
        for (int y = 0; y < inWord.height(); ++y) {
            for (int x = 0; x < inWord.width(); ++x) {
                const QRgb pixel = inWord.pixel(x, y);
                if (qAlpha(pixel) > 128 && qGreen(pixel) - qRed(pixel) > 40)
                    matchRight = std::max(matchRight, x);
            }
        }
        QVERIFY(matchRight > 0);
        const QRect before(matchRight + 3, 0, inWord.width() - matchRight - 3, inWord.height());
        QVERIFY(!TestSupport::inkBounds(inWord.copy(before)).isEmpty());
        QVERIFY(TestSupport::beginsWith(elsewhere, inWord.copy(before), Qt::RightToLeft));
    }

    // The import button, at the foot of the sidebar, opens the panel and shows a turning
    // spinner while the import runs.
    void importButtonFollowsTheImport()
    {
        RootFixture f(true);
        f.service.setPages({QString()});
        QAbstractButton *button = f.sidebar()->importButton();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QVERIFY(button->isVisible());
        QCOMPARE(button->text(), localizedString("Importar presentación"));
        QVERIFY(button->mapTo(&f.window, QPoint()).y()
                > f.sidebar()->bulletsButton()->mapTo(&f.window, QPoint()).y());
        QVERIFY(QFile::copy(TEST_DATA_DIR u"/import/bench-500.pptx"_s, f.path(u"big.pptx"_s)));
        f.dialogs.openPanelAnswer = f.path(u"big.pptx"_s);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(f.dialogs.openPanels.size(), 1);
        QVERIFY(f.controller.isImporting());
        auto *importButton = static_cast<ImportPresentationButton *>(button);
        const int step = importButton->spinnerStep();
        QTRY_VERIFY(importButton->spinnerStep() != step || !f.controller.isImporting());
        QTRY_VERIFY(!f.controller.isImporting());
        QCOMPARE(f.service.pages().size(), 500);
    }
};

QTEST_MAIN(TestPagesSidebar)
#include "tst_pagessidebar.moc"
