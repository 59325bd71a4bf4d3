#include "common/rendering.h"
#include "overlay/floatingpagelist.h"
#include "overlay/model/overlaycontent.h"
#include "overlay/pagelist.h"
#include "overlay/pagepickerview.h"
#include "overlay/pagetitletoggle.h"

#include "settings/notchsettings.h"

#include <QApplication>
#include <QPainter>
#include <QTest>
#include <QWheelEvent>

#include <array>

namespace {

using TestSupport::beginsWith;
using TestSupport::inkBounds;
using TestSupport::render;
using TestSupport::withoutFill;

QStringList pages(int count, const QString &prefix)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << prefix + QString::number(i + 1);
    return list;
}

// Whether the line ends, on the given side, in marks as low as those of `dots` (a "…" may come
// from the font of the text it ends): its last columns, as many as the dots take, hold no ink
// above them.
bool endsWithDots(const QImage &line, const QImage &dots, Qt::LayoutDirection side)
{
    const QRect whole = inkBounds(line);
    const QRect marks = inkBounds(dots);
    const int left = side == Qt::LeftToRight ? whole.left() : whole.right() - marks.width() + 1;
    const QRect end = inkBounds(line.copy(left, 0, marks.width(), line.height()));
    return !marks.isEmpty() && !end.isEmpty() && end.top() >= marks.top() - 2
           && end.bottom() <= marks.bottom() + 2;
}

// The picker's height in a pinned panel with 160 points of room.
int pinnedHeight(int pageCount)
{
    return int(PagePickerView::fittedHeight(pageCount, 160));
}

// A shown picker of the given pages, 340 wide like the pinned panel's, as high as it gives it.
struct ShownPicker
{
    explicit ShownPicker(int pageCount, int highlight = 0)
    {
        content.setPageCount(pageCount);
        content.setPageTitles(pages(pageCount, u"Página "_qs));
        content.setHighlightedPickerIndex(highlight);
        view.resize(340, pinnedHeight(pageCount));
        view.show();
    }

    void click(const QPointF &position)
    {
        QWidget *target = view.childAt(position.toPoint());
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&view, position.toPoint()));
    }

    double offCentre(int row) const { return view.rowRect(row).center().y() - view.height() / 2.0; }

    OverlayContent content;
    PagePickerView view{content};
};

} // namespace

class TestPagePicker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pageLabel_data();
    void pageLabel();
    void longLabelIsElidedInsideItsRow();
    void labelStartsOnItsOwnSide_data();
    void labelStartsOnItsOwnSide();
    void emptyDocumentShowsOnlyTheHeader();
    void headerStaysInsideANarrowPanel();
    void onlyTheHighlightedRowIsTinted();
    void clickingARowRequestsItsPage();
    void highlightMovesScrollItsRowToTheCentre();
    void freshlyShownListShowsItsHighlight();
    void wheelScrollsWithoutScrollBars();
};

void TestPagePicker::pageLabel_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("previews");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");
    const QStringList previews{u" Hola a todos "_qs, QString(), u"Cierre"_qs};
    QTest::newRow("title trimmed")
        << u"es"_qs << QStringList{u"\n  Intro \t"_qs} << previews << 0 << u"Intro"_qs;
    QTest::newRow("blank title: preview as stored")
        << u"es"_qs << QStringList{u" \n\t "_qs} << previews << 0 << u" Hola a todos "_qs;
    QTest::newRow("blank title, no preview")
        << u"es"_qs << QStringList{QString(), u"  "_qs} << previews << 1 << u"Vacío"_qs;
    QTest::newRow("titles run out")
        << u"es"_qs << QStringList{u"Intro"_qs} << previews << 2 << u"Cierre"_qs;
    QTest::newRow("both run out") << u"es"_qs << QStringList{u"Intro"_qs} << previews << 5
                                  << u"Vacío"_qs;
    QTest::newRow("english") << u"en"_qs << QStringList() << QStringList() << 0 << u"Empty"_qs;
}

