#include "scriptlanguagemodel.h"

#include "platform/linux/spokennumbers.h"
#include "platform/logging.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <mutex>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

// Absolute discount taken from every seen bigram and trigram count.
constexpr double discount = 0.5;
// Beyond this many remembered words the cache starts over, so many scripts can't grow it forever.
constexpr qsizetype maxCachedWords = 50000;
// cmudict is 3.2 MB; anything far larger is not a pronunciation dictionary.
constexpr qint64 maxDictionaryBytes = 64 * 1024 * 1024;

using Pronunciations = QHash<QString, QList<QByteArray>>;

// Pronunciations looked up so far, per dictionary file. An empty list records a word the
// dictionary lacks, so that a restart with the same script does not read the file again.
struct PronunciationCache
{
    std::mutex mutex;
    QHash<QString, Pronunciations> byFile;
};

PronunciationCache &pronunciationCache()
{
    static PronunciationCache cache;
    return cache;
}

// One pass over the dictionary collects the lines of every wanted word, alternates included.
// Lines are looked at in place: the file has 135,000 of them.
bool readPronunciations(const QString &path, const QSet<QByteArray> &wanted,
                        QHash<QByteArray, QList<QByteArray>> *found)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxDictionaryBytes) {
        qCWarning(lcPlatform) << "Cannot read the pronunciation dictionary" << path
                              << file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    std::unordered_set<std::string_view> wantedWords;
    for (const QByteArray &word : wanted)
        wantedWords.insert(std::string_view(word.constData(), size_t(word.size())));

    std::string_view rest(bytes.constData(), size_t(bytes.size()));
    while (!rest.empty()) {
        const size_t lineEnd = rest.find('\n');
        std::string_view line = rest.substr(0, lineEnd);
        rest = lineEnd == std::string_view::npos ? std::string_view() : rest.substr(lineEnd + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.remove_suffix(1);
        const size_t keyEnd = line.find_first_of(" \t");
        if (keyEnd == 0 || keyEnd == std::string_view::npos)
            continue;
        std::string_view word = line.substr(0, keyEnd);
        // "word(2)" is the second pronunciation of "word".
        if (word.back() == ')') {
            const size_t open = word.rfind('(');
            if (open != std::string_view::npos && open > 0)
                word = word.substr(0, open);
        }
        if (wantedWords.contains(word))
            (*found)[QByteArray(word.data(), qsizetype(word.size()))].append(
                QByteArray(line.data(), qsizetype(line.size())));
    }
    return true;
}

Pronunciations pronunciations(const QString &dictionaryPath, const QSet<QString> &words)
{
    PronunciationCache &cache = pronunciationCache();
    const std::lock_guard lock(cache.mutex);
    Pronunciations &known = cache.byFile[dictionaryPath];

    QSet<QByteArray> missing;
    for (const QString &word : words) {
        if (!known.contains(word))
            missing.insert(word.toUtf8());
    }
    if (!missing.isEmpty()) {
        if (known.size() + missing.size() > maxCachedWords) {
            known.clear();
            missing.clear();
            for (const QString &word : words)
                missing.insert(word.toUtf8());
        }
        QHash<QByteArray, QList<QByteArray>> found;
        // A dictionary that can't be read is tried again next time rather than remembered empty.
        if (!readPronunciations(dictionaryPath, missing, &found))
            return {};
        for (const QByteArray &word : std::as_const(missing))
            known.insert(QString::fromUtf8(word), found.value(word));
    }

    Pronunciations result;
    for (const QString &word : words)
        result.insert(word, known.value(word));
    return result;
}

void appendLog10(QByteArray &text, double probability)
{
    char digits[32];
    const auto result = std::to_chars(std::begin(digits), std::end(digits), std::log10(probability),
                                      std::chars_format::fixed, 4);
    text.append(digits, result.ptr - digits);
}

// Backoff weight of a context: the discounted mass spread over the followers it was never seen
// with, in proportion to their lower-order probabilities.
double backoffWeight(int distinctFollowers, int contextCount, double lowerOrderMassOfSeen)
{
    const double freed = discount * distinctFollowers / contextCount;
    const double unseen = 1.0 - lowerOrderMassOfSeen;
    return unseen > 1e-9 ? freed / unseen : 1.0;
}

template <size_t Order>
using NGram = std::array<int, Order>;

// Distinct n-grams in sorted order with their counts. Sorting keeps this fast for scripts with
// a hundred thousand trigrams.
template <size_t Order>
std::vector<std::pair<NGram<Order>, int>> countNGrams(std::vector<NGram<Order>> occurrences)
{
    std::sort(occurrences.begin(), occurrences.end());
    std::vector<std::pair<NGram<Order>, int>> counts;
    for (const NGram<Order> &ngram : occurrences) {
        if (!counts.empty() && counts.back().first == ngram)
            ++counts.back().second;
        else
            counts.emplace_back(ngram, 1);
    }
    return counts;
}

struct Context
{
    int count = 0;
    int distinctFollowers = 0;
    double lowerOrderMass = 0.0;
};

// Ids 0 and 1 are the sentence markers, words follow in sorted order.
QByteArray arpaTrigramModel(const QStringList &vocabulary, const QList<QStringList> &sentences)
{
    constexpr int sentenceStart = 0;
    constexpr int sentenceEnd = 1;
    QHash<QString, int> ids;
    QList<QByteArray> names = {QByteArrayLiteral("<s>"), QByteArrayLiteral("</s>")};
    for (const QString &word : vocabulary) {
        ids.insert(word, int(names.size()));
        names.append(word.toUtf8());
    }
    const int typeCount = int(names.size());

    std::vector<int> unigramCounts(typeCount, 0);
    std::vector<NGram<2>> bigramOccurrences;
    std::vector<NGram<3>> trigramOccurrences;
    int tokenCount = 0;
    std::vector<int> tokens;
    for (const QStringList &sentence : sentences) {
        tokens.assign(1, sentenceStart);
        for (const QString &word : sentence)
            tokens.push_back(ids.value(word));
        tokens.push_back(sentenceEnd);
        for (size_t i = 1; i < tokens.size(); ++i) {
            ++unigramCounts[tokens[i]];
            ++tokenCount;
            bigramOccurrences.push_back({tokens[i - 1], tokens[i]});
            if (i >= 2)
                trigramOccurrences.push_back({tokens[i - 2], tokens[i - 1], tokens[i]});
        }
    }
    const auto bigrams = countNGrams(std::move(bigramOccurrences));
    const auto trigrams = countNGrams(std::move(trigramOccurrences));

    // <s> is never predicted, so it takes no part in the unigram distribution.
    const int predictedTypes = typeCount - 1;
    std::vector<double> unigram(typeCount, 0.0);
    for (int id = sentenceEnd; id < typeCount; ++id)
        unigram[id] = (unigramCounts[id] + 1.0) / (tokenCount + predictedTypes);

    std::vector<Context> unigramContexts(typeCount);
    for (const auto &[key, count] : bigrams) {
        Context &context = unigramContexts[key[0]];
        context.count += count;
        ++context.distinctFollowers;
        context.lowerOrderMass += unigram[key[1]];
    }
    std::vector<double> bigram(bigrams.size());
    for (size_t i = 0; i < bigrams.size(); ++i)
        bigram[i] = (bigrams[i].second - discount) / unigramContexts[bigrams[i].first[0]].count;
    const auto bigramIndex = [&bigrams](const NGram<2> &key) {
        return std::lower_bound(
                   bigrams.begin(), bigrams.end(), key,
                   [](const auto &entry, const NGram<2> &k) { return entry.first < k; })
               - bigrams.begin();
    };
    // Trigrams sorted by their first two words list each bigram context in one run.
    std::vector<Context> bigramContexts(bigrams.size());
    for (const auto &[key, count] : trigrams) {
        Context &context = bigramContexts[bigramIndex({key[0], key[1]})];
        context.count += count;
        ++context.distinctFollowers;
        context.lowerOrderMass += bigram[bigramIndex({key[1], key[2]})];
    }

    QByteArray arpa;
    arpa.reserve(qsizetype(trigrams.size()) * 40 + 1024);
    arpa += "\\data\\\n";
    arpa += "ngram 1=" + QByteArray::number(typeCount) + '\n';
    arpa += "ngram 2=" + QByteArray::number(qsizetype(bigrams.size())) + '\n';
    arpa += "ngram 3=" + QByteArray::number(qsizetype(trigrams.size())) + "\n\n";

    arpa += "\\1-grams:\n";
    for (int id = 0; id < typeCount; ++id) {
        if (id == sentenceStart)
            arpa += "-99.0000";
        else
            appendLog10(arpa, unigram[id]);
        arpa += ' ';
        arpa += names[id];
        const Context &context = unigramContexts[id];
        if (context.count > 0) {
            arpa += ' ';
            appendLog10(arpa, backoffWeight(context.distinctFollowers, context.count,
                                            context.lowerOrderMass));
        }
        arpa += '\n';
    }

    arpa += "\n\\2-grams:\n";
    for (size_t i = 0; i < bigrams.size(); ++i) {
        const NGram<2> &key = bigrams[i].first;
        appendLog10(arpa, bigram[i]);
        arpa += ' ';
        arpa += names[key[0]];
        arpa += ' ';
        arpa += names[key[1]];
        const Context &context = bigramContexts[i];
        if (context.count > 0) {
            arpa += ' ';
            appendLog10(arpa, backoffWeight(context.distinctFollowers, context.count,
                                            context.lowerOrderMass));
        }
        arpa += '\n';
    }

    arpa += "\n\\3-grams:\n";
    for (const auto &[key, count] : trigrams) {
        appendLog10(arpa, (count - discount) / bigramContexts[bigramIndex({key[0], key[1]})].count);
        for (const int id : key) {
            arpa += ' ';
            arpa += names[id];
        }
        arpa += '\n';
    }
    arpa += "\n\\end\\\n";
    return arpa;
}

} // namespace

