#include "platform/linux/phonemizer.h"
#include "platform/linux/scriptlanguagemodel.h"
#include "platform/linux/spokennumbers.h"

#include "common/files.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

namespace {

// A phonemizer that never knows a word: only the dictionary counts.
QByteArray noPhonemizer(const QString &)
{
    return {};
}

struct ArpaModel
{
    QList<qsizetype> declaredCounts;
    // n-gram text → (log10 probability, log10 backoff weight or 0)
    QList<QHash<QString, std::pair<double, double>>> ngrams;
};

ArpaModel parseArpa(const QByteArray &arpa)
{
    ArpaModel model;
    int order = 0;
    for (const QByteArray &rawLine : arpa.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line == u"\\data\\" || line == u"\\end\\")
            continue;
        if (line.startsWith(u"ngram ")) {
            model.declaredCounts.append(line.section(u'=', 1).toLongLong());
        } else if (line.startsWith(u'\\') && line.endsWith(u"-grams:")) {
            order = line.mid(1, 1).toInt();
            model.ngrams.resize(order);
        } else if (order > 0) {
            const QStringList fields = line.split(u' ');
            const QString ngram = fields.mid(1, order).join(u' ');
            const double backoff = fields.size() > order + 1 ? fields.last().toDouble() : 0.0;
            model.ngrams[order - 1].insert(ngram, {fields.first().toDouble(), backoff});
        }
    }
    return model;
}

} // namespace

// The language model and dictionary the recogniser is given for a script: its words, their
// pronunciations (the dictionary's, espeak-ng's, figures spoken) and the n-gram probabilities.
class TestScriptLanguageModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void scriptSentences();
    void scriptLanguageModel();
    void scriptWithoutKnownWordsGivesNoModel();
    void wordsMissingFromTheDictionaryArePronounced();
    void phonemizerAgreesWithTheDictionary();
    void spokenNumbers_data();
    void spokenNumbers();
    void figuresAreEnteredAsWritten();
    void awkwardScripts_data();
    void awkwardScripts();

private:
    QString writeTemporary(const QString &name, const QByteArray &bytes);

    QTemporaryDir m_directory;
};

void TestScriptLanguageModel::initTestCase()
{
    QVERIFY(m_directory.isValid());
}

QString TestScriptLanguageModel::writeTemporary(const QString &name, const QByteArray &bytes)
{
    const QString path = m_directory.filePath(name);
    TestSupport::writeFile(path, bytes);
    return path;
}

void TestScriptLanguageModel::scriptSentences()
{
    const QList<QStringList> expected = {
        {u"good"_qs, u"morning"_qs, u"it's"_qs, u"café"_qs, u"time"_qs},
        {u"say"_qs, u"hello"_qs, u"42"_qs},
        {u"bye"_qs},
    };
    QCOMPARE(
        ScriptLanguageModel::sentences(u"Good MORNING, it’s café-time!\n'Say' hello 42...\nBye"_qs),
        expected);
}

