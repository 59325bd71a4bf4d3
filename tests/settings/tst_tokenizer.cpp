#include "common/clusters.h"
#include "settings/displaytext.h"
#include "settings/tokenizer.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace Qt::StringLiterals;
using namespace TestSupport;

namespace {

QList<int> sorted(const QSet<int> &set)
{
    QList<int> list(set.cbegin(), set.cend());
    std::sort(list.begin(), list.end());
    return list;
}

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

int unitCellCalls = 0;
// Every code unit a cell of its own: Thai cut otherwise than Qt cuts it.
size_t unitCells(const unsigned char *, size_t, thcell_t *, int)
{
    ++unitCellCalls;
    return 1;
}

} // namespace

class TestTokenizer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cjkRangeBoundaries_data();
    void cjkRangeBoundaries();
    void tokenizeLine_data();
    void tokenizeLine();
    void tokenizeScript_data();
    void tokenizeScript();
    void characterCount_data();
    void characterCount();
    void charactersEndWhereQtEndsThem_data();
    void charactersEndWhereQtEndsThem();
    void thaiCountedByQtWhenCellsDiffer();
    void charOffsetForWordProgress_data();
    void charOffsetForWordProgress();
    void wordProgressForCharOffset_data();
    void wordProgressForCharOffset();
    void conversionsAgreeOverAMixedPage();
    void wordCharOffsetsAnswerAsTheWalk_data();
    void wordCharOffsetsAnswerAsTheWalk();
    void displayForm_data();
    void displayForm();
};

// One scalar on each side of every range edge; the astral rows also check that a surrogate
// pair is read as one scalar and never split into two words.
void TestTokenizer::cjkRangeBoundaries_data()
{
    QTest::addColumn<uint>("scalar");
    QTest::addColumn<bool>("cjk");

    const struct
    {
        uint first, last;
    } ranges[] = {{0x3040, 0x30FF}, {0xAC00, 0xD7AF},   {0x4E00, 0x9FFF},
                  {0x3400, 0x4DBF}, {0x20000, 0x2A6DF}, {0xF900, 0xFAFF}};
    for (const auto &r : ranges) {
        QTest::addRow("U+%04X - 1", r.first) << r.first - 1 << false;
        QTest::addRow("U+%04X", r.first) << r.first << true;
        QTest::addRow("U+%04X", r.last) << r.last << true;
        QTest::addRow("U+%04X + 1", r.last) << r.last + 1 << false;
    }
}

void TestTokenizer::cjkRangeBoundaries()
{
    QFETCH(uint, scalar);
    QFETCH(bool, cjk);

    QCOMPARE(isCJKScalar(scalar), cjk);
    const QString character = fromScalar(scalar);
    const QString line = u"a"_s + character + u"b"_s;
    QCOMPARE(containsCJK(line), cjk);
    const QStringList expected = cjk ? QStringList{u"a"_s, character, u"b"_s} : QStringList{line};
    QCOMPARE(::tokenizeLine(line), expected);
}

