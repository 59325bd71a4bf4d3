#include "common/appfakes.h"
#include "common/files.h"
#include "common/limitdocuments.h"
#include "document/savedata.h"
#include "platform/boundedfilereader.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"
#include "settings/tokenizer.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>

#include <cerrno>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using TestSupport::readFile;
using TestSupport::writeFile;

using LimitDocuments::Limit;
using MakePath = std::function<QString(const QString &directory)>;

// The interface speaks Spanish until the guard goes.
[[nodiscard]] auto spanishInterface()
{
    const QString language = NotchSettings::shared().appLanguage();
    NotchSettings::shared().setAppLanguage(u"es"_s);
    return qScopeGuard([language] { NotchSettings::shared().setAppLanguage(language); });
}

// Everything a refused document must leave as it was.
struct DocumentState
{
    QStringList pages;
    QStringList titles;
    QStringList savedPages;
    QString filePath;
    int currentPageIndex = 0;
    QSet<int> readPages;

    explicit DocumentState(const BrivelService &s)
        : pages(s.pages())
        , titles(s.pageTitles())
        , savedPages(s.savedPages())
        , filePath(s.currentFilePath())
        , currentPageIndex(s.currentPageIndex())
        , readPages(s.readPages())
    {}
    bool operator==(const DocumentState &) const = default;
};

void editSomePages(BrivelService &service)
{
    service.setPages({u"Mine"_s, u"Second"_s});
    service.setPageTitles({u"Title"_s});
    service.setCurrentPageIndex(1);
    service.setReadPages({1});
}

QByteArray record(const QStringList &pages, const QStringList &titles)
{
    return SaveData::encode(pages, titles);
}

} // namespace

// Document files: the record, the checks before a document replaces the pages, and saving.
class TestDocumentFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodingKeepsTheKeyOrderAndOneTitlePerPage();
    void openDocument_data();
    void openDocument();
    void pageLimitCountsCharactersLikeTheTokenizer_data();
    void pageLimitCountsCharactersLikeTheTokenizer();
    void unreadablePaths_data();
    void unreadablePaths();
    void readerStopsAtTheCapWhateverTheReportedSize();
    void importedPresentationReplacesTheScript();
    void failedImportChangesNothing();
    void whatIsSavedOpensAgain_data();
    void whatIsSavedOpensAgain();
    void fileSizeSentenceNamesTheMaximum();
    void writeFailuresInTheUsersWords_data();
    void writeFailuresInTheUsersWords();
};

void TestDocumentFile::encodingKeepsTheKeyOrderAndOneTitlePerPage()
{
    ServiceFixture f;
    f.service.setPages({u"a"_s, u"b \"q\"\n"_s, u"ñ"_s});
    f.service.setPageTitles({u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s});
    const QString path = f.path(u"doc.brivel"_s);
    QVERIFY(f.service.save(path));
    QCOMPARE(readFile(path),
             QByteArray(R"({"version":1,"pages":["a","b \"q\"\n","ñ"],"titles":["1","2","3"]})"));
    QCOMPARE(f.service.currentFilePath(), path);
    QVERIFY(!f.service.hasUnsavedChanges());

    f.service.setPageTitles({u"only"_s});
    QVERIFY(f.service.save(path));
    const std::optional<SaveData> saved = SaveData::decode(readFile(path));
    QVERIFY(saved);
    QCOMPARE(saved->version, 1);
    QCOMPARE(saved->titles, QStringList({u"only"_s, QString(), QString()}));
}

