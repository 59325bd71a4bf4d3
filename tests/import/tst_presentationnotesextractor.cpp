#include "import/pptxnotexmlparser.h"
#include "import/presentationimport.h"
#include "import/presentationnotesextractor.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <zip.h>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using PresentationNotesExtractor::ExtractionError;

namespace {

const QString unzipFailed = u"Failed to extract notes: Could not unzip PPTX file."_s;
const QString noNotes = u"No presenter notes found in this presentation."_s;

QByteArray shape(const QByteArray &placeholder, const QByteArray &paragraphs)
{
    return "<p:sp><p:nvSpPr><p:nvPr>" + placeholder + "</p:nvPr></p:nvSpPr><p:txBody>" + paragraphs
           + "</p:txBody></p:sp>";
}

QByteArray part(const QByteArray &shapes)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><p:notes xmlns:a=\"a\" xmlns:p=\"p\">"
           "<p:cSld><p:spTree>"
           + shapes + "</p:spTree></p:cSld></p:notes>";
}

QByteArray run(const QByteArray &text)
{
    return "<a:p><a:r><a:t>" + text + "</a:t></a:r></a:p>";
}

// The texts, or the error's description.
QStringList outcome(const QString &path)
{
    try {
        return PresentationNotesExtractor::extractNotes(path);
    } catch (const ExtractionError &error) {
        return {error.errorDescription()};
    }
}

// Entities, nesting and encodings as a hostile or odd file would use them.
void addHostileRows()
{
    const QByteArray body = shape("", run("héllo ñ"));
    const QByteArray opening = "<p:notes xmlns:a=\"a\" xmlns:p=\"p\"><p:cSld><p:spTree>";
    const QByteArray closing = "</p:spTree></p:cSld></p:notes>";

    QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE p:notes [<!ENTITY l0 \"ha\">";
    for (int level = 1; level < 10; ++level)
        laughs += "<!ENTITY l" + QByteArray::number(level) + " \""
                  + QByteArray("&l").append(QByteArray::number(level - 1)).append(';').repeated(10)
                  + "\">";
    laughs += "]>" + opening + shape("", run("&l9;")) + closing;
    QTest::newRow("billion laughs") << laughs << QString();
    QTest::newRow("external entity")
        << "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>"
               + opening + shape("", run("&e;")) + closing
        << QString();
    // Small enough for the reader to expand: only the stop at the DTD keeps it out.
    QTest::newRow("internal entity")
        << "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY e \"inside\">]>" + opening
               + shape("", run("x &e; y")) + closing
        << QString();
    QByteArray deep = opening + shape("", run("before"));
    deep += QByteArray("<d>").repeated(300) + shape("", run("deep"))
            + QByteArray("</d>").repeated(300);
    QTest::newRow("nesting deeper than 256 stops its part")
        << deep + shape("", run("after")) + closing << u"before"_s;

    const QString expected = u"héllo ñ"_s;
    const QByteArray utf8 = opening + body + closing;
    QStringEncoder latin(QStringConverter::Latin1);
    QTest::newRow("windows-1252") << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1252\"?>")
                                         + QByteArray(latin(QString::fromUtf8(utf8)))
                                  << expected;
    QStringEncoder sjis("Shift_JIS");
    QTest::newRow("Shift_JIS") << QByteArray("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>")
                                      + QByteArray(sjis(QString::fromUtf8(
                                          opening + shape("", run("日本語")) + closing)))
                               << u"日本語"_s;
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    QTest::newRow("UTF-16") << QByteArray(
        utf16(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"_s + QString::fromUtf8(utf8)))
                            << expected;
    QTest::newRow("unknown encoding ends its part")
        << QByteArray("<?xml version=\"1.0\" encoding=\"x-no-such\"?>") + utf8 << QString();
    // The reader decodes the whole part before its first token.
    QTest::newRow("invalid UTF-8 ends its part")
        << opening + shape("", run("ok")) + shape("", run("bad \xff\xfe")) + closing << QString();
}

} // namespace

class TestPresentationNotesExtractor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void parser_data();
    void parser();
    void slideNumber();
    void archives_data();
    void archives();
    void realDecks();
    void refusedFiles();
    void bombsStayWithinMemory();
    void backgroundImport();

private:
    QTemporaryDir m_hostile;
};