void TestTokenizer::tokenizeLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("words");

    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("only whitespace") << u" \t\u00A0\u3000\n"_s << QStringList();
    QTest::newRow("runs of spaces") << u"  uno   dos  "_s << QStringList{u"uno"_s, u"dos"_s};
    QTest::newRow("line feed") << u"uno\ndos"_s << QStringList{u"uno"_s, u"dos"_s};
    QTest::newRow("every kind of whitespace")
        << u"a\tb\u00A0c\u3000d\u2003e\u2028f\u202Fg\u0085h\u1680i"_s
        << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"g"_s, u"h"_s, u"i"_s};
    QTest::newRow("zero-width space joins") << u"a\u200Bb"_s << QStringList{u"a\u200Bb"_s};
    QTest::newRow("latin around ideographs")
        << u"ab漢字cd"_s << QStringList{u"ab"_s, u"漢"_s, u"字"_s, u"cd"_s};
    QTest::newRow("punctuation outside the ranges stays a run")
        << u"「漢字」です。"_s
        << QStringList{u"「"_s, u"漢"_s, u"字"_s, u"」"_s, u"で"_s, u"す"_s, u"。"_s};
    QTest::newRow("hangul") << u"안녕 하세요"_s
                            << QStringList{u"안"_s, u"녕"_s, u"하"_s, u"세"_s, u"요"_s};
    QTest::newRow("astral ideographs")
        << u"\U00020000\U0002A6DF"_s << QStringList{u"\U00020000"_s, u"\U0002A6DF"_s};
    // U+3099 lies in the kana range but extends the character before it.
    QTest::newRow("kana with combining voiced mark")
        << u"か\u3099き"_s << QStringList{u"か\u3099"_s, u"き"_s};
    QTest::newRow("combining voiced mark on latin")
        << u"xa\u3099y漢"_s << QStringList{u"xa\u3099y"_s, u"漢"_s};
    QTest::newRow("variation selector stays on its ideograph")
        << u"漢\U000E0100字"_s << QStringList{u"漢\U000E0100"_s, u"字"_s};
    QTest::newRow("emoji between ideographs")
        << u"漢\U0001F44D\U0001F3FD字"_s
        << QStringList{u"漢"_s, u"\U0001F44D\U0001F3FD"_s, u"字"_s};
    QTest::newRow("accented latin beside an ideograph")
        << u"cafe\u0301漢"_s << QStringList{u"cafe\u0301"_s, u"漢"_s};
}

void TestTokenizer::tokenizeLine()
{
    QFETCH(QString, line);
    QFETCH(QStringList, words);
    QCOMPARE(::tokenizeLine(line), words);
}

void TestTokenizer::tokenizeScript_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QList<int>>("lineBreaks");

    QTest::newRow("empty") << QString() << QStringList() << QList<int>();
    QTest::newRow("only blanks") << u" \n\n\t\n "_s << QStringList() << QList<int>();
    QTest::newRow("blank lines add no break")
        << u"uno dos\n\n\ntres"_s << QStringList{u"uno"_s, u"dos"_s, u"tres"_s} << QList<int>{2};
    QTest::newRow("leading and trailing blank lines")
        << u"\n\nuno\ndos\n\n"_s << QStringList{u"uno"_s, u"dos"_s} << QList<int>{1};
    QTest::newRow("whitespace-only line")
        << u"uno\n \t \ndos"_s << QStringList{u"uno"_s, u"dos"_s} << QList<int>{1};
    QTest::newRow("every line breaks")
        << u"a b\nc\nd e"_s << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s}
        << QList<int>{2, 3};
    QTest::newRow("crlf") << u"uno\r\ndos\r\n"_s << QStringList{u"uno"_s, u"dos"_s}
                          << QList<int>{1};
    QTest::newRow("line separator is only a space")
        << u"uno\u2028dos"_s << QStringList{u"uno"_s, u"dos"_s} << QList<int>();
    QTest::newRow("ideograph lines")
        << u"漢字\nかな"_s << QStringList{u"漢"_s, u"字"_s, u"か"_s, u"な"_s} << QList<int>{2};
}

void TestTokenizer::tokenizeScript()
{
    QFETCH(QString, text);
    QFETCH(QStringList, words);
    QFETCH(QList<int>, lineBreaks);

    const TokenizedScript script = ::tokenizeScript(text);
    QCOMPARE(script.words, words);
    QCOMPARE(sorted(script.lineBreaks), lineBreaks);
}

