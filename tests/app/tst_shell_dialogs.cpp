#include "app/qtdialogs.h"
#include "document/updatechecker.h"
#include "platform/inmemorykeyvaluestore.h"
#include "platform/userfiles.h"
#include "settings/localization.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

using Choice = Dialogs::UnsavedChangesChoice;

// Acts on the next modal dialog as soon as it is up, as the user would.
void whenModalShows(const std::function<void(QWidget *)> &act)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, qApp, [poll, act] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            poll->deleteLater();
            poll->stop();
            act(modal);
        }
    });
    poll->start(10);
}

QPushButton *buttonWithText(QMessageBox *box, const QString &text)
{
    for (QAbstractButton *button : box->buttons()) {
        if (button->text() == text)
            return qobject_cast<QPushButton *>(button);
    }
    return nullptr;
}

// What the next message box showed.
struct ShownBox
{
    QString message;
    QString informative;
    QStringList buttons; // sorted
    bool plain = false;  // every label shows its text as written
};

// Answers the next message box with `key`, else a click on the button called `button`, else by
// closing it; anything else that comes up is closed.
std::shared_ptr<ShownBox> answerNextBox(int key, const QString &button = {})
{
    auto shown = std::make_shared<ShownBox>();
    whenModalShows([=](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            modal->close();
            return;
        }
        shown->message = box->text();
        shown->informative = box->informativeText();
        for (QAbstractButton *each : box->buttons())
            shown->buttons << each->text();
        shown->buttons.sort();
        const auto labels = box->findChildren<QLabel *>();
        shown->plain = std::all_of(labels.begin(), labels.end(), [](const QLabel *label) {
            return label->text().isEmpty() || label->textFormat() == Qt::PlainText;
        });
        if (const QString dir = qEnvironmentVariable("BRIVEL_SCREENSHOT_DIR"); !dir.isEmpty())
            box->grab().save(dir + u"/"_s + QTest::currentTestFunction() + u".png"_s);
        if (key)
            QTest::keyClick(box, Qt::Key(key));
        else if (QPushButton *target = buttonWithText(box, button))
            target->click();
        else
            box->close();
    });
    return shown;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace

class TestShellDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unsavedChangesQuestion_data();
    void unsavedChangesQuestion();
    void destructiveQuestion_data();
    void destructiveQuestion();
    void questionWithButtons_data();
    void questionWithButtons();
    void savePanelAddsTheExtensionOnlyWhenNoneWasTyped_data();
    void savePanelAddsTheExtensionOnlyWhenNoneWasTyped();
    void cancelledPanelsChooseNothing();
    void theFileDialogsStateIsTheOwnersOnly();
    void alertsStayOnScreenWhileTheWindowIsMinimised();
    void updateOffer();
};

void TestShellDialogs::unsavedChangesQuestion_data()
{
    QTest::addColumn<int>("key"); // 0: a click on the button
    QTest::addColumn<QString>("button");
    QTest::addColumn<Choice>("expected");
    QTest::newRow("Guardar") << 0 << localizedString("Guardar") << Choice::save;
    QTest::newRow("Descartar") << 0 << localizedString("Descartar") << Choice::discard;
    QTest::newRow("Cancelar") << 0 << localizedString("Cancelar") << Choice::cancel;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << QString() << Choice::cancel;
}

void TestShellDialogs::unsavedChangesQuestion()
{
    QFETCH(int, key);
    QFETCH(QString, button);
    QFETCH(Choice, expected);
    const auto shown = answerNextBox(key, button);
    QtDialogs dialogs;
    QCOMPARE(dialogs.askUnsavedChanges(), expected);
    QCOMPARE(shown->message, localizedString("Tenés cambios sin guardar"));
    QCOMPARE(shown->informative,
             localizedString("¿Querés guardar los cambios antes de abrir otro archivo?"));
    QCOMPARE(shown->buttons, sorted({localizedString("Guardar"), localizedString("Descartar"),
                                     localizedString("Cancelar")}));
}

void TestShellDialogs::destructiveQuestion_data()
{
    QTest::addColumn<int>("key"); // 0: a click on the button
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("expected");
    QTest::newRow("Eliminar") << 0 << localizedString("Eliminar") << true;
    QTest::newRow("Cancelar") << 0 << localizedString("Cancelar") << false;
    QTest::newRow("Return") << int(Qt::Key_Return) << QString() << false;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << QString() << false;
}

void TestShellDialogs::destructiveQuestion()
{
    QFETCH(int, key);
    QFETCH(QString, button);
    QFETCH(bool, expected);
    const auto shown = answerNextBox(key, button);
    QtDialogs dialogs;
    QCOMPARE(dialogs.confirmDestructive(u"¿Eliminar esta página?"_s, u"Se perderá."_s,
                                        localizedString("Eliminar")),
             expected);
    // The question is the body's text, not only the window's caption.
    QCOMPARE(shown->message, u"¿Eliminar esta página?"_s);
    QCOMPARE(shown->informative, u"Se perderá."_s);
}