void TestDocumentFile::openDocument_data()
{
    QTest::addColumn<QByteArray>("content");
    // Empty when the document opens or is dropped without a word.
    QTest::addColumn<QString>("alert");
    QTest::addColumn<QString>("informativeText");
    // Empty when nothing may change.
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<QStringList>("titles");

    const QString corrupt = localizedString("Error al abrir el archivo");
    const QString corruptText
        = localizedString("El archivo está dañado o no es un archivo válido de Brivel.");
    const auto opens = [](const char *name, const QByteArray &content, const QStringList &pages,
                          const QStringList &titles) {
        QTest::newRow(name) << content << QString() << QString() << pages << titles;
    };
    const auto refused = [](const char *name, const QByteArray &content, const QString &alert,
                            const QString &text) {
        QTest::newRow(name) << content << alert << text << QStringList() << QStringList();
    };
    const auto isCorrupt = [&](const char *name, const QByteArray &content) {
        refused(name, content, corrupt, corruptText);
    };
    const QStringList ab{u"A"_s, u"B"_s};

    opens("version 1", R"({"version":1,"pages":["A","B"],"titles":["x","y"]})", ab,
          {u"x"_s, u"y"_s});
    opens("no version", R"({"pages":["A","B"],"titles":["x","y"]})", ab, {u"x"_s, u"y"_s});
    opens("null version", R"({"version":null,"pages":["A","B"],"titles":[]})", ab, {{}, {}});
    opens("other keys", R"({"titles":["x"],"font":3,"pages":["A","B"]})", ab, {u"x"_s, {}});
    opens("more titles than pages", R"({"pages":["A","B"],"titles":["1","2","3","4","5"]})", ab,
          {u"1"_s, u"2"_s});
    opens("bare list", R"(["A","B"])", ab, {{}, {}});
    refused("version 2", R"({"version":2,"pages":["A"],"titles":[]})",
            localizedString("Versión no compatible"),
            localizedString("Este archivo se creó con una versión más reciente de Brivel."));
    isCorrupt("version \"1\"", R"({"version":"1","pages":["A"],"titles":[]})");
    isCorrupt("version true", R"({"version":true,"pages":["A"],"titles":[]})");
    isCorrupt("version 1.5", R"({"version":1.5,"pages":["A"],"titles":[]})");
    // Integers at the ends of 64 bits are read exactly.
    opens("smallest version", R"({"version":-9223372036854775808,"pages":["A","B"],"titles":[]})",
          ab, {{}, {}});
    refused("largest version", R"({"version":9223372036854775807,"pages":["A"],"titles":[]})",
            localizedString("Versión no compatible"),
            localizedString("Este archivo se creó con una versión más reciente de Brivel."));
    isCorrupt("version past 64 bits",
              R"({"version":9223372036854775808,"pages":["A"],"titles":[]})");
    refused("empty pages", R"({"version":1,"pages":[],"titles":["x"]})", {}, {});
    refused("empty bare list", "[]", {}, {});
    isCorrupt("empty file", "");
    isCorrupt("truncated", R"({"version":1,"pages":["A","B)");
    QByteArray noise(4096, Qt::Uninitialized);
    QRandomGenerator random(7);
    for (char &byte : noise)
        byte = char(random.bounded(256));
    isCorrupt("random bytes", noise);
    isCorrupt("page not a string", R"({"pages":["A",3],"titles":[]})");
    isCorrupt("nested page", R"({"pages":[["A"]],"titles":[]})");
    isCorrupt("titles not a list", R"({"pages":["A"],"titles":"x"})");
    isCorrupt("titles missing", R"({"version":1,"pages":["A"]})");
    isCorrupt("pages null", R"({"pages":null,"titles":[]})");
    isCorrupt("bare list with a number", R"(["A",1])");
    isCorrupt("string", R"("A")");
    isCorrupt("deeply nested", QByteArray(100'000, '[') + QByteArray(100'000, ']'));

    const QString invalid = localizedString("Archivo inválido");
    const QString invalidText
        = localizedString("El archivo contiene contenido fuera de los límites permitidos.");
    const QStringList thousand(BrivelService::maximumPages, u"p"_s);
    opens("1,000 pages", record(thousand, {}), thousand, QStringList(thousand.size(), {}));
    refused("1,001 pages", record(thousand + QStringList{u"p"_s}, {}), invalid, invalidText);
    // Two UTF-16 units per character: the limit counts characters.
    const QString longPage = u"e\u0301"_s.repeated(BrivelService::maximumPageCharacters);
    opens("page of 500,000 characters", record({longPage}, {}), {longPage}, {{}});
    refused("page of 500,001 characters", record({longPage + u'x'}, {}), invalid, invalidText);

    // White space inside the record fills the file to the byte.
    const QByteArray small = R"({"version":1,"pages":["A","B"],"titles":[]})";
    const qint64 limit = BrivelService::maximumFileBytes;
    QByteArray exact = small.chopped(1) + QByteArray(limit - small.size(), ' ') + '}';
    opens("10,000,000 bytes", exact, ab, {{}, {}});
    refused("10,000,001 bytes", exact.insert(1, ' '), localizedString("Archivo demasiado grande"),
            localizedString("Los archivos de Brivel no pueden superar los 10 MB."));
}

void TestDocumentFile::openDocument()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, alert);
    QFETCH(QString, informativeText);
    QFETCH(QStringList, pages);
    QFETCH(QStringList, titles);

    ServiceFixture f;
    editSomePages(f.service);
    const DocumentState before(f.service);
    const QString path = f.path(u"document.brivel"_s);
    writeFile(path, content);
    f.service.openDocument(path);

    if (alert.isEmpty()) {
        QVERIFY(f.dialogs.alerts.isEmpty());
    } else {
        QCOMPARE(f.dialogs.alerts.size(), 1);
        QCOMPARE(f.dialogs.alerts.first().message, alert);
        QCOMPARE(f.dialogs.alerts.first().informativeText, informativeText);
    }
    if (pages.isEmpty()) {
        QVERIFY(DocumentState(f.service) == before);
        return;
    }
    QCOMPARE(f.service.pages(), pages);
    QCOMPARE(f.service.pageTitles(), titles);
    QCOMPARE(f.service.savedPages(), pages);
    QCOMPARE(f.service.currentFilePath(), path);
    QCOMPARE(f.service.currentPageIndex(), 0);
    QVERIFY(f.service.readPages().isEmpty());
}