void TestTokenizer::characterCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");

    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("ascii") << u"a\tb"_s << 3;
    QTest::newRow("precomposed accent") << u"café"_s << 4;
    QTest::newRow("combining accent") << u"cafe\u0301"_s << 4;
    QTest::newRow("two combining marks") << u"e\u0301\u0323"_s << 1;
    QTest::newRow("flag") << u"\U0001F1E6\U0001F1F7"_s << 1;
    QTest::newRow("two flags") << u"\U0001F1E6\U0001F1F7\U0001F1E7\U0001F1F7"_s << 2;
    QTest::newRow("family") << u"\U0001F468\u200D\U0001F469\u200D\U0001F467"_s << 1;
    QTest::newRow("skin tone") << u"\U0001F44D\U0001F3FD"_s << 1;
    QTest::newRow("astral ideograph") << u"\U00020000"_s << 1;
    QTest::newRow("conjoining jamo") << u"\u1100\u1161\u11A8"_s << 1;
    QTest::newRow("crlf") << u"a\r\nb"_s << 3;
    // The baht sign belongs to no script: a mark after it joins it in Latin text, not in Thai.
    QTest::newRow("baht and mark after Latin") << u"a \u0E3F\u0E31"_s << 3;
    QTest::newRow("baht and mark after Thai") << u"\u0E01 \u0E3F\u0E31"_s << 4;
    // Pages of these scripts are counted a unit at a time, save where a unit joins its neighbour.
    QTest::newRow("ideographs and ideographic space") << u"漢\u3000字。"_s << 4;
    QTest::newRow("kana and voicing mark") << u"か\u3099き"_s << 2;
    QTest::newRow("half-width kana and voicing mark") << u"\uFF76\uFF9E\uFF77"_s << 2;
    QTest::newRow("syllable and trailing jamo") << u"가\u11A8나"_s << 2;
    QTest::newRow("syllable and tone mark") << u"가\u302E나"_s << 2;
}

void TestTokenizer::characterCount()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QCOMPARE(::characterCount(text), count);
}

// Thai is cut without Qt's finder; every cut must still be Qt's, wherever Thai meets other text.
// The texts open with a letter: Qt gives leading emoji and digits the script of the first letter
// and, if that is Thai, cuts them into code units, which nothing here imitates.
void TestTokenizer::charactersEndWhereQtEndsThem_data()
{
    QTest::addColumn<QStringList>("pieces");
    QStringList thai;
    for (char16_t u = 0x0E01; u <= 0x0E5B; ++u) {
        if (u < 0x0E3B || u > 0x0E3E)
            thai << QString(QChar(u));
    }
    QTest::newRow("Thai") << thai;
    QTest::newRow("Thai and ASCII")
        << thai + QStringList{u" "_s, u" "_s, u"\n"_s, u"a"_s, u"Z"_s, u"7"_s, u","_s, u"!"_s};
    const QStringList others{u" "_s,
                             u" "_s,
                             u"\r\n"_s,
                             u"\u00A0"_s,
                             u"a"_s,
                             u"\u00E9"_s,
                             u"\u0301"_s,
                             u"\u0600"_s,
                             u"\u0915\u094D"_s,
                             u"\U0001F44D\U0001F3FD"_s,
                             u"\U0001F1E6\U0001F1F7"_s};
    QTest::newRow("Thai among other scripts") << thai + others;
    QTest::newRow("CJK among marks and jamo")
        << QStringList{u"漢"_s,     u"か"_s,     u"カ"_s,     u"\uFF76"_s, u"가"_s,     u"\u3000"_s,
                       u"、"_s,     u"\uFF01"_s, u"a"_s,      u"\u3099"_s, u"\uFF9E"_s, u"\u1100"_s,
                       u"\u1161"_s, u"\u11A8"_s, u"\u302E"_s, u"\u0301"_s, u"\r\n"_s};
}

void TestTokenizer::charactersEndWhereQtEndsThem()
{
    QFETCH(QStringList, pieces);
    QRandomGenerator random(32);
    for (int round = 0; round < 400; ++round) {
        QString text = round % 2 ? u"ก"_s : u"a"_s;
        const int length = int(random.bounded(1, 40));
        for (int i = 0; i < length; ++i)
            text += pieces[random.bounded(int(pieces.size()))];

        std::vector<qsizetype> expected;
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
        for (qsizetype end = finder.toNextBoundary(); end != -1; end = finder.toNextBoundary())
            expected.push_back(end);
        std::vector<qsizetype> ends;
        appendCharacterEnds(text, ends);
        QVERIFY2(ends == expected, qPrintable(text));
        QCOMPARE(::characterCount(text), int(expected.size()));
    }
}