void TestPagePicker::pageLabel()
{
    QFETCH(QString, language);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, previews);
    QFETCH(int, index);
    QFETCH(QString, expected);
    NotchSettings::shared().setAppLanguage(language);
    OverlayContent content;
    content.setPageCount(6);
    content.setPageTitles(titles);
    content.setPagePreviews(previews);

    QCOMPARE(::pageLabel(content, index), expected);
    NotchSettings::shared().setAppLanguage(u"es"_qs);
}

void TestPagePicker::longLabelIsElidedInsideItsRow()
{
    QImage image(400, 40, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QRectF rect(10, 10, 200, 20);
    {
        QPainter painter(&image);
        paintPageRowText(painter, rect, 41, QString(300, u'W'), {12, 12, 20});
    }
    const QRect ink = inkBounds(image);
    QVERIFY(!ink.isEmpty());
    QVERIFY2(ink.right() <= rect.right() + 1, qPrintable(QString::number(ink.right())));
}

// In both page lists and in the footer, each painted as its widget paints it, a title that begins
// right to left starts at the right, its first word first, and a long one ends in "…" at the left.
void TestPagePicker::labelStartsOnItsOwnSide_data()
{
    TestSupport::addLineStartRows();
}

void TestPagePicker::labelStartsOnItsOwnSide()
{
    QFETCH(QString, line);
    QFETCH(QString, firstWord);
    QFETCH(Qt::LayoutDirection, direction);
    OverlayContent content;
    content.setPageCount(2);
    content.setHighlightedPickerIndex(1);
    PagePickerView picker(content);
    picker.resize(340, pinnedHeight(2));
    picker.show();
    FloatingPageList floating(content);
    floating.resize(340, 220);
    floating.show();
    PageTitleToggle footerTitle(NotchSettings::shared());
    footerTitle.resize(300, 20);
    // The first row's label, from just before it to where the row rounds off, without the fill.
    const auto rowLabel = [](PageList &list, int labelStart, int radius) {
        const QImage image = render(list);
        const QRect row = list.rowRect(0).toRect();
        const QRgb fill = image.pixel(row.left() + 2, row.center().y());
        return withoutFill(image.copy(row.left() + labelStart - 3, row.top(),
                                      row.width() - labelStart + 3 - radius, row.height()),
                           fill);
    };
    const auto paint = [&](const QString &label) {
        content.setPageTitles({label});
        footerTitle.setText(label);
        // Without the symbol before the footer's title.
        return std::array{rowLabel(picker, 34, 6), rowLabel(floating, 42, 8),
                          render(footerTitle).copy(17, 0, 283, 20)};
    };
    const auto lines = paint(line);
    const auto starts = paint(firstWord);
    const auto longLines = paint(QStringList(12, line).join(u' '));
    const auto ellipses = paint(u"…"_qs);
    const auto end = direction == Qt::RightToLeft ? Qt::LeftToRight : Qt::RightToLeft;
    for (int view = 0; view < 3; ++view) {
        QVERIFY2(beginsWith(lines[view], starts[view], direction),
                 qPrintable(QString::number(view)));
        QVERIFY2(beginsWith(longLines[view], starts[view], direction),
                 qPrintable(QString::number(view)));
        QVERIFY2(endsWithDots(longLines[view], ellipses[view], end),
                 qPrintable(QString::number(view)));
    }
}

void TestPagePicker::emptyDocumentShowsOnlyTheHeader()
{
    ShownPicker empty(0);
    ShownPicker one(1);
    QVERIFY(empty.view.rowRect(0).isNull());
    const QRect header = inkBounds(render(empty.view));
    QVERIFY(!header.isEmpty());
    QVERIFY(header.bottom() < one.view.rowRect(0).top());
    QVERIFY(inkBounds(render(one.view)).bottom() >= one.view.rowRect(0).bottom() - 1);
}

// The pinned panel's list is the notch width less its insets: the key hints end inside it, in
// either language, and the title makes room for them.
void TestPagePicker::headerStaysInsideANarrowPanel()
{
    for (const QString &language : {u"es"_qs, u"en"_qs}) {
        NotchSettings::shared().setAppLanguage(language);
        for (const int width : {308, 248}) {
            OverlayContent content;
            content.setPageCount(0);
            PagePickerView view(content);
            view.resize(width, 60);
            view.show();
            const QRect ink = inkBounds(render(view));
            QVERIFY2(
                ink.left() >= 11 && ink.right() <= width - 12,
                qPrintable(
                    u"%1 %2: %3..%4"_qs.arg(language).arg(width).arg(ink.left()).arg(ink.right())));
        }
    }
    NotchSettings::shared().setAppLanguage(u"es"_qs);
}

void TestPagePicker::onlyTheHighlightedRowIsTinted()
{
    ShownPicker picker(4, 2);
    const QImage image = render(picker.view);
    for (int row = 0; row < 4; ++row) {
        // A point of the fill right of the text.
        const QPoint sample(int(picker.view.rowRect(row).right()) - 4,
                            int(picker.view.rowRect(row).center().y()));
        const QColor colour = image.pixelColor(sample);
        QCOMPARE(colour.green() > colour.red() + 40, row == 2);
    }
}

void TestPagePicker::clickingARowRequestsItsPage()
{
    ShownPicker picker(8, 1);
    picker.content.setIsCollapsed(true);
    picker.content.setIsMiniMode(true);

    picker.click(QPointF(20, 12)); // the header
    QCOMPARE(picker.content.jumpToPageNotesMode(), std::nullopt);

    picker.click(picker.view.rowRect(3).center());
    QCOMPARE(picker.content.isCollapsed(), false);
    QCOMPARE(picker.content.isMiniMode(), false);
    QCOMPARE(picker.content.jumpToPageNotesMode(), std::optional(3));
    QCOMPARE(picker.content.highlightedPickerIndex(), 1);
}

void TestPagePicker::highlightMovesScrollItsRowToTheCentre()
{
    ShownPicker picker(20);
    picker.content.setHighlightedPickerIndex(10);
    QTRY_VERIFY2(qAbs(picker.offCentre(10)) <= 1,
                 qPrintable(QString::number(picker.offCentre(10))));

    // The last row cannot reach the centre: the list stops at its end.
    picker.content.setHighlightedPickerIndex(19);
    QTRY_COMPARE(picker.view.rowRect(19).bottom() + 8, picker.view.height());
}

// Opened on the current page, wherever it is: centred where the list can scroll, else with the
// list at its end, the last row whole above the padding.
void TestPagePicker::freshlyShownListShowsItsHighlight()
{
    for (const auto &[count, highlight] : {std::pair(5, 4), std::pair(9, 8), std::pair(20, 10)}) {
        OverlayContent content;
        content.setPageCount(count);
        PagePickerView view(content);
        view.resize(340, pinnedHeight(count));
        content.setHighlightedPickerIndex(highlight);
        view.show();
        const QRectF row = view.rowRect(highlight);
        if (highlight == count - 1)
            QCOMPARE(row.bottom() + 8, view.height());
        else
            QVERIFY2(qAbs(row.center().y() - view.height() / 2.0) <= 1,
                     qPrintable(QString::number(row.center().y())));

        // Shown again after a while away, it places the highlight anew.
        view.hide();
        content.setHighlightedPickerIndex(0);
        view.show();
        QCOMPARE(view.scrollOffset(), 0);
    }

    // Sized after it is shown, as a panel lays it out, it keeps the highlight in place.
    OverlayContent content;
    content.setPageCount(20);
    content.setHighlightedPickerIndex(6);
    PagePickerView view(content);
    view.resize(340, 40);
    view.show();
    view.resize(340, pinnedHeight(20));
    QVERIFY(qAbs(view.rowRect(6).center().y() - view.height() / 2.0) <= 1);
}

void TestPagePicker::wheelScrollsWithoutScrollBars()
{
    ShownPicker picker(20);
    const double top = picker.view.rowRect(0).top();
    QWidget *list = picker.view.childAt(picker.view.rowRect(1).center().toPoint());
    QVERIFY(list);
    QWheelEvent wheel(QPointF(50, 50), picker.view.mapToGlobal(QPointF(50, 50)), {}, {0, -120},
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list->parentWidget(), &wheel);
    QVERIFY(picker.view.rowRect(0).top() < top);
}

QTEST_MAIN(TestPagePicker)
#include "tst_pagepicker.moc"