void TestDocumentFile::pageLimitCountsCharactersLikeTheTokenizer_data()
{
    QTest::addColumn<QString>("alphabet");
    // Controls, CR LF pairs and combining marks in every position, also first.
    QTest::newRow("latin") << u"ae\u00E9 \r\n\t\u0085\u00AD\u007F\u0300\u0301\u036F\u02FF"_s;
    QTest::newRow("other scripts") << u"a\u0301\u1100\u1161\u11A8\u0915\u094D\u200D\r\n"_s
                                      u"\U0001F1EA\U0001F44D\U0001F3FD"_s;
}

void TestDocumentFile::pageLimitCountsCharactersLikeTheTokenizer()
{
    QFETCH(QString, alphabet);
    const QList<uint> scalars = alphabet.toUcs4();
    QRandomGenerator random(11);
    QString mix;
    while (mix.size() < 520'000) {
        const char32_t scalar = scalars.at(random.bounded(int(scalars.size())));
        mix += QString::fromUcs4(&scalar, 1);
    }
    // A plain letter after anything adds exactly one character.
    const int count = characterCount(mix);
    QVERIFY(count < BrivelService::maximumPageCharacters);
    SaveData data;
    data.pages = {mix + QString(BrivelService::maximumPageCharacters - count, u'z')};
    QVERIFY(data.isWithinDocumentLimits());
    data.pages.first() += u'z';
    QVERIFY(!data.isWithinDocumentLimits());
}

void TestDocumentFile::unreadablePaths_data()
{
    QTest::addColumn<MakePath>("makePath");
    QTest::addColumn<QString>("alert");
    QTest::addColumn<QString>("informativeText");

    const QString openError = localizedString("Error al abrir el archivo");
    const QString notADocument = localizedString("El archivo no es un archivo válido de Brivel.");
    QTest::newRow("other extension") << MakePath([](const QString &dir) {
        const QString path = dir + u"/notes.txt"_s;
        writeFile(path, record({u"A"_s}, {}));
        return path;
    }) << localizedString("Formato no soportado")
                                     << localizedString("Brivel solo abre archivos .brivel.");
    QTest::newRow("missing") << MakePath([](const QString &dir) -> QString {
        return dir + u"/gone.brivel"_s;
    }) << openError << localizedString("No se pudo encontrar el archivo.");
    QTest::newRow("directory") << MakePath([](const QString &dir) {
        const QString path = dir + u"/folder.brivel"_s;
        QDir().mkpath(path);
        return path;
    }) << openError << notADocument;
    // Opening a FIFO for reading would wait for a writer forever.
    QTest::newRow("fifo") << MakePath([](const QString &dir) {
        const QString path = dir + u"/pipe.brivel"_s;
        ::mkfifo(QFile::encodeName(path).constData(), 0600);
        return path;
    }) << openError << notADocument;
    QTest::newRow("link to a device") << MakePath([](const QString &dir) {
        const QString path = dir + u"/zero.brivel"_s;
        QFile::link(u"/dev/zero"_s, path);
        return path;
    }) << openError << notADocument;
    QTest::newRow("no permission") << MakePath([](const QString &dir) {
        const QString path = dir + u"/locked.brivel"_s;
        writeFile(path, record({u"A"_s}, {}));
        QFile::setPermissions(path, {});
        return path;
    }) << openError << localizedString("No tenés permiso para leer este archivo.");
}

void TestDocumentFile::unreadablePaths()
{
    QFETCH(MakePath, makePath);
    if (QByteArray(QTest::currentDataTag()) == "no permission" && ::geteuid() == 0)
        QSKIP("File permissions do not bind the superuser, so the file stays readable.");
    ServiceFixture f;
    editSomePages(f.service);
    const DocumentState before(f.service);
    f.service.openDocument(makePath(f.directory.path()));
    QCOMPARE(f.dialogs.alerts.size(), 1);
    QTEST(f.dialogs.alerts.first().message, "alert");
    QTEST(f.dialogs.alerts.first().informativeText, "informativeText");
    QVERIFY(DocumentState(f.service) == before);
}