void TestTokenizer::thaiCountedByQtWhenCellsDiffer()
{
    const auto restore = qScopeGuard([] { CharacterEndsTesting::useThaiCellFinder(nullptr); });
    QVERIFY(CharacterEndsTesting::useThaiCellFinder(nullptr));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"libthai cuts Thai otherwise"_s));
    QVERIFY(!CharacterEndsTesting::useThaiCellFinder(unitCells));
    QVERIFY(unitCellCalls > 0);

    const QString text = u"น้ำใจ ที่นี่"_s;
    std::vector<qsizetype> expected;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype end = finder.toNextBoundary(); end != -1; end = finder.toNextBoundary())
        expected.push_back(end);
    QCOMPARE(expected.size(), 6u);
    std::vector<qsizetype> ends;
    appendCharacterEnds(text, ends);
    QCOMPARE(ends, expected);
    QCOMPARE(WordCharOffsets(::tokenizeLine(text)).totalCharCount(), 6);
}

void TestTokenizer::charOffsetForWordProgress_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("limit");
    QTest::addColumn<double>("progress");
    QTest::addColumn<int>("offset");

    const QStringList abCde{u"ab"_s, u"cde"_s};
    QTest::newRow("start") << abCde << 6 << 0.0 << 0;
    QTest::newRow("inside first word") << abCde << 6 << 0.99 << 1;
    QTest::newRow("second word") << abCde << 6 << 1.0 << 3;
    QTest::newRow("half of second word") << abCde << 6 << 1.5 << 4;
    QTest::newRow("end") << abCde << 6 << 2.0 << 6;
    QTest::newRow("past the end") << abCde << 6 << 5.0 << 6;
    QTest::newRow("beyond int") << abCde << 6 << 1e300 << 6;
    QTest::newRow("limit clips") << abCde << 4 << 2.0 << 4;
    QTest::newRow("negative") << abCde << 6 << -1.5 << 0;
    QTest::newRow("nan") << abCde << 6 << notANumber << 0;
    QTest::newRow("infinity") << abCde << 6 << infinity << 0;
    QTest::newRow("minus infinity") << abCde << 6 << -infinity << 0;
    QTest::newRow("no words") << QStringList() << 6 << 3.0 << 0;
    QTest::newRow("graphemes, not code units")
        << QStringList{u"e\u0301x"_s, u"\U0001F1E6\U0001F1F7"_s, u"漢"_s} << 100 << 2.0 << 5;
    QTest::newRow("fraction of a combining word")
        << QStringList{u"e\u0301e\u0301"_s} << 100 << 0.5 << 1;
}

void TestTokenizer::charOffsetForWordProgress()
{
    QFETCH(QStringList, words);
    QFETCH(int, limit);
    QFETCH(double, progress);
    QFETCH(int, offset);
    QCOMPARE(::charOffsetForWordProgress(words, limit, progress), offset);
}

void TestTokenizer::wordProgressForCharOffset_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("offset");
    QTest::addColumn<double>("progress");

    const QStringList abCde{u"ab"_s, u"cde"_s};
    QTest::newRow("start") << abCde << 0 << 0.0;
    QTest::newRow("inside first word") << abCde << 1 << 0.5;
    QTest::newRow("end of first word") << abCde << 2 << 1.0;
    QTest::newRow("start of second word") << abCde << 3 << 1.0;
    QTest::newRow("inside second word") << abCde << 4 << 1.0 + 1.0 / 3;
    QTest::newRow("end of second word") << abCde << 6 << 2.0;
    QTest::newRow("past the end") << abCde << 7 << 2.0;
    QTest::newRow("negative") << abCde << -5 << 0.0;
    QTest::newRow("no words") << QStringList() << 5 << 0.0;
    QTest::newRow("graphemes, not code units")
        << QStringList{u"\U0001F468\u200D\U0001F469\u200D\U0001F467x"_s, u"y"_s} << 3 << 1.0;
    QTest::newRow("empty word") << QStringList{QString(), u"ab"_s} << 2 << 1.5;
}

