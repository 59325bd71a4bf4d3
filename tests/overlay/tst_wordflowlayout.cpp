#include "overlay/wordflowlayout.h"
#include "platform/fonts.h"
#include "settings/tokenizer.h"

#include <QFontMetricsF>
#include <QScopeGuard>
#include <QTest>

#include <algorithm>

namespace {

using namespace Qt::StringLiterals;

constexpr int lineWidth = 300;

WordFlowLayout laidOut(const QString &text)
{
    WordFlowLayout layout;
    layout.setFont(Fonts::systemFont(16, QFont::Normal));
    layout.setWidth(lineWidth);
    const TokenizedScript script = tokenizeScript(text);
    layout.setContent(script.words, script.lineBreaks);
    layout.ensureLayout();
    return layout;
}

// The words of a line as they stand from left to right.
QList<int> visualOrder(const WordFlowLayout &layout, int line)
{
    QList<int> order;
    for (int i = layout.lineFirstItem(line); i < layout.lineEndItem(line); ++i)
        order << i;
    std::sort(order.begin(), order.end(),
              [&layout](int a, int b) { return layout.items().at(a).x < layout.items().at(b).x; });
    return order;
}

// What a line shows from left to right: each word, or each piece of a word drawn in pieces, as
// the text it draws.
QStringList shownLeftToRight(const WordFlowLayout &layout, int line)
{
    const qreal space = QFontMetricsF(layout.font()).horizontalAdvance(u' ');
    QList<std::pair<qreal, QString>> shown;
    for (int i = layout.lineFirstItem(line); i < layout.lineEndItem(line); ++i) {
        const WordItem &item = layout.items().at(i);
        if (item.pieceCount == 0)
            shown.append({item.x + (item.spaceOnLeft ? space : 0), item.word});
        for (int k = item.firstPiece; k < item.firstPiece + item.pieceCount; ++k) {
            const WordPiece &piece = layout.pieces().at(k);
            shown.append({piece.x, item.word.sliced(piece.start, piece.length)});
        }
    }
    std::sort(shown.begin(), shown.end());
    QStringList texts;
    for (const auto &[x, text] : shown)
        texts << text;
    return texts;
}

} // namespace

class TestWordFlowLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void giantWordShowsOnlyWhatTheLineHolds_data();
    void giantWordShowsOnlyWhatTheLineHolds();
    void rightToLeftParagraphs_data();
    void rightToLeftParagraphs();
    void punctuationStandsWhereTheParagraphPutsIt_data();
    void punctuationStandsWhereTheParagraphPutsIt();
    void everyRightToLeftCharacterIsResolved();
    void newFontMeasuresWordsAgain_data();
    void newFontMeasuresWordsAgain();
    void numbersAreReadAsWords_data();
    void numbersAreReadAsWords();
};