void TestDocumentFile::readerStopsAtTheCapWhateverTheReportedSize()
{
    // Files of /proc report a size of 0 and still have content.
    const QString path = u"/proc/self/status"_s;
    QCOMPARE(QFileInfo(path).size(), 0);
    const BoundedFileReader::Result capped = BoundedFileReader::read(path, 16);
    QCOMPARE(capped.error, BoundedFileReader::Error::tooLarge);
    const BoundedFileReader::Result whole
        = BoundedFileReader::read(path, BoundedFileReader::unbounded);
    QVERIFY(whole.ok());
    QVERIFY(whole.bytes.startsWith("Name:"));
}

void TestDocumentFile::importedPresentationReplacesTheScript()
{
    ServiceFixture f;
    f.service.setPages({u"Old"_s});
    QVERIFY(f.service.save(f.path(u"old.brivel"_s)));
    f.service.setReadPages({0});
    // Capitals in the extension still count as a presentation.
    const QString deck = f.path(u"DECK.PPTX"_s);
    QVERIFY(QFile::copy(TEST_DATA_DIR u"/import/twelve-notes.pptx"_s, deck));

    f.service.importPresentation(deck);
    QCOMPARE(f.service.pages(), QStringList{u"Old"_s});
    QTRY_COMPARE(f.service.pages().size(), 12);
    QCOMPARE(f.service.pageTitles().first(), localizedString("Diapositiva %lld", 1LL));
    QCOMPARE(f.service.pageTitles().last(), localizedString("Diapositiva %lld", 12LL));
    QCOMPARE(f.service.currentPageIndex(), 0);
    QVERIFY(f.service.readPages().isEmpty());
    QVERIFY(f.service.currentFilePath().isEmpty());
    QVERIFY(!f.service.hasUnsavedChanges());
    // Written at once, not after the debounce.
    f.service.flushAutosave();
    QCOMPARE(SaveData::decode(readFile(f.service.autosaveFilePath()))->pages, f.service.pages());
    QVERIFY(f.dialogs.alerts.isEmpty());

    const QString language = NotchSettings::shared().appLanguage();
    for (const auto &[code, title] :
         {std::pair(u"es"_s, u"Diapositiva 2"_s), {u"en"_s, u"Slide 2"_s}}) {
        NotchSettings::shared().setAppLanguage(code);
        f.service.applyImportedSlides({u"a"_s, u"b"_s});
        QCOMPARE(f.service.pageTitles().last(), title);
    }
    NotchSettings::shared().setAppLanguage(language);
}

void TestDocumentFile::failedImportChangesNothing()
{
    ServiceFixture f;
    editSomePages(f.service);
    QVERIFY(f.service.save(f.path(u"mine.brivel"_s)));
    const DocumentState before(f.service);
    writeFile(f.path(u"broken.pptx"_s), "not a zip");

    f.service.importPresentation(f.path(u"broken.pptx"_s));
    QTRY_COMPARE(f.dialogs.alerts.size(), 1);
    QCOMPARE(f.dialogs.alerts.first().message, localizedString("Error de importación"));
    QCOMPARE(f.dialogs.alerts.first().informativeText,
             u"Failed to extract notes: Could not unzip PPTX file."_s);
    QVERIFY(DocumentState(f.service) == before);
}

void TestDocumentFile::whatIsSavedOpensAgain_data()
{
    QTest::addColumn<bool>("imported");
    QTest::addColumn<Limit>("limit");
    QTest::addColumn<int>("past");
    for (const bool imported : {false, true}) {
        const char *road = imported ? "import" : "save";
        for (const auto &[limit, name] : {std::pair(Limit::pages, "pages"),
                                          {Limit::pageCharacters, "page length"},
                                          {Limit::fileBytes, "file size"}}) {
            QTest::addRow("%s, %s at the limit", road, name) << imported << limit << 0;
            QTest::addRow("%s, %s past it", road, name) << imported << limit << 1;
        }
    }
}

