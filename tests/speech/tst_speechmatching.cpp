#include "settings/tokenizer.h"
#include "speech/speechmatching.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString workshop = u"Hola a todos [Pausa] bienvenidos al taller de hoy"_s;
// A cue of three words: "[Mira al público]" spans 5 to 22.
const QString lookUp = u"Hola [Mira al público] a todos"_s;
// "é" written as "e" and a combining acute accent: one character, two scalars.
const QString decomposed = u"Cafe\u0301 con leche y pan"_s;
// A waving hand with a skin tone: one character, two scalars, four UTF-16 units.
const QString emoji = u"Hola \U0001F44B\U0001F3FD amigos"_s;

} // namespace

class TestSpeechMatching : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void normalizeForMatching_data();
    void normalizeForMatching();
    void wordComparison_data();
    void wordComparison();
    void matchers_data();
    void matchers();
    void longMatchAgreesWithWholeTextLowerCasing();
    void cuesEndWithTheirLine();
};

void TestSpeechMatching::normalizeForMatching_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normalized");
    QTest::newRow("punctuation") << u"¡Hola, Señor! ¿42?"_s << u"hola señor 42"_s;
    QTest::newRow("combining mark dropped") << u"Cafe\u0301"_s << u"cafe"_s;
    QTest::newRow("full lower-casing") << u"İ"_s << u"i"_s;
    QTest::newRow("emoji dropped") << u"\U0001F44B hi"_s << u" hi"_s;
    QTest::newRow("astral letter kept") << u"\U00010400x"_s << u"\U00010428x"_s;
}

void TestSpeechMatching::normalizeForMatching()
{
    QFETCH(QString, text);
    QFETCH(QString, normalized);
    QCOMPARE(::normalizeForMatching(text), normalized);
}

void TestSpeechMatching::wordComparison_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("distance"); // -1: not asked for empty keys
    QTest::addColumn<bool>("similar");
    const auto row = [](const QString &a, const QString &b, int distance, bool similar) {
        QTest::newRow(QString(a + u'/' + b).toUtf8().constData()) << a << b << distance << similar;
    };
    row(u"al"_s, u"el"_s, 1, true);
    row(u"de"_s, u"del"_s, 1, true); // prefix
    row(u"uno"_s, u"dos"_s, 3, false);
    row(u"a"_s, u"y"_s, 1, true);
    row(u"taller"_s, u"taler"_s, 1, true); // common prefix 3 of 5
    row(u"hola"_s, u"ola"_s, 1, true);     // containment
    row(u""_s, u"a"_s, -1, false);         // contained in anything, still no word
    row(u"casa"_s, u"cosa"_s, 1, true);    // prefix too short
    row(u"mesa"_s, u"rosa"_s, 2, false);
    row(u"perro"_s, u"cerdo"_s, 2, true);
    row(u"kitten"_s, u"sitting"_s, 3, false);
    row(u"bienvenidos"_s, u"vienbenidoz"_s, 3, true); // a third of the longer, just allowed
    row(u"presentacion"_s, u"representar"_s, 6, false);
    row(u"ab"_s, u"ba"_s, 2, false);
    // One scalar outside the basic plane is one character, not two UTF-16 units.
    row(u"a\U00010428"_s, u"ab"_s, 1, true);
}

void TestSpeechMatching::wordComparison()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, distance);
    QFETCH(bool, similar);
    QCOMPARE(::wordsAreSimilar(a, b), similar);
    QCOMPARE(::wordsAreSimilar(b, a), similar);
    if (distance >= 0) {
        QCOMPARE(::levenshteinDistance(a, b), distance);
        QCOMPARE(::levenshteinDistance(b, a), distance);
    }
}