void TestWordFlowLayout::giantWordShowsOnlyWhatTheLineHolds_data()
{
    QTest::addColumn<QString>("giant");
    QTest::addColumn<bool>("rightToLeft");
    QString decomposed;
    for (int i = 0; i < 499'000; ++i)
        decomposed += u"a\u0301"_s;
    QTest::newRow("998,000 units of decomposed á") << decomposed << false;
    QTest::newRow("300,000 Hebrew letters") << QString(300'000, QChar(0x05D0)) << true;
}

// A word wider than the line stays alone on it, is measured and drawn from its start only as
// far as the line shows, and is counted as stored.
void TestWordFlowLayout::giantWordShowsOnlyWhatTheLineHolds()
{
    QFETCH(QString, giant);
    QFETCH(bool, rightToLeft);
    const WordFlowLayout layout = laidOut(giant + u" dos"_s);
    QCOMPARE(layout.lineCount(), 2);
    QCOMPARE(layout.lineEndItem(0), 1);
    const WordItem &item = layout.items().at(0);
    QVERIFY(item.isClipped());
    QVERIFY(item.width > lineWidth);
    QVERIFY2(layout.measuredUnits() < 2'000, "the giant word was shaped beyond the line");
    QCOMPARE(layout.items().at(1).charOffset, characterCount(giant) + 1);
    // Its start is what shows: at the left edge, or at the right one for a right-to-left word.
    QCOMPARE(rightToLeft ? item.x + item.width : item.x, rightToLeft ? qreal(lineWidth) : 0.0);
}

void TestWordFlowLayout::rightToLeftParagraphs_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QList<int>>("leftToRight");
    QTest::addColumn<bool>("startsRight");
    QTest::newRow("Hebrew words of 1 to 5 letters")
        << u"א בב גגג דדדד ההההה"_s << 0 << QList<int>{4, 3, 2, 1, 0} << true;
    // Numbers and Latin words keep their own order, each run where the editor shows it.
    QTest::newRow("Hebrew with a year and English")
        << u"שלום עולם 2024 Hello World סוף"_s << 0 << QList<int>{5, 3, 4, 2, 1, 0} << true;
    QTest::newRow("Arabic with Arabic digits")
        << u"مرحبا ١٢ بالعالم"_s << 0 << QList<int>{2, 1, 0} << true;
    QTest::newRow("Hebrew inside English")
        << u"Hello שלום עולם end"_s << 0 << QList<int>{0, 2, 1, 3} << false;
    QTest::newRow("each paragraph its own direction")
        << u"English first\nעברית שנייה"_s << 1 << QList<int>{3, 2} << true;
    QTest::newRow("a paragraph opening with a number")
        << u"3 ילדים"_s << 0 << QList<int>{1, 0} << true;
    // A word wider than the line, short enough to be measured whole, shows its own start.
    QTest::newRow("wide Latin word in a right-to-left paragraph")
        << u"שלום "_s + QString(40, u'w') + u" עולם"_s << 1 << QList<int>{1} << false;
    QTest::newRow("wide Hebrew word in a left-to-right paragraph")
        << u"hello "_s + QString(50, QChar(0x05D0)) + u" end"_s << 1 << QList<int>{1} << true;
}

// A paragraph whose first strong character reads right to left starts at the right edge with
// its words in reading order; taps and highlights follow, since they go by these positions.
void TestWordFlowLayout::rightToLeftParagraphs()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(QList<int>, leftToRight);
    QFETCH(bool, startsRight);
    const WordFlowLayout layout = laidOut(text);
    QCOMPARE(visualOrder(layout, line), leftToRight);
    const WordItem &first = layout.items().at(layout.lineFirstItem(line));
    if (startsRight)
        QCOMPARE(first.x + first.width, qreal(lineWidth));
    else
        QCOMPARE(first.x, 0.0);
    // Neighbours, whatever their directions, stand one space apart, and their boxes (what a tap
    // hits) meet.
    const qreal space = QFontMetricsF(layout.font()).horizontalAdvance(u' ');
    const auto glyphsLeft
        = [&](const WordItem &item) { return item.x + (item.spaceOnLeft ? space : 0); };
    for (qsizetype k = 1; k < leftToRight.size(); ++k) {
        const WordItem &left = layout.items().at(leftToRight[k - 1]);
        const WordItem &right = layout.items().at(leftToRight[k]);
        QCOMPARE(right.x, left.x + left.width);
        QCOMPARE(glyphsLeft(right) - (glyphsLeft(left) + left.width - space), space);
    }
}

void TestWordFlowLayout::punctuationStandsWhereTheParagraphPutsIt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("leftToRight");
    QTest::newRow("a number's signs after an Arabic letter")
        << u"و 4.5%. مُحَمَّدٌ"_s << QStringList{u"مُحَمَّدٌ"_s, u"%."_s, u"4.5"_s, u"و"_s};
    QTest::newRow("Latin in brackets")
        << u"مرحبا (CGJ). بالعالم"_s
        << QStringList{u"بالعالم"_s, u")."_s, u"CGJ"_s, u"("_s, u"مرحبا"_s};
    QTest::newRow("quoted English in Arabic")
        << u"قال \"Hello, World!\" لي"_s
        << QStringList{u"لي"_s, u"!\""_s, u"Hello,"_s, u"World"_s, u"\""_s, u"قال"_s};
    QTest::newRow("English words in Persian")
        << u"این English words. است"_s
        << QStringList{u"است"_s, u"."_s, u"English"_s, u"words"_s, u"این"_s};
    QTest::newRow("a range of percentages")
        << u"הנחה 5%-10% היום"_s << QStringList{u"היום"_s, u"10%"_s, u"-"_s, u"5%"_s, u"הנחה"_s};
    QTest::newRow("percentage at a paragraph's end")
        << u"النسبة 50%"_s << QStringList{u"%"_s, u"50"_s, u"النسبة"_s};
    QTest::newRow("Hebrew ending an English paragraph")
        << u"Hello שלום!"_s << QStringList{u"Hello"_s, u"שלום"_s, u"!"_s};
    // A pair of brackets keeps to the paragraph's direction around right-to-left words.
    QTest::newRow("Arabic in brackets in an English paragraph")
        << u"book (كتاب) שלום"_s << QStringList{u"book"_s, u"("_s, u"كتاب"_s, u")"_s, u"שלום"_s};
}

