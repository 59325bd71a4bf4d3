#include "common/appfakes.h"
#include "document/reviewsessioncounter.h"
#include "editor/editorpane.h"
#include "editor/editortoolbar.h"
#include "editor/highlightingtexteditor.h"
#include "editor/model/editorcontroller.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

struct Fixture : ServiceFixture
{
    explicit Fixture(const QStringList &pages, int current = 0)
    {
        store.setValue(u"hasCompletedOnboarding"_s, true);
        service.setPages(pages);
        service.setPageTitles(QStringList(pages.size(), QString()));
        service.setCurrentPageIndex(current);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(toolbar);
        layout->addWidget(pane);
        window.resize(640, 420);
        window.show();
        window.activateWindow();
    }

    ReviewSessionCounter counter{store};
    EditorController controller{service, settings, store, counter};
    QWidget window;
    EditorToolbar *toolbar = new EditorToolbar(controller, service, &window);
    EditorPane *pane = new EditorPane(controller, service, &window);
};

} // namespace

class TestEditorWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pageButtonsFollowTheDocument_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("previous");
        QTest::addColumn<bool>("next");
        QTest::newRow("single page") << 1 << 0 << false << false;
        QTest::newRow("first of three") << 3 << 0 << false << true;
        QTest::newRow("middle") << 3 << 1 << true << true;
        QTest::newRow("last") << 3 << 2 << true << false;
    }

    void pageButtonsFollowTheDocument()
    {
        QFETCH(int, count);
        QFETCH(int, current);
        QStringList pages;
        for (int i = 0; i < count; ++i)
            pages << u"page %1"_s.arg(i);
        Fixture f(pages, current);
        QTEST(f.toolbar->previousButton()->isEnabled(), "previous");
        QTEST(f.toolbar->nextButton()->isEnabled(), "next");
        QCOMPARE(f.toolbar->deleteButton()->isEnabled(), count >= 2);
        // Adding a page moves to it, which ends the way forward and opens the way back.
        f.toolbar->addButton()->click();
        QCOMPARE(f.service.currentPageIndex(), count);
        QVERIFY(f.toolbar->previousButton()->isEnabled());
        QVERIFY(!f.toolbar->nextButton()->isEnabled());
        QVERIFY(f.toolbar->deleteButton()->isEnabled());
    }

    void titleEditCommitsTrimmed_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("return") << int(Qt::Key_Return);
        QTest::newRow("escape") << int(Qt::Key_Escape);
    }

    void titleEditCommitsTrimmed()
    {
        QFETCH(int, key);
        Fixture f({u"a"_s, u"b"_s}, 1);
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.toolbar->titleButton()->click();
        QVERIFY(f.toolbar->titleField()->isVisible());
        QTRY_VERIFY(f.toolbar->titleField()->hasFocus());
        QTest::keyClicks(f.toolbar->titleField(), u"  Intro "_s);
        QCOMPARE(f.service.pageTitles().value(1), u"  Intro "_s);
        QTest::keyClick(f.toolbar->titleField(), Qt::Key(key));
        QCOMPARE(f.service.pageTitles().value(1), u"Intro"_s);
        QVERIFY(!f.toolbar->titleField()->isVisible());
        QCOMPARE(f.toolbar->titleButton()->text(), u"Intro"_s);
    }

    void typingReachesTheCurrentPage()
    {
        Fixture f({u"first"_s, u"second"_s}, 1);
        QCOMPARE(f.pane->editor()->text(), u"second"_s);
        f.pane->editor()->setCaretPosition(3);
        QTest::keyClicks(f.pane->editor(), u"XY"_s);
        QTest::keyClick(f.pane->editor(), Qt::Key_Backspace);
        QCOMPARE(f.service.pages(), (QStringList{u"first"_s, u"secXond"_s}));
    }

    void pageChangeReloadsTheText()
    {
        Fixture f({u"first"_s, u"second"_s});
        f.toolbar->nextButton()->click();
        QCOMPARE(f.pane->editor()->text(), u"second"_s);
        QTest::keyClicks(f.pane->editor(), u"!"_s);
        QCOMPARE(f.service.pages(), (QStringList{u"first"_s, u"!second"_s}));
        // A document replaced from outside is shown as it is.
        f.service.setPages({u"loaded"_s, u"other"_s});
        QCOMPARE(f.pane->editor()->text(), u"other"_s);
        f.toolbar->previousButton()->click();
        QCOMPARE(f.pane->editor()->text(), u"loaded"_s);
    }

    // The window root decides where the keys go: on show the text takes them, so typing never
    // lands on a toolbar button; starting to read takes them away.
    void textFocusFollowsTheController()
    {
        Fixture f({u"first"_s});
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.controller.initialSetup();
        QTRY_VERIFY(f.pane->editor()->hasFocus());
        auto *elsewhere = new QLineEdit(&f.window);
        elsewhere->show();
        elsewhere->setFocus();
        QVERIFY(!f.controller.isTextFocused());
        f.pane->editor()->setFocus();
        QVERIFY(f.controller.isTextFocused());
        f.controller.setIsTextFocused(false);
        QVERIFY(!f.pane->editor()->hasFocus());
    }

    void playStartsReading()
    {
        Fixture f({u"  "_s, u""_s});
        QVERIFY(!f.pane->playButton()->isEnabled());
        f.pane->editor()->setFocus();
        QTest::keyClicks(f.pane->editor(), u"Hola"_s);
        QVERIFY(f.pane->playButton()->isEnabled());
        f.pane->playButton()->click();
        QVERIFY(f.controller.isRunning());
        QCOMPARE(f.service.pages().value(0), u"Hola  "_s);
        QCOMPARE(f.overlay.lastLoad.text.trimmed(), u"Hola"_s);
        QVERIFY(!f.pane->playButton()->isEnabled());
        QVERIFY(!f.pane->slashButton()->isEnabled());
    }

    void searchAndCopyDriveTheController()
    {
        Fixture f({u"Uno"_s, u"Dos"_s});
        QString copied;
        f.controller.copyTextHandler = [&copied](const QString &text) { copied = text; };
        f.toolbar->copyButton()->click();
        QCOMPARE(copied, u"Uno"_s);
        QVERIFY(f.pane->copiedToast()->isVisible());

        QVERIFY(!f.toolbar->searchField()->isVisible());
        f.toolbar->searchButton()->click();
        QVERIFY(f.toolbar->searchField()->isVisible());
        QTest::keyClicks(f.toolbar->searchField(), u"dos"_s);
        QCOMPARE(f.controller.filteredPageIndices(), QList<int>{1});
        f.controller.closeToolbarSearch();
        // The box fades out before it leaves.
        QTRY_VERIFY(!f.toolbar->searchField()->isVisible());
        QVERIFY(f.toolbar->searchField()->text().isEmpty());
    }
};

QTEST_MAIN(TestEditorWidgets)
#include "tst_editorwidgets.moc"