QList<QStringList> ScriptLanguageModel::sentences(const QString &script)
{
    // A figure as written, "$240", "4.5%", "10:30", "3rd"; trailing separators are punctuation.
    static const QRegularExpression figure(
        QStringLiteral("[$€£]?\\d[\\d.,:]*(?:st|nd|rd|th|s|%)?"));
    const QString text = script.toLower();

    QList<QStringList> result;
    QStringList sentence;
    QString word;
    const auto endWord = [&] {
        // Quotation marks written as apostrophes are not part of the word.
        while (word.startsWith(u'\''))
            word.remove(0, 1);
        while (word.endsWith(u'\''))
            word.chop(1);
        if (!word.isEmpty())
            sentence.append(word);
        word.clear();
    };
    const auto endSentence = [&] {
        endWord();
        if (!sentence.isEmpty())
            result.append(sentence);
        sentence.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool startsFigure = c.isDigit()
                                  || ((c == u'$' || c == u'€' || c == u'£') && i + 1 < text.size()
                                      && text[i + 1].isDigit());
        if (startsFigure) {
            endWord();
            const QRegularExpressionMatch match
                = figure.match(text, i, QRegularExpression::NormalMatch,
                               QRegularExpression::AnchorAtOffsetMatchOption);
            QString token = match.captured();
            while (token.endsWith(u'.') || token.endsWith(u',') || token.endsWith(u':'))
                token.chop(1);
            sentence.append(token);
            i += token.size() - 1;
        } else if (c.isLetter() || c.isMark()) {
            word += c;
        } else if (c == u'\'' || c == QChar(0x2019)) {
            word += u'\'';
        } else if (c == u'.' || c == u'!' || c == u'?' || c == u'\n' || c == QChar::LineSeparator
                   || c == QChar::ParagraphSeparator) {
            endSentence();
        } else {
            endWord();
        }
    }
    endSentence();
    return result;
}