// A line shows its characters in the order the bidirectional algorithm gives the paragraph, as
// the editor shows them; a word whose characters it orders apart takes the taps on each piece.
void TestWordFlowLayout::punctuationStandsWhereTheParagraphPutsIt()
{
    QFETCH(QString, text);
    QFETCH(QStringList, leftToRight);
    const WordFlowLayout layout = laidOut(text);
    QCOMPARE(layout.lineCount(), 1);
    QCOMPARE(shownLeftToRight(layout, 0), leftToRight);
    const qreal middle = layout.wordCenterY(0);
    for (int i = 0; i < layout.wordCount(); ++i) {
        const WordItem &item = layout.items().at(i);
        for (int k = item.firstPiece; k < item.firstPiece + item.pieceCount; ++k) {
            const WordPiece &piece = layout.pieces().at(k);
            QCOMPARE(layout.wordAt({piece.x + piece.width / 2, middle}), i);
        }
    }
}

// Directions are resolved only on pages that may read right to left: no character that does may
// escape that look. Two of them after a Latin word read from right to left.
void TestWordFlowLayout::everyRightToLeftCharacterIsResolved()
{
    // Measuring scripts that no installed font shapes makes Qt say so, font by font.
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (!message.contains(u"OpenType support missing"))
                previous(type, context, message);
        });
    const auto restore = qScopeGuard([] { qInstallMessageHandler(previous); });
    WordFlowLayout layout;
    layout.setFont(Fonts::systemFont(16, QFont::Normal));
    layout.setWidth(lineWidth);
    int checked = 0;
    for (char32_t scalar = 0; scalar <= 0x10FFFF; ++scalar) {
        const QChar::Direction direction = QChar::direction(scalar);
        if ((scalar >= 0xD800 && scalar <= 0xDFFF)
            || (direction != QChar::DirR && direction != QChar::DirAL && direction != QChar::DirAN))
            continue;
        const QString word = QString::fromUcs4(&scalar, 1);
        layout.setContent({u"abc"_s, word, word}, {});
        layout.layoutFor(0);
        QVERIFY2(layout.items().at(1).level > 0, qPrintable(u"U+%1"_s.arg(uint(scalar), 4, 16)));
        ++checked;
    }
    QVERIFY(checked > 1'000);
}

void TestWordFlowLayout::newFontMeasuresWordsAgain_data()
{
    QTest::addColumn<QString>("word");
    QTest::newRow("a word") << u"hola"_s;
    QTest::newRow("one character") << u"漢"_s;
}

// Words are measured once per font: after a change of size none keeps its old width, and the
// words after it do not overlap it.
void TestWordFlowLayout::newFontMeasuresWordsAgain()
{
    QFETCH(QString, word);
    WordFlowLayout layout;
    layout.setWidth(1000);
    layout.setContent({word, word}, {});
    layout.setFont(Fonts::systemFont(16, QFont::Normal));
    layout.ensureLayout();
    const QFont larger = Fonts::systemFont(32, QFont::Normal);
    layout.setFont(larger);
    layout.ensureLayout();
    const QFontMetricsF metrics(larger);
    const qreal width = metrics.horizontalAdvance(word) + metrics.horizontalAdvance(u' ');
    QCOMPARE(layout.items().at(0).width, width);
    QCOMPARE(layout.items().at(1).x, width);
}

void TestWordFlowLayout::numbersAreReadAsWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain text") << u"2024 fue"_s;
    QTest::newRow("text counted by clusters") << u"2024 cafe\u0301"_s;
}

// Digits are letters of a word: a number is no cue, and it is read once the highlight passes
// its last digit, not as soon as it touches the first.
void TestWordFlowLayout::numbersAreReadAsWords()
{
    QFETCH(QString, text);
    const WordFlowLayout layout = laidOut(text);
    const WordItem &year = layout.items().at(0);
    QCOMPARE(year.letterCount, 4);
    QVERIFY(!year.isAnnotation);
    QVERIFY(!WordFlowLayout::isRead(year, 1));
    QVERIFY(WordFlowLayout::isRead(year, 4));
}

QTEST_MAIN(TestWordFlowLayout)
#include "tst_wordflowlayout.moc"