void TestSpeechMatching::matchers_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("transcript");
    QTest::addColumn<int>("characters");
    QTest::addColumn<int>("words");
    // The cue after "todos" is consumed as a trailing word: 21 is where "bienvenidos" begins.
    QTest::newRow("spoken start") << workshop << 0 << u"hola a todos"_s << 12 << 21;
    QTest::newRow("misheard and missing") << workshop << 0 << u"ola todos"_s << 12 << 21;
    QTest::newRow("extra word") << workshop << 0 << u"Hola, eh, a todos"_s << 12 << 21;
    QTest::newRow("skipped ahead") << workshop << 0 << u"bienvenidos"_s << 12 << 0;
    QTest::newRow("empty at text") << workshop << 0 << u""_s << 0 << 0;
    QTest::newRow("empty at cue") << workshop << 13 << u""_s << 0 << 8;
    QTest::newRow("mid-word start") << workshop << 2 << u"la a todos"_s << 10 << 19;
    QTest::newRow("beyond the end")
        << workshop << 0 << u"hola a todos bienvenidos al taller de hoy y más"_s << 49 << 49;
    QTest::newRow("offset past the end") << workshop << 60 << u"hoy"_s << 0 << 0;
    QTest::newRow("decomposed word") << decomposed << 0 << u"café"_s << 4 << 5;
    QTest::newRow("after decomposed word") << decomposed << 5 << u"con leche"_s << 9 << 10;
    // The character matcher counts scalars; the word matcher counts characters.
    QTest::newRow("emoji word") << emoji << 0 << u"hola amigos"_s << 14 << 13;
    QTest::newRow("after emoji") << emoji << 7 << u"amigos"_s << 6 << 6;
    // A cue of several words is passed over whole, and counts as one word when looking ahead.
    QTest::newRow("trailing cue phrase") << lookUp << 0 << u"hola"_s << 4 << 23;
    QTest::newRow("through a cue phrase") << lookUp << 0 << u"hola a todos"_s << 17 << 30;
    QTest::newRow("start inside a cue phrase") << lookUp << 11 << u""_s << 0 << 12;
    QTest::newRow("cue phrase looked over")
        << u"uno dos [x y z] tres"_s << 0 << u"uno tres"_s << 7 << 20;
    QTest::newRow("unclosed bracket is spoken")
        << u"[abierto sigue fin"_s << 0 << u"abierto"_s << 8 << 9;
    QTest::newRow("nested brackets") << u"[[a]] b"_s << 0 << u"b"_s << 3 << 7;
}

void TestSpeechMatching::matchers()
{
    QFETCH(QString, script);
    QFETCH(int, offset);
    QFETCH(QString, transcript);
    const ScriptMatcher matcher(script);
    QTEST(matcher.matchCharacters(offset, transcript), "characters");
    QTEST(matcher.matchWords(offset, transcript), "words");
}

// The script is lower-cased piece by piece as far as it is read; over a long spoken stretch
// with expanding and astral letters that must agree with lower-casing the whole text.
void TestSpeechMatching::longMatchAgreesWithWholeTextLowerCasing()
{
    QStringList words;
    for (int i = 0; i < 60; ++i)
        words << u"İstanbul"_s << u"Über"_s << u"cafe\u0301"_s << u"\U00010400bc"_s << u"[Nota]"_s;
    words << u"fin"_s;
    const QString script = words.join(u' ');
    const ScriptMatcher matcher(script);
    QCOMPARE(matcher.matchCharacters(0, script), int(script.toLower().toUcs4().size()));
    QCOMPARE(matcher.matchWords(0, script), matcher.characterCount());
    QCOMPARE(matcher.characterCount(), script.size() - 120); // a mark and a surrogate each
    QCOMPARE(ScriptMatcher(emoji).characterCount(), 13);
}

// A bracket closed only on the next line opens no cue; the reader says those words.
void TestSpeechMatching::cuesEndWithTheirLine()
{
    const ScriptMatcher matcher(
        tokenizeScript(u"Hola [Mira al público] a todos.\n[Pausa] Fin [otra\nlínea] ]"_s));
    QCOMPARE(matcher.spokenText(), u"Hola a todos.\nFin [otra\nlínea] ]"_s);
    const int beforeFin = int(u"Hola [Mira al público] a todos. [Pausa] "_s.size());
    QCOMPARE(matcher.matchWords(0, u"hola a todos"_s), beforeFin);
    QCOMPARE(matcher.matchWords(beforeFin, u"fin otra línea"_s),
             matcher.characterCount() - beforeFin);
    QCOMPARE(matcher.matchWords(beforeFin, u"fin"_s), 4);
}

QTEST_GUILESS_MAIN(TestSpeechMatching)
#include "tst_speechmatching.moc"