void TestPresentationNotesExtractor::initTestCase()
{
    QVERIFY(m_hostile.isValid());
    QProcess maker;
    maker.start(u"/usr/bin/python3"_s,
                {TEST_DATA_DIR u"/import/make-hostile.py"_s, m_hostile.path()});
    QVERIFY(maker.waitForFinished(60'000));
    QCOMPARE(maker.exitCode(), 0);
}

void TestPresentationNotesExtractor::parser_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("text");

    QTest::newRow("furniture placeholders skipped") << part(
        shape("<p:ph type=\"sldImg\"/>", "") + shape("<p:ph type=\"body\" idx=\"1\"/>", run("Hola"))
        + shape("<p:ph type=\"sldNum\"/>", run("3")))
                                                    << u"Hola"_s;
    QTest::newRow("runs joined, line break") << part(
        shape("<p:ph/>", "<a:p><a:r><a:t>Ho</a:t></a:r><a:r><a:t>la</a:t></a:r></a:p>"
                         "<a:p><a:r><a:t>uno</a:t></a:r><a:br/><a:r><a:t>dos</a:t></a:r></a:p>"))
                                             << u"Hola\nuno\ndos"_s;
    QTest::newRow("empty paragraph kept")
        << part(shape("", run("a") + "<a:p/>" + run("b"))) << u"a\n\nb"_s;
    QTest::newRow("title and text box kept, date and footer skipped")
        << part(shape("<p:ph type=\"title\"/>", run("T")) + shape("", run("box"))
                + shape("<p:ph type=\"dt\"/>", run("1/1")) + shape("<p:ph type=\"ftr\"/>", run("f"))
                + shape("<p:ph type=\"hdr\"/>", run("h")))
        << u"T\nbox"_s;
    QTest::newRow("table cells and fields count")
        << part("<p:graphicFrame><a:tbl><a:tr><a:tc><a:txBody>" + run("c1")
                + "</a:txBody></a:tc><a:tc><a:txBody><a:p><a:fld><a:t>7</a:t></a:fld></a:p>"
                  "</a:txBody></a:tc></a:tr></a:tbl></p:graphicFrame>")
        << u"c1\n7"_s;
    QTest::newRow("text outside bodies, CDATA and prefix look-alikes ignored")
        << part("<p:extLst><a:p><a:t>no</a:t></a:p></p:extLst>"
                + shape("", "<a:p><a:r><a:t>x<![CDATA[cd]]></a:t></a:r><a:tab/><a:pPr/></a:p>"))
        << u"x"_s;
    QTest::newRow("bullets, right-to-left and CJK") << part(
        shape("", run("• uno") + "<a:p><a:pPr rtl=\"1\"/><a:r><a:t>שלום עולם</a:t></a:r></a:p>"
                      + run("日本語のメモ") + run("a &amp; b &#x263A;")))
                                                    << u"• uno\nשלום עולם\n日本語のメモ\na & b ☺"_s;
    QTest::newRow("truncated: finished paragraphs stay, the open one is lost")
        << part(shape("", run("one") + run("two")))
               .left(part(shape("", run("one") + run("two"))).indexOf("two") + 3)
        << u"one"_s;
    QTest::newRow("malformed: stops at the error")
        << part(shape("", run("one") + "<a:p><a:t>x</a:q></a:p>" + run("three"))) << u"one"_s;
    addHostileRows();
}

void TestPresentationNotesExtractor::parser()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, text);
    QCOMPARE(PPTXNoteXMLParser::text(xml), text);
}

void TestPresentationNotesExtractor::slideNumber()
{
    using PresentationNotesExtractor::slideNumber;
    QCOMPARE(slideNumber(u"notesSlide12.xml"), 12);
    QCOMPARE(slideNumber(u"notesSlide.xml"), std::nullopt);
    QCOMPARE(slideNumber(u"notesSlide٣.xml"), std::nullopt);
    QCOMPARE(slideNumber(u"notesSlide99999999999999999999.xml"), std::nullopt);
}

void TestPresentationNotesExtractor::archives_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("slide list order, not part numbers")
        << u"listed-order.pptx"_s << QStringList{u"N3"_s, u"N1"_s, u"N2"_s};
    QTest::newRow("unreached notes and missing notes left out")
        << u"orphans.pptx"_s << QStringList{u"N3"_s};
    QTest::newRow("escaping and external targets ignored")
        << u"escaping-targets.pptx"_s << QStringList{u"N2"_s};
    QTest::newRow("no slide list: number order")
        << u"numbered.pptx"_s << QStringList{u"N2"_s, u"N10"_s};
    QTest::newRow("bare integers dropped")
        << u"integers.pptx"_s << QStringList{u"4.2"_s, u"Slide 3"_s, u"99999999999999999999"_s};
    QTest::newRow("backslash names match nothing")
        << u"backslashes.pptx"_s << QStringList{u"visible"_s};
    QTest::newRow("no notes or slides folders") << u"no-folders.pptx"_s << QStringList{noNotes};
    QTest::newRow("archive without entries") << u"empty-archive.pptx"_s << QStringList{noNotes};
    QTest::newRow("nested zip as a notes page") << u"nested.pptx"_s << QStringList{noNotes};
    for (const char *refused :
         {"bomb.pptx", "liar.pptx", "many-liars.pptx", "overlapping.pptx", "many-entries.pptx",
          "dotdot.pptx", "inner-dotdot.pptx", "absolute.pptx"})
        QTest::newRow(refused) << QString::fromLatin1(refused) << QStringList{unzipFailed};
}

void TestPresentationNotesExtractor::archives()
{
    QFETCH(QString, file);
    QFETCH(QStringList, texts);
    QCOMPARE(outcome(m_hostile.filePath(file)), texts);
}