void TestScriptLanguageModel::scriptLanguageModel()
{
    const QString dictionary = writeTemporary(
        QStringLiteral("small.dict"),
        "and AH N D\nand(2) AE N D\nend EH N D\ngood G UH D\nmorning M AO R N IH NG\n"
        "pause P AO Z\nthe DH AH\nthe(2) DH IY\n");
    const ScriptLanguageModel model = ScriptLanguageModel::build(
        u"Good morning and good zorblax morning. The end! And the end."_qs, dictionary,
        noPhonemizer);

    QCOMPARE(model.words(),
             QStringList({u"and"_qs, u"end"_qs, u"good"_qs, u"morning"_qs, u"the"_qs}));
    QCOMPARE(model.dictionary(), QByteArray("and AH N D\nand(2) AE N D\nend EH N D\ngood G UH D\n"
                                            "morning M AO R N IH NG\nthe DH AH\nthe(2) DH IY\n"));

    const ArpaModel arpa = parseArpa(model.arpa());
    QCOMPARE(arpa.ngrams.size(), 3);
    QCOMPARE(arpa.declaredCounts, QList<qsizetype>({arpa.ngrams[0].size(), arpa.ngrams[1].size(),
                                                    arpa.ngrams[2].size()}));
    QCOMPARE(arpa.ngrams[0].size(), 7); // five words, <s> and </s>
    QVERIFY(!model.arpa().contains("zorblax"));
    // The dropped word leaves its neighbours adjacent.
    QVERIFY(arpa.ngrams[2].contains(u"and good morning"_qs));
    QCOMPARE(arpa.ngrams[0].value(u"<s>"_qs).first, -99.0);

    // Every history spreads exactly all probability: seen followers plus the backed-off rest.
    const auto probability = [](double log10Value) { return std::pow(10.0, log10Value); };
    QStringList predicted;
    double unigramTotal = 0;
    for (auto it = arpa.ngrams[0].cbegin(); it != arpa.ngrams[0].cend(); ++it) {
        if (it.key() != u"<s>") {
            predicted.append(it.key());
            unigramTotal += probability(it.value().first);
        }
    }
    QVERIFY(std::abs(unigramTotal - 1.0) < 1e-3);
    for (int order = 2; order <= 3; ++order) {
        QHash<QString, double> seenMass;
        QHash<QString, double> lowerMassOfSeen;
        for (auto it = arpa.ngrams[order - 1].cbegin(); it != arpa.ngrams[order - 1].cend(); ++it) {
            const QString history = it.key().section(u' ', 0, order - 2);
            const QString lower = it.key().section(u' ', 1);
            seenMass[history] += probability(it.value().first);
            lowerMassOfSeen[history] += probability(arpa.ngrams[order - 2].value(lower).first);
        }
        for (auto it = seenMass.cbegin(); it != seenMass.cend(); ++it) {
            const double backoff = probability(arpa.ngrams[order - 2].value(it.key()).second);
            double lowerTotal = 0;
            const QString lowerHistory = it.key().section(u' ', 1);
            for (const QString &word : std::as_const(predicted)) {
                const QString lower = lowerHistory.isEmpty() ? word : lowerHistory + u' ' + word;
                if (order == 2)
                    lowerTotal += probability(arpa.ngrams[0].value(lower).first);
                else if (arpa.ngrams[1].contains(lower))
                    lowerTotal += probability(arpa.ngrams[1].value(lower).first);
                else
                    lowerTotal += probability(arpa.ngrams[0].value(lowerHistory).second)
                                  * probability(arpa.ngrams[0].value(word).first);
            }
            const double total
                = it.value() + backoff * (lowerTotal - lowerMassOfSeen.value(it.key()));
            QVERIFY2(std::abs(total - 1.0) < 2e-3,
                     qPrintable(it.key() + u" sums to "_qs + QString::number(total)));
        }
    }
}

void TestScriptLanguageModel::scriptWithoutKnownWordsGivesNoModel()
{
    const QString dictionary = writeTemporary(QStringLiteral("tiny.dict"), "hello HH AH L OW\n");
    const ScriptLanguageModel model
        = ScriptLanguageModel::build(u"Hola a todos. 1 2 3"_qs, dictionary, noPhonemizer);
    QVERIFY(model.isEmpty());
    QVERIFY(model.arpa().isEmpty());
    QVERIFY(model.dictionary().isEmpty());
}

// The dictionary's gaps are filled by espeak-ng; a word it can't pronounce is left out.
void TestScriptLanguageModel::wordsMissingFromTheDictionaryArePronounced()
{
    const QString dictionary
        = writeTemporary(QStringLiteral("two.dict"), "good G UH D\nmorning M AO R N IH NG\n");
    const auto allButZorblax = [](const QString &word) {
        return word == u"zorblax" ? QByteArray() : espeakPronunciation(word);
    };
    const QString longWord(200, u'a');
    const ScriptLanguageModel model = ScriptLanguageModel::build(
        u"Good zorblax morning, Kubernetes café. 世界 "_qs + longWord, dictionary, allButZorblax);
    QCOMPARE(model.words(), QStringList({u"café"_qs, u"good"_qs, u"kubernetes"_qs, u"morning"_qs}));
    QVERIFY(model.dictionary().contains("\nkubernetes K Y UW B ER N IY T S\n"));
    QVERIFY(model.arpa().contains("morning kubernetes"));

    QCOMPARE(modelPhonesFromEspeak("h_@_l_'oU w_'3:_l_d"), QByteArray("HH AH L OW W ER L D"));
    QCOMPARE(modelPhonesFromEspeak("h_Q"), QByteArray()); // a name without counterpart
    QCOMPARE(espeakPronunciation(longWord), QByteArray());
    QCOMPARE(espeakPronunciation(u"世界"_qs), QByteArray());
}