void TestShellDialogs::questionWithButtons_data()
{
    QTest::addColumn<int>("key"); // 0: a click on the button, or the alert is closed
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("expected");
    QTest::newRow("Reemplazar") << 0 << u"Reemplazar"_s << 1;
    QTest::newRow("Return") << int(Qt::Key_Return) << QString() << 0;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << QString() << 2;
    QTest::newRow("closed") << 0 << QString() << 2;
}

void TestShellDialogs::questionWithButtons()
{
    QFETCH(int, key);
    QFETCH(QString, button);
    QFETCH(int, expected);
    const auto shown = answerNextBox(key, button);
    QtDialogs dialogs;
    QCOMPARE(dialogs.ask(u"<b>Ya tenés notas</b>"_s, u"<i>1.2</i>"_s,
                         {u"Agregar"_s, u"Reemplazar"_s, u"Cancelar"_s}, 0, 2),
             expected);
    QCOMPARE(shown->buttons, sorted({u"Agregar"_s, u"Reemplazar"_s, u"Cancelar"_s}));
    // Markup from outside is shown as it is written.
    QVERIFY(shown->plain);
}

void TestShellDialogs::savePanelAddsTheExtensionOnlyWhenNoneWasTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no extension") << u"talk"_s << u"talk.brivel"_s;
    QTest::newRow("own extension") << u"talk.brivel"_s << u"talk.brivel"_s;
    QTest::newRow("another extension") << u"talk.json"_s << u"talk.json"_s;
}

void TestShellDialogs::savePanelAddsTheExtensionOnlyWhenNoneWasTyped()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QTemporaryDir folder;
    whenModalShows([&](QWidget *modal) {
        auto *panel = qobject_cast<QFileDialog *>(modal);
        auto *name = panel ? panel->findChild<QLineEdit *>(u"fileNameEdit"_s) : nullptr;
        if (!name) {
            modal->close();
            return;
        }
        panel->setDirectory(folder.path());
        name->setText(typed);
        QTest::keyClick(name, Qt::Key_Return);
    });
    QtDialogs dialogs;
    const std::optional<QString> path = dialogs.savePanel(u"Sin título.brivel"_s, u"brivel"_s);
    QVERIFY(path);
    QCOMPARE(*path, folder.filePath(expected));
}

void TestShellDialogs::cancelledPanelsChooseNothing()
{
    QtDialogs dialogs;
    whenModalShows([](QWidget *modal) { modal->close(); });
    QCOMPARE(dialogs.openPanel({u"brivel"_s, u"pptx"_s}), std::nullopt);
    whenModalShows([](QWidget *modal) { modal->close(); });
    QCOMPARE(dialogs.savePanel(u"Sin título.brivel"_s, u"brivel"_s), std::nullopt);
}

// Qt keeps the file dialog's state, with the folders the user visited, beside Brivel's settings:
// under the program's umask it is the owner's only, whatever the user's umask.
void TestShellDialogs::theFileDialogsStateIsTheOwnersOnly()
{
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    const mode_t usersUmask = ::umask(0022);
    UserFiles::keepNewFilesFromOthers();
    const auto restore = qScopeGuard([usersUmask] {
        ::umask(usersUmask);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    });
    whenModalShows([](QWidget *modal) { modal->close(); });
    QtDialogs().openPanel({u"brivel"_s});
    struct stat status
    {};
    QCOMPARE(::stat(QFile::encodeName(config.filePath(u"QtProject.conf"_s)).constData(), &status),
             0);
    QCOMPARE(status.st_mode & 0777, mode_t(0600));
}

// An alert over a minimised window would be minimised with it, out of the user's reach.
void TestShellDialogs::alertsStayOnScreenWhileTheWindowIsMinimised()
{
    QWidget window;
    window.show();
    QtDialogs dialogs;
    dialogs.setParentWindow(&window);
    QList<QWidget *> parents;
    for (const bool minimised : {false, true}) {
        window.setWindowState(minimised ? Qt::WindowMinimized : Qt::WindowNoState);
        whenModalShows([&parents](QWidget *modal) {
            parents << modal->parentWidget();
            modal->close();
        });
        dialogs.alert(u"Error al abrir el archivo"_s, QString());
    }
    QCOMPARE(parents, (QList<QWidget *>{&window, nullptr}));
}

// The offer as the user sees it; BRIVEL_SCREENSHOT_DIR keeps a picture of it.
void TestShellDialogs::updateOffer()
{
    const auto shown = answerNextBox(0, localizedString("Omitir esta versión"));
    QtDialogs dialogs;
    InMemoryKeyValueStore store;
    UpdateChecker::showUpdateAlert({u"<b>2.0</b>"_s, 43, QUrl(u"https://example.org/dl"_s)},
                                   dialogs, store);
    QCOMPARE(shown->informative,
             localizedString("La versión") + u" <b>2.0</b> "_s
                 + localizedString("ya está disponible. Descargala para actualizar."));
    QCOMPARE(shown->buttons.size(), 3);
    QCOMPARE(store.value(u"directUpdaterSkippedBuild"_s), QVariant(qint64(43)));
}

QTEST_MAIN(TestShellDialogs)
#include "tst_shell_dialogs.moc"
