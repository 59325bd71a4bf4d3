#include "editorcontrollerfixture.h"

#include "common/files.h"
#include "common/limitdocuments.h"
#include "document/reviewsessioncounter.h"
#include "document/savedata.h"
#include "settings/localization.h"

#include <QFile>
#include <QTest>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

// Presentations dropped on the editor or chosen with its button.
class TestEditorImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { NotchSettings::shared().setAppLanguage(u"es"_s); }

    void presentationDrops_data()
    {
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QStringList>("pages");

        const QString notes = u"Notas de la primera"_s;
        const QStringList imported{notes, u"Notas de la tercera"_s};
        const QStringList untouched{u" \n"_s};
        QTest::newRow("nothing") << QStringList() << false << QString() << QString() << untouched;
        QTest::newRow("web address, never fetched")
            << QStringList{u"http://example.invalid/deck.pptx"_s} << false << QString() << QString()
            << untouched;
        QTest::newRow("KEY in capitals")
            << QStringList{u"deck.KEY"_s} << true << u"Conversión requerida"_s
            << u"Los archivos .key no se pueden importar directamente. Por favor exportá tu "
               "presentación como PPTX (.pptx) primero, y luego arrastrá el archivo exportado "
               "aquí."_s
            << untouched;
        QTest::newRow("other file")
            << QStringList{u"notes.txt"_s} << true << u"Error de importación"_s
            << u"Archivo no compatible. Arrastrá un archivo .pptx."_s << untouched;
        QTest::newRow("two files: the first counts, PPTX in capitals")
            << QStringList{u"DECK.PPTX"_s, u"deck.key"_s} << true << QString() << QString()
            << imported;
        QTest::newRow("a web address before the file")
            << QStringList{u"http://example.invalid/x.key"_s, u"DECK.PPTX"_s} << true << QString()
            << QString() << imported;
        QTest::newRow("broken deck")
            << QStringList{u"broken.pptx"_s} << true << u"Error de importación"_s
            << u"Failed to extract notes: Could not unzip PPTX file."_s << untouched;
    }

    // A blank document takes the notes without a question; alerts carry their titles.
    void presentationDrops()
    {
        QFETCH(QStringList, dropped);
        QFETCH(bool, accepted);
        QFETCH(QString, title);
        QFETCH(QString, error);
        Fixture f({u" \n"_s});
        QVERIFY(QFile::copy(TEST_DATA_DIR u"/import/three-slides.pptx"_s,
                            f.directory.filePath(u"DECK.PPTX"_s)));
        QFile broken(f.directory.filePath(u"broken.pptx"_s));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("PK") == 2);
        broken.close();
        // A conversion alert first: a later failure still carries its own title.
        f.editor->setDropAlertTitle(u"Conversión requerida"_s);
        QList<QUrl> urls;
        for (const QString &item : dropped)
            urls << (item.startsWith(u"http") ? QUrl(item)
                                              : QUrl::fromLocalFile(f.directory.filePath(item)));

        QCOMPARE(f.editor->handlePresentationDrop(urls), accepted);
        if (accepted)
            QTRY_VERIFY(f.editor->dropError() || f.service.pages().size() == 2);
        QCoreApplication::processEvents();
        QVERIFY(!f.editor->isImporting());
        QCOMPARE(f.editor->dropError().value_or(QString()), error);
        if (!title.isEmpty())
            QCOMPARE(f.editor->dropAlertTitle(), title);
        QTEST(f.service.pages(), "pages");
        QVERIFY(f.dialogs.questions.isEmpty());
    }

    void mergeImportedNotes_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("withFile");
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<int>("current");

        const QStringList before{u"uno"_s, u"dos"_s};
        QTest::newRow("Agregar: titles numbered after the pages, the short title list first padded")
            << 0 << false << (before + QStringList{u"a"_s, u"b"_s, u"c"_s})
            << QStringList{u"Mío"_s, QString(), u"Diapositiva 3"_s, u"Diapositiva 4"_s,
                           u"Diapositiva 5"_s}
            << 1;
        QTest::newRow("Reemplazar")
            << 1 << true << QStringList{u"a"_s, u"b"_s, u"c"_s}
            << QStringList{u"Diapositiva 1"_s, u"Diapositiva 2"_s, u"Diapositiva 3"_s} << 0;
        QTest::newRow("Cancelar (Escape)") << -1 << false << before << QStringList{u"Mío"_s} << 1;
        QTest::newRow("Agregar to a document file leaves it unsaved")
            << 0 << true << (before + QStringList{u"a"_s, u"b"_s, u"c"_s})
            << QStringList{u"Mío"_s, QString(), u"Diapositiva 3"_s, u"Diapositiva 4"_s,
                           u"Diapositiva 5"_s}
            << 1;
    }

    void mergeImportedNotes()
    {
        QFETCH(int, answer);
        QFETCH(bool, withFile);
        QFETCH(int, current);
        Fixture f({u"uno"_s, u"dos"_s}, {u"Mío"_s}, 1);
        if (withFile)
            QVERIFY(f.service.save(f.directory.filePath(u"mine.brivel"_s)));
        f.service.setReadPages({0});
        f.dialogs.askAnswer = answer;

        f.editor->mergeImportedNotes({u"a"_s, u"b"_s, u"c"_s});
        QCOMPARE(f.dialogs.questions.size(), 1);
        const FakeDialogs::Question &question = f.dialogs.questions.first();
        QCOMPARE(question.message, u"Ya tenés notas"_s);
        QCOMPARE(question.buttons, (QStringList{u"Agregar"_s, u"Reemplazar"_s, u"Cancelar"_s}));
        QCOMPARE(question.defaultButton, 0);
        QCOMPARE(question.escapeButton, 2);
        QTEST(f.service.pages(), "pages");
        QTEST(f.service.pageTitles(), "titles");
        QCOMPARE(f.service.currentPageIndex(), current);
        QCOMPARE(f.service.readPages().isEmpty(), answer != -1);
        const bool replaced = answer == 1;
        QCOMPARE(f.service.currentFilePath().isEmpty(), !withFile || replaced);
        if (answer != -1) {
            QCOMPARE(f.service.hasUnsavedChanges(), answer == 0 && withFile);
            f.service.flushAutosave();
            QCOMPARE(SaveData::decode(TestSupport::readFile(f.service.autosaveFilePath()))->pages,
                     f.service.pages());
        }
    }

    void importBeyondTheLimits_data()
    {
        using LimitDocuments::Limit;
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("notes");
        QTest::addColumn<bool>("asked");
        // Empty when the notes are taken.
        QTest::addColumn<QString>("excess");

        const QStringList blank{u" \n"_s};
        for (const auto &[limit, name] : {std::pair(Limit::pages, "pages"),
                                          {Limit::pageCharacters, "page length"},
                                          {Limit::fileBytes, "file size"}}) {
            QTest::addRow("%s at the limit", name)
                << blank << LimitDocuments::atLimit(limit, 0).pages << false << QString();
            QTest::addRow("%s past it", name) << blank << LimitDocuments::atLimit(limit, 1).pages
                                              << false << LimitDocuments::excessOfOne(limit);
        }
        const QStringList mine{u"uno"_s, u"dos"_s};
        QTest::newRow("past a limit on their own: refused before the question")
            << mine << LimitDocuments::atLimit(Limit::pages, 1).pages << false
            << LimitDocuments::excessOfOne(Limit::pages);
        QTest::newRow("Agregar up to the page limit")
            << mine << QStringList(998, u"p"_s) << true << QString();
        QTest::newRow("Agregar past it") << mine << QStringList(999, u"p"_s) << true
                                         << LimitDocuments::excessOfOne(Limit::pages);
    }

    // The editor's import refuses what could not be saved and opened again, whole.
    void importBeyondTheLimits()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, notes);
        QFETCH(bool, asked);
        QFETCH(QString, excess);
        Fixture f(before);
        f.dialogs.askAnswer = 0;
        f.editor->mergeImportedNotes(notes);
        QCOMPARE(f.dialogs.questions.size(), asked ? 1 : 0);
        if (excess.isEmpty()) {
            QVERIFY(!f.editor->dropError());
            QCOMPARE(f.service.pages(), asked ? before + notes : notes);
            return;
        }
        QCOMPARE(f.editor->dropAlertTitle(), u"Error de importación"_s);
        QCOMPARE(f.editor->dropError(), LimitDocuments::importRefusalLead + u"\n\n"_s + excess);
        QCOMPARE(f.service.pages(), before);
    }

    // The button's panel asks for a .pptx; a deck whose pages no file holds asks before
    // they are replaced.
    void importButton()
    {
        Fixture f({u"texto sin archivo"_s});
        QVERIFY(QFile::copy(TEST_DATA_DIR u"/import/three-slides.pptx"_s,
                            f.directory.filePath(u"deck.pptx"_s)));
        f.editor->importPresentation();
        QCOMPARE(f.dialogs.openPanels, QList<QStringList>{QStringList{u"pptx"_s}});
        QCOMPARE(f.dialogs.openPanelMessages, QStringList{u"Seleccioná un archivo .pptx"_s});
        QVERIFY(!f.editor->isImporting());

        f.dialogs.openPanelAnswer = f.directory.filePath(u"deck.pptx"_s);
        f.dialogs.askAnswer = 1;
        f.dialogs.unsavedChoice = Dialogs::UnsavedChangesChoice::cancel;
        f.editor->importPresentation();
        QVERIFY(f.editor->isImporting());
        QTRY_VERIFY(!f.editor->isImporting());
        QCOMPARE(f.dialogs.unsavedQuestions, 1);
        QCOMPARE(f.service.pages(), QStringList{u"texto sin archivo"_s});
    }
};

QTEST_GUILESS_MAIN(TestEditorImport)
#include "tst_editorimport.moc"