void TestTokenizer::wordProgressForCharOffset()
{
    QFETCH(QStringList, words);
    QFETCH(int, offset);
    QFETCH(double, progress);
    QCOMPARE(::wordProgressForCharOffset(offset, words), progress);
}

// Progress travels between word index and character offset in both directions: a word start
// must survive the round trip exactly, and a point inside a word may only fall back by less
// than one character.
void TestTokenizer::conversionsAgreeOverAMixedPage()
{
    const TokenizedScript script
        = ::tokenizeScript(u"Érase una vez, cafe\u0301 y te\u0301.\n"
                           u"\n"
                           u"日本語の文章と\U00020000\U00020001、が\u3099んば\u3099って!\n"
                           u"Flags \U0001F1E6\U0001F1F7\U0001F1E7\U0001F1F7 and family "
                           u"\U0001F468\u200D\U0001F469\u200D\U0001F467 \U0001F44D\U0001F3FD.\n"
                           u"한국어 문장\u3000ok\n"_s);
    const QStringList &words = script.words;
    QVERIFY(words.size() > 30);

    constexpr int unlimited = std::numeric_limits<int>::max();
    int previous = -1;
    for (int k = 0; k <= words.size(); ++k) {
        const int offset = ::charOffsetForWordProgress(words, unlimited, k);
        QVERIFY2(offset > previous, qPrintable(u"word %1"_s.arg(k)));
        previous = offset;
        QCOMPARE(::wordProgressForCharOffset(offset, words), double(k));

        if (k == words.size())
            break;
        const double inside = k + 0.5;
        const double back = ::wordProgressForCharOffset(
            ::charOffsetForWordProgress(words, unlimited, inside), words);
        const int length = std::max(::characterCount(words[k]), 1);
        QVERIFY2(back <= inside && back > inside - 1.0 / length - 1e-9,
                 qPrintable(u"word %1 came back as %2"_s.arg(k).arg(back)));
    }
}

void TestTokenizer::wordCharOffsetsAnswerAsTheWalk_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::newRow("no words") << QStringList();
    QTest::newRow("empty words") << QStringList{QString(), u"ab"_s, QString()};
    QTest::newRow("cues")
        << ::tokenizeScript(u"[Pausa] Hola a todos.\n[Mira al público] ¡Gracias!"_s).words;
    QTest::newRow("mixed scripts")
        << ::tokenizeScript(
               u"Érase cafe\u0301 y te\u0301.\n日本語の文章と\U00020000、が\u3099んば\u3099って!\n"
               u"\U0001F1E6\U0001F1F7 \U0001F468\u200D\U0001F469\u200D\U0001F467 한국어 문장"_s)
               .words;
    QTest::newRow("Thai") << ::tokenizeScript(u"สวัสดีครับ วันนี้อากาศดี น้ำใจ"_s).words;
    // Clusters reaching over the space: a mark opening a word, a sign that binds what follows.
    QTest::newRow("clusters across a space")
        << QStringList{u"a"_s, u"\u0301b"_s, u"\u0600"_s, u"12"_s};
}

