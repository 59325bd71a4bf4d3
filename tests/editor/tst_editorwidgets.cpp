#include "common/appfakes.h"
#include "document/reviewsessioncounter.h"
#include "editor/aboutview.h"
#include "editor/coachmarkoverlay.h"
#include "editor/contentview.h"
#include "editor/editorpane.h"
#include "editor/editortoolbar.h"
#include "editor/highlightingtexteditor.h"
#include "editor/importpresentationbutton.h"
#include "editor/model/editorcontroller.h"
#include "editor/pagessidebar.h"
#include "editor/rootfixture.h"
#include "settings/displaytext.h"
#include "settings/localization.h"
#include "uikit/overlayscroller.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
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

// Types into the window as the keyboard does: the keys reach whatever holds the focus.
void typeIntoWindow(QWidget &window, const QString &text)
{
    for (const QChar c : text)
        QTest::keyClick(window.windowHandle(), c.toLatin1());
}

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

        // A title far too long to show opens cut in the field; left unedited, it stays whole.
        const QString huge(9'000'000, u'T');
        f.service.setPageTitles({QString(), huge});
        f.toolbar->titleButton()->click();
        QTRY_VERIFY(f.toolbar->titleField()->hasFocus());
        QCOMPARE(f.toolbar->titleField()->text(), huge.left(DisplayText::maximumTitleLength));
        QTest::keyClick(f.toolbar->titleField(), Qt::Key(key));
        QCOMPARE(f.service.pageTitles().value(1), huge);
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

    // A click on a header button leaves the keys with the text: what is typed next lands in the
    // page, and a Space never presses the button again.
    void keysGoWhereTheUserTypes_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("pageCount");
        QTest::addColumn<int>("current");
        QTest::newRow("add") << u"add"_s << 3 << 2;
        QTest::newRow("next") << u"next"_s << 2 << 1;
        QTest::newRow("copy") << u"copy"_s << 2 << 0;
        QTest::newRow("delete, kept") << u"delete"_s << 2 << 0;
        QTest::newRow("title, Return") << u"title"_s << 2 << 0;
    }

    void keysGoWhereTheUserTypes()
    {
        QFETCH(QString, button);
        QFETCH(int, pageCount);
        QFETCH(int, current);
        RootFixture f(true);
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QTRY_VERIFY(f.pane()->editor()->hasFocus());
        EditorToolbar *toolbar = f.toolbar();
        const QMap<QString, QAbstractButton *> buttons{{u"add"_s, toolbar->addButton()},
                                                       {u"next"_s, toolbar->nextButton()},
                                                       {u"copy"_s, toolbar->copyButton()},
                                                       {u"delete"_s, toolbar->deleteButton()},
                                                       {u"title"_s, toolbar->titleButton()}};
        QTest::mouseClick(buttons.value(button), Qt::LeftButton);
        if (button == u"title") {
            QTRY_VERIFY(toolbar->titleField()->hasFocus());
            typeIntoWindow(f.window, u"X\r"_s);
            QCOMPARE(f.service.pageTitles().value(0), u"IntroX"_s);
        }
        typeIntoWindow(f.window, u"Hola "_s);
        QCOMPARE(f.service.pages().size(), pageCount);
        QCOMPARE(f.service.currentPageIndex(), current);
        QVERIFY2(f.service.currentPageText().contains(u"Hola "_s),
                 qPrintable(f.service.currentPageText()));
        QVERIFY(f.pane()->editor()->hasFocus());
    }

    void deleteAsksWithTheQuestionInTheBody()
    {
        RootFixture f(true);
        f.toolbar()->deleteButton()->click();
        QCOMPARE(f.dialogs.destructiveQuestions,
                 QList<QStringList>({{localizedString("¿Eliminar esta página?"),
                                      localizedString("Se perderá el contenido de esta página."),
                                      localizedString("Eliminar")}}));
        QCOMPARE(f.service.pages().size(), 2);
        QVERIFY(!f.controller.pendingDeleteIndex());
        f.dialogs.destructiveAnswer = true;
        f.toolbar()->deleteButton()->click();
        QCOMPARE(f.service.pages(), QStringList{u"two"_s});
    }

    // The first-run view has its own size and cannot be resized; the editor only has a minimum.
    void windowSizeFollowsTheView()
    {
        RootFixture f(false);
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QCOMPARE(f.view->size(), ContentView::firstRunSize);
        const QSize chrome = f.window.size() - ContentView::firstRunSize;
        QCOMPARE(f.window.minimumSize(), f.window.size());
        QCOMPARE(f.window.maximumSize(), f.window.size());
        f.controller.onboardingCompleted();
        QCOMPARE(f.window.minimumSize(), ContentView::editorMinimumSize + chrome);
        QCOMPARE(f.window.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    }

    // However long a title, the window's minimum stays, and at that size every control of the
    // header and the pane lies inside the window, with the search closed or open.
    void longTitleNeverWidensTheWindow()
    {
        RootFixture f(true);
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        const QSize minimum = f.window.minimumSize();
        f.service.setPageTitles({QString(2000, u'W'), QString()});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCOMPARE(f.window.minimumSize(), minimum);
        QVERIFY(f.toolbar()->minimumSizeHint().width() < ContentView::editorMinimumSize.width());
        EditorToolbar *toolbar = f.toolbar();
        // In the window the first run leaves, the title gives way: "Ajustes" keeps its label.
        f.window.resize(720, minimum.height());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QTRY_COMPARE(toolbar->settingsButton()->width(),
                     toolbar->settingsButton()->sizeHint().width());
        f.window.resize(minimum);
        for (const bool searchOpen : {false, true}) {
            if (searchOpen)
                toolbar->searchButton()->click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            QTRY_COMPARE(toolbar->searchField()->isVisible(), searchOpen);
            QList<QWidget *> controls{
                toolbar->previousButton(), toolbar->nextButton(),   toolbar->titleButton(),
                toolbar->deleteButton(),   toolbar->copyButton(),   toolbar->addButton(),
                toolbar->settingsButton(), f.pane()->slashButton(), f.pane()->playButton()};
            controls << (searchOpen ? static_cast<QWidget *>(toolbar->searchField())
                                    : toolbar->searchButton());
            int right = 0;
            for (QWidget *control : controls) {
                const QRect place(control->mapTo(&f.window, QPoint()), control->size());
                QVERIFY2(control->isVisible() && f.window.rect().contains(place),
                         control->metaObject()->className());
                QVERIFY(control->width() > 0);
                if (control == toolbar->titleButton())
                    right = place.right();
            }
            // The title ends before the page actions begin.
            QVERIFY(right < toolbar->deleteButton()->mapTo(&f.window, QPoint()).x());
        }
    }

    // The position shows on a long page while it scrolls, then fades away; a page that fits
    // never shows it.
    void scrollBarShowsOnlyWhileScrolling()
    {
        Fixture f({QStringList(300, u"línea"_s).join(u'\n'), u"corta"_s});
        HighlightingTextEditor *editor = f.pane->editor();
        auto *scroller = editor->findChild<OverlayScroller *>();
        QVERIFY(scroller);
        QVERIFY(!scroller->isVisible());
        QVERIFY(!editor->verticalScrollBar()->isVisible());
        const auto wheelDown = [editor] {
            const QPointF at = editor->viewport()->rect().center();
            QWheelEvent wheel(at, editor->viewport()->mapToGlobal(at), {}, {0, -120}, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(editor->viewport(), &wheel);
        };
        wheelDown();
        QVERIFY(scroller->isVisible());
        QCOMPARE(scroller->opacity(), 1.0);
        const QRectF thumb = scroller->thumbRect();
        QVERIFY(thumb.top() > OverlayScroller::inset);
        QVERIFY(thumb.height() < scroller->height() / 2);
        QTRY_VERIFY_WITH_TIMEOUT(!scroller->isVisible(), OverlayScroller::lingerMs + 2000);

        f.toolbar->nextButton()->click();
        wheelDown();
        QVERIFY(!scroller->isVisible());
    }

    void searchAndCopyDriveTheController()
    {
        Fixture f({u"Uno"_s, u"Dos"_s});
        QString copied;
        f.controller.copyTextHandler = [&copied](const QString &text) { copied = text; };
        f.toolbar->copyButton()->click();
        QCOMPARE(copied, u"Uno"_s);
        QVERIFY(f.pane->copiedToast()->isVisible());
        // It leaves by itself.
        QTRY_VERIFY_WITH_TIMEOUT(!f.pane->copiedToast()->isVisible(),
                                 EditorController::copiedToastDurationMs + 2000);

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
    // Drags of files anywhere over the pane, the text included, show the highlight and drop
    // into the import; a drop of text is left to the editor. The window root shows the alert.
    void filesDropOnThePane()
    {
        RootFixture f(true);
        f.service.setPages({QString()});
        EditorPane *pane = f.pane();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        const QString deck = f.path(u"deck.pptx"_s);
        QVERIFY(QFile::copy(TEST_DATA_DIR u"/import/three-slides.pptx"_s, deck));
        QWidget *viewport = pane->editor()->viewport();
        const QPoint over = viewport->rect().center();

        QMimeData text;
        text.setText(u"plain words"_s);
        QDragEnterEvent textEnter(over, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &textEnter);
        QVERIFY(!f.controller.isDroppingPresentation());

        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(deck), QUrl::fromLocalFile(f.path(u"x.key"_s))});
        QDragEnterEvent enter(over, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        QVERIFY(enter.isAccepted());
        QVERIFY(f.controller.isDroppingPresentation());
        QVERIFY(pane->dropHighlight()->isVisible());
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(viewport, &leave);
        QVERIFY(!pane->dropHighlight()->isVisible());

        QCoreApplication::sendEvent(viewport, &enter);
        QDropEvent drop(QPointF(over), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &drop);
        QVERIFY(drop.isAccepted());
        QVERIFY(!f.controller.isDroppingPresentation());
        QTRY_COMPARE(f.service.pages().size(), 2);
        QCOMPARE(f.service.currentPageText(), u"Notas de la primera"_s);

        QMimeData key;
        key.setUrls({QUrl::fromLocalFile(f.path(u"deck.key"_s))});
        const QPoint margin = pane->rect().topLeft() + QPoint(2, 2);
        QDragEnterEvent keyEnter(margin, Qt::CopyAction, &key, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pane, &keyEnter);
        QDropEvent keyDrop(QPointF(margin), Qt::CopyAction, &key, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pane, &keyDrop);
        QTRY_COMPARE(f.dialogs.alerts.size(), 1);
        QCOMPARE(f.dialogs.alerts.first().message, localizedString("Conversión requerida"));
        QVERIFY(!f.controller.dropError());
    }

    // Above a target in the lower half, below one in the upper half, and whatever the target,
    // the card (of the assumed height, or taller) stays 16 points inside.
    void coachCardStaysInsideBesideItsTarget()
    {
        const QSizeF container(680, 400);
        const QRectF inside = QRectF(QPointF(), container).adjusted(16, 16, -16, -16);
        for (const QSizeF card : {QSizeF(260, 150), QSizeF(260, 100), QSizeF(260, 300)}) {
            for (int y = -40; y <= 440; y += 40) {
                for (int x = -40; x <= 720; x += 80) {
                    const QRectF anchor(x, y, 40, 30);
                    const QPointF centre = CoachMarkOverlay::cardCenter(container, anchor, card);
                    const QRectF placed(centre - QPointF(card.width(), card.height()) / 2, card);
                    QVERIFY2(inside.contains(placed), qPrintable(u"%1,%2"_s.arg(x).arg(y)));
                }
            }
        }
        const QSizeF card(260, 150);
        const QRectF low(300, 330, 40, 30);
        QCOMPARE(CoachMarkOverlay::cardCenter(container, low, card).y(), low.top() - 10 - 75);
        const QRectF high(300, 60, 40, 30);
        QCOMPARE(CoachMarkOverlay::cardCenter(container, high, card).y(), high.bottom() + 10 + 75);
        const QPainterPath scrim = CoachMarkOverlay::scrimPath(QRectF(0, 0, 680, 400), high);
        QVERIFY(scrim.contains(QPointF(5, 5)));
        QVERIFY(!scrim.contains(high.center()));
    }

    // The tour at the window's minimum: each card beside its target and inside the page, the
    // button holding the keys (Return, Tab, Space), a click anywhere advancing, a hidden target
    // showing nothing, and the end giving the keys back and starting to read.
    void tourWalksItsTargetsAndHoldsTheKeys()
    {
        RootFixture f(true, false);
        f.window.resize(f.window.minimumSizeHint());
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        auto *tour = f.view->findChild<CoachMarkOverlay *>();
        QWidget *editor = f.pane()->editor();
        QVERIFY(tour->isHidden());
        QCOMPARE(QApplication::focusWidget(), editor);
        QTRY_COMPARE(f.controller.coachMarkStep(), 1);
        const QList<QWidget *> targets{editor, f.toolbar()->settingsButton(),
                                       f.pane()->playButton()};
        for (int step = 1; step <= 3; ++step) {
            QCOMPARE(f.controller.coachMarkStep(), step);
            QWidget *target = targets.at(step - 1);
            QVERIFY(tour->isVisible());
            QCOMPARE(tour->anchorRect(),
                     QRectF(tour->mapFrom(&f.window, target->mapTo(&f.window, QPoint())),
                            target->size()));
            QVERIFY(tour->rect().contains(
                tour->card()->geometry().marginsRemoved(QMargins(20, 20, 20, 20))));
            QCOMPARE(QApplication::focusWidget(), tour->button());
            if (step == 1) {
                QTest::keyClick(f.window.windowHandle(), Qt::Key_Return);
            } else if (step == 2) {
                QTest::keyClick(f.window.windowHandle(), Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), tour->button());
                QTest::mouseClick(tour, Qt::LeftButton, {}, QPoint(4, tour->height() - 4));
            }
        }
        QCOMPARE(tour->titleLabel()->text(), u"Start teleprompter"_s); // C locale: English
        f.pane()->playButton()->hide();
        QVERIFY(tour->isHidden());
        f.pane()->playButton()->show();
        QVERIFY(tour->isVisible());
        QCOMPARE(QApplication::focusWidget(), tour->button());
        QTest::keyClick(f.window.windowHandle(), Qt::Key_Space);
        QCOMPARE(f.controller.coachMarkStep(), 0);
        QVERIFY(tour->isHidden());
        QCOMPARE(QApplication::focusWidget(), editor);
        QCOMPARE(f.store.boolValue(u"hasCompletedCoachMarks"_s), true);
        QTRY_VERIFY(f.controller.isRunning());
    }

    // From the menu command: exactly 320 wide, window-modal, the version or 1.0 without one,
    // the icon drawn from the bundled image; Esc and Return close it.
    void aboutSheetShowsTheVersionAndClosesOnKeys()
    {
        RootFixture f(true);
        for (const QString &version : {QString(), u"2.5"_s}) {
            QCoreApplication::setApplicationVersion(version);
            f.controller.openAbout();
            auto *about = f.window.findChild<AboutView *>();
            QVERIFY(about);
            QVERIFY(QTest::qWaitForWindowExposed(about));
            QCOMPARE(about->width(), 320);
            QCOMPARE(about->windowModality(), Qt::WindowModal);
            QVERIFY(about->okButton()->isDefault());
            QCOMPARE(about->versionLabel()->text(),
                     u"Version %1"_s.arg(version.isEmpty() ? u"1.0"_s : version));
            QImage icon(AboutView::iconSide, AboutView::iconSide,
                        QImage::Format_ARGB32_Premultiplied);
            icon.fill(Qt::transparent);
            about->iconView()->render(&icon, {}, {}, QWidget::DrawChildren);
            QCOMPARE(qAlpha(icon.pixel(40, 40)), 255);
            QTest::keyClick(about, version.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
            QVERIFY(!f.controller.showAbout());
            QTRY_VERIFY(!f.window.findChild<AboutView *>());
        }
        QCoreApplication::setApplicationVersion({});
    }
};

QTEST_MAIN(TestEditorWidgets)
#include "tst_editorwidgets.moc"
