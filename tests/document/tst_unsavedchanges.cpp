#include "common/appfakes.h"
#include "common/files.h"
#include "document/savedata.h"
#include "settings/localization.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using TestSupport::readFile;
using TestSupport::writeFile;

using Choice = Dialogs::UnsavedChangesChoice;
// Where the pages in memory came from before the open.
enum class Origin { autosave, blankAutosave, sampleAutosave, freshSample, documentFile };

} // namespace

// The unsaved-changes question, and the open panel that asks it first.
class TestUnsavedChanges : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void confirmUnsavedChanges_data();
    void confirmUnsavedChanges();
    void openFilePanel_data();
    void openFilePanel();
    void openingOverPagesInNoFile_data();
    void openingOverPagesInNoFile();
};

void TestUnsavedChanges::confirmUnsavedChanges_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<bool>("hasFile");
    QTest::addColumn<Choice>("choice");
    // The save panel's answer: a file name in the test folder, or empty for a cancelled panel.
    QTest::addColumn<QString>("panelAnswer");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<bool>("saved");

    QTest::newRow("no changes") << false << false << Choice::cancel << QString() << true << false;
    QTest::newRow("discard") << true << false << Choice::discard << QString() << true << false;
    QTest::newRow("cancel") << true << true << Choice::cancel << QString() << false << false;
    QTest::newRow("save to the open file")
        << true << true << Choice::save << QString() << true << true;
    QTest::newRow("save, panel cancelled")
        << true << false << Choice::save << QString() << false << false;
    QTest::newRow("save, write fails")
        << true << false << Choice::save << u"missing-folder/new.brivel"_s << false << false;
    QTest::newRow("save as") << true << false << Choice::save << u"new.brivel"_s << true << true;
}

void TestUnsavedChanges::confirmUnsavedChanges()
{
    QFETCH(bool, edited);
    QFETCH(bool, hasFile);
    QFETCH(Choice, choice);
    QFETCH(QString, panelAnswer);
    QFETCH(bool, goesOn);
    QFETCH(bool, saved);

    ServiceFixture f;
    if (hasFile) {
        f.service.setPages({u"Saved"_s});
        QVERIFY(f.service.save(f.path(u"open.brivel"_s)));
    }
    if (edited)
        f.service.setPages({u"Saved"_s, u"Edited"_s});
    f.dialogs.unsavedChoice = choice;
    if (!panelAnswer.isEmpty())
        f.dialogs.savePanelAnswer = f.path(panelAnswer);

    const QString fileBefore = f.service.currentFilePath();
    QCOMPARE(f.service.confirmUnsavedChanges(), goesOn);
    QCOMPARE(f.dialogs.unsavedQuestions, edited ? 1 : 0);
    QCOMPARE(!f.service.hasUnsavedChanges(), !edited || saved);
    const bool panelShown = choice == Choice::save && !hasFile;
    QCOMPARE(f.dialogs.savePanels.size(), panelShown ? 1 : 0);
    if (panelShown) {
        QCOMPARE(f.dialogs.savePanels.first().first, localizedString("Sin título.brivel"));
        QCOMPARE(f.dialogs.savePanels.first().second, u"brivel"_s);
    }
    if (!saved) {
        QCOMPARE(f.service.currentFilePath(), fileBefore);
        // Only a failed write speaks up; a cancelled panel is the user's own choice.
        QCOMPARE(f.dialogs.alerts.size(), panelShown && !panelAnswer.isEmpty() ? 1 : 0);
        if (!f.dialogs.alerts.isEmpty()) {
            QCOMPARE(f.dialogs.alerts.first().message,
                     localizedString("Error al guardar el archivo"));
            QCOMPARE(f.dialogs.alerts.first().informativeText,
                     localizedString("La carpeta ya no existe."));
        }
        return;
    }
    const QString target = hasFile ? f.path(u"open.brivel"_s) : f.path(panelAnswer);
    QCOMPARE(f.service.currentFilePath(), target);
    QCOMPARE(SaveData::decode(readFile(target))->pages, f.service.pages());
}

void TestUnsavedChanges::openFilePanel_data()
{
    QTest::addColumn<QString>("chosenFile");
    QTest::addColumn<QString>("alert");
    QTest::addColumn<bool>("opened");

    const QString keyAlert
        = localizedString("Los archivos .key no se pueden importar directamente");
    QTest::newRow("document") << u"doc.brivel"_s << QString() << true;
    QTest::newRow("key") << u"deck.KEY"_s << keyAlert << false;
    // A presentation goes to the import, whose failure for this file arrives later.
    QTest::newRow("presentation") << u"deck.pptx"_s << localizedString("Error de importación")
                                  << false;
    QTest::newRow("panel cancelled") << QString() << QString() << false;
}