// Phones of espeak-ng's pronunciation that agree with the dictionary's closest one, over a
// sample of the dictionary's words.
void TestScriptLanguageModel::phonemizerAgreesWithTheDictionary()
{
    QFile file(QStringLiteral(BRIVEL_POCKETSPHINX_MODELDIR "/en-us/cmudict-en-us.dict"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QHash<QString, QList<QStringList>> dictionary;
    while (!file.atEnd()) {
        const QStringList fields
            = QString::fromUtf8(file.readLine()).split(u' ', Qt::SkipEmptyParts);
        if (fields.size() > 1)
            dictionary[fields[0].section(u'(', 0, 0)].append(
                fields.mid(1).join(u' ').simplified().split(u' '));
    }
    QStringList words = dictionary.keys();
    words.sort();
    const auto editDistance = [](const QStringList &a, const QStringList &b) {
        std::vector<int> row(size_t(b.size()) + 1);
        std::iota(row.begin(), row.end(), 0);
        for (qsizetype i = 0; i < a.size(); ++i) {
            int diagonal = row[0];
            row[0] = int(i) + 1;
            for (qsizetype j = 1; j <= b.size(); ++j) {
                const int above = row[size_t(j)];
                row[size_t(j)] = a[i] == b[j - 1]
                                     ? diagonal
                                     : 1 + std::min({row[size_t(j - 1)], above, diagonal});
                diagonal = above;
            }
        }
        return row.back();
    };
    qsizetype phones = 0;
    qsizetype agreeing = 0;
    int unpronounced = 0;
    int sampled = 0;
    for (qsizetype i = 0; i < words.size(); i += 20) {
        ++sampled;
        const QStringList spoken
            = QString::fromLatin1(espeakPronunciation(words[i])).split(u' ', Qt::SkipEmptyParts);
        if (spoken.isEmpty()) {
            ++unpronounced;
            continue;
        }
        int best = std::numeric_limits<int>::max();
        qsizetype length = 0;
        for (const QStringList &listed : dictionary.value(words[i])) {
            const int distance = editDistance(listed, spoken);
            if (distance < best) {
                best = distance;
                length = listed.size();
            }
        }
        phones += length;
        agreeing += std::max<qsizetype>(0, length - best);
    }
    const double agreement = double(agreeing) / double(phones);
    qInfo("espeak-ng against the dictionary: %.1f %% of %lld phones agree over %d words; %d words "
          "without a pronunciation",
          100.0 * agreement, phones, sampled, unpronounced);
    QVERIFY(agreement > 0.7);
    QVERIFY(unpronounced < sampled / 100);
}

void TestScriptLanguageModel::spokenNumbers_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("forms"); // separated by "|"
    const auto row = [](const QString &token, const QString &forms) {
        QTest::newRow(token.toUtf8().constData()) << token << forms;
    };
    row(u"0"_qs, u"zero"_qs);
    row(u"13"_qs, u"thirteen"_qs);
    row(u"240"_qs, u"two hundred forty|two hundred and forty"_qs);
    row(u"1,000,005"_qs, u"one million five|one million and five"_qs);
    row(u"1999"_qs, u"nineteen ninety nine|nineteen hundred ninety nine|nineteen hundred and "
                    u"ninety nine|one thousand nine hundred ninety nine|one thousand nine hundred "
                    u"and ninety nine"_qs);
    row(u"2024"_qs, u"twenty twenty four|two thousand twenty four|two thousand and twenty four"_qs);
    row(u"2005"_qs, u"two thousand five|two thousand and five"_qs);
    row(u"1905"_qs, u"nineteen oh five|nineteen hundred five|nineteen hundred and five|"
                    u"one thousand nine hundred five|one thousand nine hundred and five"_qs);
    row(u"1990s"_qs, u"nineteen nineties"_qs);
    row(u"3rd"_qs, u"third"_qs);
    row(u"21st"_qs, u"twenty first"_qs);
    row(u"112th"_qs, u"one hundred twelfth"_qs);
    row(u"40th"_qs, u"fortieth"_qs);
    row(u"10:30"_qs, u"ten thirty"_qs);
    row(u"9:05"_qs, u"nine oh five"_qs);
    row(u"10:00"_qs, u"ten o'clock|ten"_qs);
    row(u"45%"_qs, u"forty five percent"_qs);
    row(u"4.5%"_qs, u"four point five percent"_qs);
    row(u"0.25"_qs, u"zero point two five|point two five"_qs);
    row(u"$240"_qs, u"two hundred forty dollars|two hundred and forty dollars|"
                    u"two hundred forty|two hundred and forty"_qs);
    row(u"$1"_qs, u"one dollar|one"_qs);
    row(u"$4.50"_qs, u"four dollars fifty|four fifty|four point five zero dollars|"
                     u"four point five zero"_qs);
    row(u"£3"_qs, u"three pounds|three"_qs);
    row(u"007"_qs, u"zero zero seven|oh oh seven"_qs);
    row(u"7,000,000,000,001"_qs, u"seven trillion one|seven trillion and one"_qs);
    // Not figures read that way.
    row(u"1000000000000000"_qs, QString());
    row(QString(10000, u'7'), QString());
    row(u"25:61"_qs, QString());
    row(u"3.5th"_qs, QString());
    row(u"1.2.3"_qs, QString());
    row(u"$"_qs, QString());
}

void TestScriptLanguageModel::spokenNumbers()
{
    QFETCH(QString, token);
    QFETCH(QString, forms);
    QCOMPARE(spokenForms(token).join(u'|'), forms);
}

// A figure is one word of the model, written as in the script and pronounced as it is said.
void TestScriptLanguageModel::figuresAreEnteredAsWritten()
{
    const QString dictionary
        = QStringLiteral(BRIVEL_POCKETSPHINX_MODELDIR "/en-us/cmudict-en-us.dict");
    const ScriptLanguageModel model = ScriptLanguageModel::build(
        u"It cost $240, at 10:30. 12345678901234567890 is 3rd"_qs, dictionary, noPhonemizer);
    QVERIFY(model.words().contains(u"$240"_qs));
    QVERIFY(!model.words().contains(u"12345678901234567890"_qs));
    QVERIFY2(
        model.dictionary().contains("$240 T UW HH AH N D R AH D F AO R T IY D AA L ER Z\n"
                                    "$240(2) T UW HH AH N D R AH D AH N D F AO R T IY D AA L ER Z\n"
                                    "$240(3) T UW HH AH N D R AH D F AO R T IY\n"
                                    "$240(4) T UW HH AH N D R AH D AH N D F AO R T IY\n"),
        model.dictionary().constData());
    QVERIFY(model.dictionary().contains("\n10:30 T EH N TH ER D IY\n"));
    QVERIFY(model.dictionary().contains("\n3rd TH ER D\n"));
    QVERIFY(model.arpa().contains(" cost $240 "));
}

void TestScriptLanguageModel::awkwardScripts_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("only figures") << u"1 22 $3 4th 5:00 60% 1,000."_qs
                                  << QStringList{u"$3"_qs,  u"1"_qs,    u"1,000"_qs, u"22"_qs,
                                                 u"4th"_qs, u"5:00"_qs, u"60%"_qs};
    QTest::newRow("only names") << u"Okafor Wierzbicki Nguyen"_qs
                                << QStringList{u"nguyen"_qs, u"okafor"_qs, u"wierzbicki"_qs};
    QTest::newRow("brackets") << u"[[a]] [ ] [a b"_qs << QStringList{u"a"_qs, u"b"_qs};
    QTest::newRow("a 10,000-digit number") << QString(10000, u'9') << QStringList();
    QTest::newRow("Latin with CJK")
        << u"Hello 世界 world"_qs << QStringList{u"hello"_qs, u"world"_qs};
    QTest::newRow("nothing to say") << u"— … ★"_qs << QStringList();
}

// Whatever the script, the model holds exactly the words that can be pronounced.
void TestScriptLanguageModel::awkwardScripts()
{
    QFETCH(QString, script);
    QFETCH(QStringList, words);
    const ScriptLanguageModel model = ScriptLanguageModel::build(
        script, QStringLiteral(BRIVEL_POCKETSPHINX_MODELDIR "/en-us/cmudict-en-us.dict"));
    QCOMPARE(model.words(), words);
    QCOMPARE(model.isEmpty(), words.isEmpty());
    const QByteArray lines = '\n' + model.dictionary();
    for (const QString &word : std::as_const(words))
        QVERIFY(lines.contains(QByteArray('\n' + word.toUtf8() + ' ')));
}

QTEST_GUILESS_MAIN(TestScriptLanguageModel)

#include "tst_scriptlanguagemodel.moc"