// Pages that openDocument() would refuse are neither saved nor imported: an alert names the
// limit and by how much, and nothing changes. The largest that pass open again as they were.
void TestDocumentFile::whatIsSavedOpensAgain()
{
    QFETCH(bool, imported);
    QFETCH(Limit, limit);
    QFETCH(int, past);
    const auto spanish = spanishInterface();
    const LimitDocuments::Document document = LimitDocuments::atLimit(limit, past);
    const QString excess = LimitDocuments::excessOfOne(limit);

    ServiceFixture f;
    f.service.setPages({u"Mine"_s});
    QVERIFY(f.service.save(f.path(u"mine.brivel"_s)));
    if (imported) {
        const DocumentState before(f.service);
        const std::optional<QString> refusal = f.service.applyImportedSlides(document.pages);
        QCOMPARE(refusal.has_value(), past > 0);
        if (refusal) {
            QCOMPARE(*refusal, LimitDocuments::importRefusalLead + u"\n\n"_s + excess);
            QVERIFY(DocumentState(f.service) == before);
            return;
        }
        QCOMPARE(f.service.pages(), document.pages);
    } else {
        f.service.setPages(document.pages);
        f.service.setPageTitles(document.titles);
    }
    QCOMPARE(SaveData::encodedSize(document.pages, document.titles),
             SaveData::encode(document.pages, document.titles).size());

    const QString path = f.path(u"large.brivel"_s);
    const DocumentState before(f.service);
    QCOMPARE(f.service.save(path), past == 0);
    if (past > 0) {
        QCOMPARE(f.dialogs.alerts.size(), 1);
        QCOMPARE(f.dialogs.alerts.first().message, u"Error al guardar el archivo"_s);
        QCOMPARE(f.dialogs.alerts.first().informativeText,
                 u"El documento supera un límite de los archivos de Brivel y no se podría volver "
                 u"a abrir, así que no se guardó.\n\n"_s
                     + excess);
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(DocumentState(f.service) == before);
        QVERIFY(f.service.hasUnsavedChanges());
        // No file name is asked for a document that would not be written.
        QVERIFY(!f.service.saveAs());
        QVERIFY(f.dialogs.savePanels.isEmpty());
        QCOMPARE(f.dialogs.alerts.size(), 2);
        f.service.flushAutosave();
        QCOMPARE(SaveData::decode(readFile(f.service.autosaveFilePath()))->pages, document.pages);
        if (limit == Limit::pages) {
            NotchSettings::shared().setAppLanguage(u"en"_s);
            QVERIFY(!f.service.save(path));
            QVERIFY(f.dialogs.alerts.last().informativeText.endsWith(
                u"\n\nPages: 1,001; the maximum is 1,000, 1 too many."_s));
        }
        return;
    }
    QVERIFY(f.dialogs.alerts.isEmpty());
    if (limit == Limit::fileBytes)
        QCOMPARE(QFileInfo(path).size(), BrivelService::maximumFileBytes);
    ServiceFixture other;
    other.service.openDocument(path);
    QVERIFY(other.dialogs.alerts.isEmpty());
    QCOMPARE(other.service.pages(), document.pages);
    QCOMPARE(other.service.pageTitles(), document.titles);
}

// The size in megabytes is the maximum's, whatever the file's.
void TestDocumentFile::fileSizeSentenceNamesTheMaximum()
{
    const auto spanish = spanishInterface();
    const SaveData::LimitExcess excess{SaveData::LimitExcess::Limit::fileBytes, 22'345'678,
                                       BrivelService::maximumFileBytes};
    QCOMPARE(BrivelService::limitExcessText(excess),
             u"Tamaño del archivo: 22.345.678 bytes; el máximo es 10.000.000 (10 MB), 12.345.678 "
             u"de más."_s);
}

void TestDocumentFile::writeFailuresInTheUsersWords_data()
{
    QTest::addColumn<int>("errorNumber");
    QTest::addColumn<QString>("reason");
    const QString noSpace = u"No queda espacio libre en el disco."_s;
    const QString noPermission = u"No tenés permiso para guardar en esa ubicación."_s;
    QTest::newRow("ENOSPC") << ENOSPC << noSpace;
    QTest::newRow("EDQUOT") << EDQUOT << noSpace;
    QTest::newRow("EFBIG") << EFBIG
                           << u"El archivo supera el tamaño máximo que permite el sistema."_s;
    QTest::newRow("EACCES") << EACCES << noPermission;
    QTest::newRow("EPERM") << EPERM << noPermission;
    QTest::newRow("EROFS") << EROFS << u"El disco es de solo lectura."_s;
    QTest::newRow("ENOENT") << ENOENT << u"La carpeta ya no existe."_s;
    QTest::newRow("EIO, the system's words") << EIO << u"system words"_s;
}

void TestDocumentFile::writeFailuresInTheUsersWords()
{
    QFETCH(int, errorNumber);
    QFETCH(QString, reason);
    const auto spanish = spanishInterface();
    QCOMPARE(BrivelService::writeFailureReason(errorNumber, u"system words"_s), reason);
}

QTEST_GUILESS_MAIN(TestDocumentFile)
#include "tst_documentfile.moc"