// Decks written by an office suite, with the texts they were made with.
void TestPresentationNotesExtractor::realDecks()
{
    QFile file(TEST_DATA_DIR u"/import/expected.json"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject expected = QJsonDocument::fromJson(file.readAll()).object();
    QVERIFY(expected.size() >= 6);
    for (auto deck = expected.begin(); deck != expected.end(); ++deck) {
        QStringList texts = deck->toVariant().toStringList();
        if (deck->isNull())
            texts = {unzipFailed};
        else if (texts.isEmpty())
            texts = {noNotes};
        QCOMPARE(outcome(TEST_DATA_DIR u"/import/"_s + deck.key()), texts);
    }
    QStringList reversed = expected.value(u"twelve-notes.pptx"_s).toVariant().toStringList();
    std::reverse(reversed.begin(), reversed.end());
    QCOMPARE(outcome(m_hostile.filePath(u"reordered.pptx"_s)), reversed);
}

void TestPresentationNotesExtractor::refusedFiles()
{
    QTemporaryDir directory;
    auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(directory.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write(u"empty.pptx"_s, QByteArray());
    QByteArray random(4096, Qt::Uninitialized);
    for (qsizetype i = 0; i < random.size(); ++i)
        random[i] = char((i * 2654435761u) >> 13);
    write(u"random.pptx"_s, random);
    QVERIFY(::mkfifo(QFile::encodeName(directory.filePath(u"x.pptx"_s)).constData(), 0600) == 0);
    QVERIFY(QDir(directory.path()).mkdir(u"folder.pptx"_s));
    int error = 0;
    zip_t *encrypted
        = zip_open(QFile::encodeName(directory.filePath(u"encrypted.pptx"_s)), ZIP_CREATE, &error);
    QVERIFY(encrypted);
    // Readable notes beside one encrypted entry: the archive is refused as a whole.
    static const char notes[]
        = "<p:notes><p:txBody><a:p><a:t>visible</a:t></a:p></p:txBody></p:notes>";
    for (const char *name : {"ppt/notesSlides/notesSlide1.xml", "ppt/media/secret.xml"}) {
        zip_source_t *source = zip_source_buffer(encrypted, notes, sizeof notes - 1, 0);
        QVERIFY(zip_file_add(encrypted, name, source, 0) >= 0);
    }
    QCOMPARE(zip_file_set_encryption(encrypted, 1, ZIP_EM_AES_256, "password"), 0);
    QCOMPARE(zip_close(encrypted), 0);

    // A FIFO without a writer must be refused at once, not block the worker; an encrypted
    // entry is refused even where the password would be known.
    for (const QString &name : {u"empty.pptx"_s, u"random.pptx"_s, u"x.pptx"_s, u"folder.pptx"_s,
                                u"missing.pptx"_s, u"encrypted.pptx"_s})
        QCOMPARE(outcome(directory.filePath(name)), QStringList{unzipFailed});
}

void TestPresentationNotesExtractor::bombsStayWithinMemory()
{
    for (const char *bomb : {"bomb.pptx", "liar.pptx"}) {
        QProcess helper;
        helper.start(QStringLiteral(EXTRACT_HELPER),
                     {m_hostile.filePath(QString::fromLatin1(bomb))});
        QVERIFY(helper.waitForFinished(60'000));
        const QList<QByteArray> lines = helper.readAllStandardOutput().trimmed().split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(QString::fromUtf8(lines.at(0)), unzipFailed);
        const long peakKiB = lines.at(1).mid(sizeof("maxrss")).toLong();
        QVERIFY2(peakKiB > 0 && peakKiB < 100 * 1024, lines.at(1).constData());
    }
}

void TestPresentationNotesExtractor::backgroundImport()
{
    // Capitals count as "pptx"; anything else is refused before reading.
    const QString upper = m_hostile.filePath(u"LISTED.PPTX"_s);
    QVERIFY(QFile::copy(m_hostile.filePath(u"listed-order.pptx"_s), upper));
    const QString other = m_hostile.filePath(u"listed-order.key"_s);
    QVERIFY(QFile::copy(m_hostile.filePath(u"listed-order.pptx"_s), other));

    QObject receiver;
    QList<PresentationImport::Outcome> outcomes;
    PresentationImport::start(upper, &receiver, [&](const auto &o) { outcomes.append(o); });
    QTRY_COMPARE(outcomes.size(), 1);
    QCOMPARE(outcomes.at(0).notes, (QStringList{u"N3"_s, u"N1"_s, u"N2"_s}));
    PresentationImport::start(other, &receiver, [&](const auto &o) { outcomes.append(o); });
    QTRY_COMPARE(outcomes.size(), 2);
    QCOMPARE(outcomes.at(1).error->kind(), ExtractionError::Kind::unsupportedFormat);

    // A receiver gone before the result arrives hears nothing.
    auto *gone = new QObject;
    bool called = false;
    PresentationImport::start(upper, gone, [&](const auto &) { called = true; });
    delete gone;
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    QVERIFY(!called);
}

QTEST_GUILESS_MAIN(TestPresentationNotesExtractor)
#include "tst_presentationnotesextractor.moc"