// The offsets table must give the walk's answers to the bit, wherever it is asked: inside
// words, on their edges, before the start, past the end, with the limit clipping.
void TestTokenizer::wordCharOffsetsAnswerAsTheWalk()
{
    QFETCH(QStringList, words);
    const WordCharOffsets offsets(words);
    const int total
        = ::charOffsetForWordProgress(words, std::numeric_limits<int>::max(), double(words.size()));
    QCOMPARE(offsets.totalCharCount(), ::characterCount(words.join(u' ')));

    QList<double> progresses{notANumber, infinity, -infinity, -0.5, 1e300};
    for (double progress = 0; progress <= words.size() + 2; progress += 0.15)
        progresses << progress;
    for (int limit : {std::numeric_limits<int>::max(), std::max(total - 3, 0)}) {
        for (double progress : progresses) {
            QCOMPARE(offsets.charOffsetForWordProgress(limit, progress),
                     ::charOffsetForWordProgress(words, limit, progress));
        }
    }
    for (int offset = -2; offset <= total + 3; ++offset) {
        const double fast = offsets.wordProgressForCharOffset(offset);
        const double walked = ::wordProgressForCharOffset(offset, words);
        QVERIFY2(fast == walked,
                 qPrintable(u"offset %1: %2, walked %3"_s.arg(offset).arg(fast).arg(walked)));
    }
}

// What the views show of a text: each cluster longer than the limit keeps only its start, never
// half a surrogate pair; everything else is shown as stored.
void TestTokenizer::displayForm_data()
{
    constexpr int limit = DisplayText::maximumClusterLength;
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");

    const QString prose = u"una frase co\u0301mo cualquiera "_s.repeated(10);
    QTest::newRow("prose") << prose << prose;
    const QString atLimit = u"a"_s + marks(limit - 1);
    QTest::newRow("cluster at the limit") << atLimit + u" b"_s << atLimit + u" b"_s;
    QTest::newRow("one mark more")
        << u"x "_s + atLimit + marks(1) + u" b"_s << u"x "_s + atLimit + u" b"_s;
    QTest::newRow("50,000 marks") << u"a"_s + marks(50'000) << atLimit;
    // Thai words are counted in libthai's cells, between two cuts counted by Qt's rules.
    const QString thai = u" สวัสดีครับ น้ำใจ a"_s;
    QTest::newRow("Thai between giant clusters")
        << atLimit + marks(100) + thai + marks(40) << atLimit + thai + marks(limit - 1);
    QTest::newRow("marks alone") << marks(3'000) + u"z"_s << marks(limit) + u"z"_s;
    QTest::newRow("two giant clusters")
        << u"a"_s + marks(100) + u"b"_s + marks(100) << atLimit + u"b"_s + marks(limit - 1);
    const QString emoji = joined(U'\U0001F469', 100'000);
    QTest::newRow("joined emoji") << emoji << emoji.left(limit);
    // After one letter, skin-tone modifiers put the limit inside a surrogate pair, which the
    // start leaves out.
    const QString tones = u"a"_s + fromScalar(U'\U0001F3FD').repeated(100);
    QTest::newRow("astral marks") << tones << tones.left(limit - 1);
    const QString signs = joined(U'\u00a9', 1'000);
    QTest::newRow("joined copyright signs") << signs + u" c"_s << signs.left(limit) + u" c"_s;
    const QString jamo = u"\u1100"_s.repeated(40);
    QTest::newRow("conjoining jamo") << jamo << jamo.left(limit);
}

void TestTokenizer::displayForm()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(DisplayText::shown(text), shown);
    // Nothing is hidden where nothing is cut: an empty run would still cost a placeholder.
    QCOMPARE(DisplayText::hiddenRuns(text).isEmpty(), shown == text);
    // Counting is left to the stored text.
    if (text.startsWith(u'a'))
        QCOMPARE(::characterCount(text), ::characterCount(shown));

    // A title shows at most a line's worth of its display form, cut between clusters.
    const QString title = DisplayText::title(QString(u"  "_s + text + u"  "_s));
    QVERIFY(title.size() <= DisplayText::maximumTitleLength);
    QVERIFY(shown.startsWith(title));
    if (text.size() <= DisplayText::maximumTitleLength)
        QCOMPARE(title, shown.trimmed());
}

QTEST_GUILESS_MAIN(TestTokenizer)
#include "tst_tokenizer.moc"