namespace {

bool containsDigit(const QString &word)
{
    return std::any_of(word.begin(), word.end(), [](QChar c) { return c.isDigit(); });
}

// The phones of a dictionary line, "HH AH L OW" of "hello HH AH L OW".
QByteArray phonesOf(const QByteArray &line)
{
    const qsizetype space = line.indexOf(' ');
    const qsizetype tab = line.indexOf('\t');
    const qsizetype end = space < 0 ? tab : tab < 0 ? space : std::min(space, tab);
    return end < 0 ? QByteArray() : line.mid(end + 1).trimmed();
}

} // namespace

ScriptLanguageModel ScriptLanguageModel::build(const QString &script, const QString &dictionaryPath,
                                               const Phonemizer &phonemizer)
{
    const QList<QStringList> allSentences = sentences(script);
    QSet<QString> distinct;
    for (const QStringList &sentence : allSentences) {
        for (const QString &word : sentence)
            distinct.insert(word);
    }
    // Figures are entered as written, pronounced as their spoken forms' words.
    QHash<QString, QStringList> figures;
    QSet<QString> lookedUp;
    for (const QString &word : std::as_const(distinct)) {
        if (!containsDigit(word)) {
            lookedUp.insert(word);
            continue;
        }
        const QStringList forms = spokenForms(word);
        figures.insert(word, forms);
        for (const QString &form : forms) {
            for (const QString &spoken : form.split(u' '))
                lookedUp.insert(spoken);
        }
    }
    Pronunciations known = pronunciations(dictionaryPath, lookedUp);
    // Without a pronunciation the decoder would hear other script words in the word's place.
    for (const QString &word : std::as_const(lookedUp)) {
        QList<QByteArray> &lines = known[word];
        if (lines.isEmpty() && phonemizer) {
            const QByteArray phones = phonemizer(word);
            if (!phones.isEmpty())
                lines.append(word.toUtf8() + ' ' + phones);
        }
    }
    for (auto it = figures.cbegin(); it != figures.cend(); ++it) {
        QList<QByteArray> lines;
        for (const QString &form : it.value()) {
            QByteArray phones;
            for (const QString &spoken : form.split(u' ')) {
                const QList<QByteArray> &spokenLines = known[spoken];
                if (spokenLines.isEmpty()) {
                    phones.clear();
                    break;
                }
                phones += ' ' + phonesOf(spokenLines.first());
            }
            if (phones.isEmpty())
                continue;
            QByteArray line = it.key().toUtf8();
            if (!lines.isEmpty())
                line += '(' + QByteArray::number(lines.size() + 1) + ')';
            lines.append(line + phones);
        }
        known.insert(it.key(), lines);
    }

    // Words the decoder could not pronounce are dropped, their neighbours becoming adjacent.
    QList<QStringList> kept;
    for (const QStringList &sentence : allSentences) {
        QStringList words;
        for (const QString &word : sentence) {
            if (!known.value(word).isEmpty())
                words.append(word);
        }
        if (!words.isEmpty())
            kept.append(words);
    }

    ScriptLanguageModel model;
    for (const QString &word : std::as_const(distinct)) {
        if (!known.value(word).isEmpty())
            model.m_words.append(word);
    }
    if (model.m_words.isEmpty())
        return model;
    model.m_words.sort();
    for (const QString &word : std::as_const(model.m_words)) {
        for (const QByteArray &line : known.value(word))
            model.m_dictionary += line + '\n';
    }
    model.m_arpa = arpaTrigramModel(model.m_words, kept);
    return model;
}