void TestUnsavedChanges::openFilePanel()
{
    QFETCH(QString, chosenFile);
    QFETCH(QString, alert);
    QFETCH(bool, opened);

    ServiceFixture f;
    const QString document = f.path(u"doc.brivel"_s);
    writeFile(document, SaveData::encode({u"From the file"_s}, {}));
    if (!chosenFile.isEmpty())
        f.dialogs.openPanelAnswer = f.path(chosenFile);

    f.service.openFilePanel();
    QCOMPARE(f.dialogs.unsavedQuestions, 0);
    QCOMPARE(f.dialogs.openPanels,
             QList<QStringList>{QStringList({u"brivel"_s, u"key"_s, u"pptx"_s})});
    if (!alert.isEmpty())
        QTRY_COMPARE(f.dialogs.alerts.size(), 1);
    QCOMPARE(f.dialogs.alerts.isEmpty(), alert.isEmpty());
    if (!alert.isEmpty())
        QCOMPARE(f.dialogs.alerts.first().message, alert);
    if (chosenFile.endsWith(u".KEY"))
        QCOMPARE(f.dialogs.alerts.first().style, Dialogs::AlertStyle::informational);
    QCOMPARE(f.service.pages(), opened ? QStringList{u"From the file"_s} : QStringList{QString()});

    // With unsaved changes the question comes first, and "Cancelar" ends it there.
    f.service.setPages({u"Edited"_s});
    f.dialogs.unsavedChoice = Choice::cancel;
    f.service.openFilePanel();
    QCOMPARE(f.dialogs.unsavedQuestions, 1);
    QCOMPARE(f.dialogs.openPanels.size(), 1);
}

void TestUnsavedChanges::openingOverPagesInNoFile_data()
{
    QTest::addColumn<Origin>("origin");
    QTest::addColumn<Choice>("choice");
    QTest::addColumn<QString>("chosenFile");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("replaced");

    const QString document = u"doc.brivel"_s;
    const QString deck = u"deck.pptx"_s;
    QTest::newRow("restored, Cancelar")
        << Origin::autosave << Choice::cancel << document << true << false;
    QTest::newRow("restored, Descartar")
        << Origin::autosave << Choice::discard << document << true << true;
    QTest::newRow("restored, Guardar")
        << Origin::autosave << Choice::save << document << true << true;
    QTest::newRow("restored, Cancelar, presentation")
        << Origin::autosave << Choice::cancel << deck << true << false;
    QTest::newRow("restored, Descartar, presentation")
        << Origin::autosave << Choice::discard << deck << true << true;
    QTest::newRow("restored blank pages")
        << Origin::blankAutosave << Choice::cancel << document << false << true;
    QTest::newRow("restored untouched sample")
        << Origin::sampleAutosave << Choice::cancel << document << false << true;
    QTest::newRow("a fresh profile's untouched sample")
        << Origin::freshSample << Choice::cancel << document << false << true;
    QTest::newRow("opened from a document file")
        << Origin::documentFile << Choice::cancel << document << false << true;
}

// Pages restored from the autosave count as saved, yet no document file holds them: an open
// over them asks first, as for unsaved edits.
void TestUnsavedChanges::openingOverPagesInNoFile()
{
    QFETCH(Origin, origin);
    QFETCH(Choice, choice);
    QFETCH(QString, chosenFile);
    QFETCH(bool, asked);
    QFETCH(bool, replaced);

    ServiceFixture f;
    const QString talk = QString(u"palabra "_s).repeated(20'000);
    const QStringList sample{u"Hola"_s, u"Puntos"_s};
    f.service.isSampleDocument = [&](const QStringList &pages) { return pages == sample; };
    const QStringList before = origin == Origin::blankAutosave ? QStringList{u""_s, u" \n"_s}
                               : origin == Origin::sampleAutosave || origin == Origin::freshSample
                                   ? sample
                                   : QStringList{talk};
    if (origin == Origin::freshSample) {
        // Written by the editor over the one empty page a fresh profile starts with.
        f.service.setPages(sample);
    } else if (origin == Origin::documentFile) {
        writeFile(f.path(u"earlier.brivel"_s), SaveData::encode(before, {}));
        f.service.openDocument(f.path(u"earlier.brivel"_s));
    } else {
        writeFile(f.service.autosaveFilePath(), SaveData::encode(before, {}));
        f.service.loadAutosave();
    }
    QVERIFY(!f.service.hasUnsavedChanges());
    writeFile(f.path(u"doc.brivel"_s), SaveData::encode({u"From the file"_s}, {}));
    f.dialogs.unsavedChoice = choice;
    f.dialogs.savePanelAnswer = f.path(u"rescued.brivel"_s);
    f.dialogs.openPanelAnswer = f.path(chosenFile);

    f.service.openFilePanel();
    QCOMPARE(f.dialogs.unsavedQuestions, asked ? 1 : 0);
    QCOMPARE(f.dialogs.openPanels.size(), replaced ? 1 : 0);
    if (choice == Choice::save)
        QCOMPARE(SaveData::decode(readFile(f.path(u"rescued.brivel"_s)))->pages, before);
    if (chosenFile.endsWith(u".pptx")) {
        // The import started: its failure for this file is shown.
        if (replaced)
            QTRY_COMPARE(f.dialogs.alerts.size(), 1);
        QCOMPARE(f.dialogs.alerts.size(), replaced ? 1 : 0);
        return;
    }
    const QStringList expected = replaced ? QStringList{u"From the file"_s} : before;
    QCOMPARE(f.service.pages(), expected);
    // The autosave follows the pages: over the restored ones only after the user's answer.
    f.service.flushAutosave();
    QCOMPARE(SaveData::decode(readFile(f.service.autosaveFilePath()))->pages, expected);
}

QTEST_GUILESS_MAIN(TestUnsavedChanges)
#include "tst_unsavedchanges.moc"
