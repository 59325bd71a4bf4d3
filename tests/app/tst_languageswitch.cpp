#include "app/appsignals.h"
#include "app/brivelapplication.h"
#include "app/mainwindow.h"
#include "common/appfakes.h"
#include "common/panelmodels.h"
#include "document/reviewsessioncounter.h"
#include "editor/contentview.h"
#include "editor/model/editorcontroller.h"
#include "overlay/externaldisplayview.h"
#include "overlay/floatingoverlayview.h"
#include "overlay/notchframetracker.h"
#include "overlay/notchoverlayview.h"

#include <QAbstractButton>
#include <QAction>
#include <QColorDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

QString text(const QWidget &view, const QString &name, const char *property = "text")
{
    return TestSupport::namedControl(view, name)->property(property).toString();
}

// The texts of a dialog's labels and buttons.
QStringList shownTexts(const QWidget &dialog)
{
    QStringList shown;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        shown << label->text();
    for (const QAbstractButton *button : dialog.findChildren<QAbstractButton *>())
        shown << button->text();
    return shown;
}

} // namespace

// Every open view shows its looked-up texts in the language chosen after it opened.
class TestLanguageSwitch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { NotchSettings::shared().setAppLanguage(u"es"_qs); }

    void panelsFollowTheLanguage()
    {
        NotchSettings::shared().setAppLanguage(u"es"_qs);
        TestSupport::PanelModels m;
        m.content.setPageCount(2);
        m.content.loadPage(QString(), true, true); // an empty page without a title
        m.content.setDuplicateAvailable(true);
        NotchFrameTracker tracker;
        NotchOverlayView pinned(m.content, m.recognizer, m.settings, 37, 160, tracker);
        FloatingOverlayView floating(m.content, m.recognizer, m.settings, false, [] {});
        ExternalDisplayView fullscreen(m.content, m.recognizer, m.settings);
        for (QWidget *view : std::initializer_list<QWidget *>{&pinned, &floating, &fullscreen})
            view->show();
        const auto texts = [&] {
            return QStringList{
                text(pinned, u"emptyPlaceholder"_qs),
                text(pinned, u"pageTitleToggle"_qs),
                text(pinned, u"pageTitleToggle"_qs, "toolTip"),
                text(pinned, u"minimizeButton"_qs, "toolTip"),
                text(pinned, u"closeButton"_qs, "toolTip"),
                text(floating, u"pageTitleToggle"_qs),
                text(floating, u"duplicateButton"_qs, "toolTip"),
                text(fullscreen, u"doneBadge"_qs, "accessibleName"),
                text(fullscreen, u"nextPageButton"_qs),
            };
        };
        QTRY_COMPARE(texts(),
                     (QStringList{u"Vacío"_qs, u"Notas"_qs, u"Mostrar números de página"_qs,
                                  u"Minimizar"_qs, u"Cerrar"_qs, u"Notas"_qs,
                                  u"Duplicar ventana"_qs, u"¡Listo!"_qs, u"Siguiente"_qs}));
        NotchSettings::shared().setAppLanguage(u"en"_qs);
        QCOMPARE(texts(), (QStringList{u"Empty"_qs, u"Notes"_qs, u"Show page numbers"_qs,
                                       u"Minimize"_qs, u"Close"_qs, u"Notes"_qs,
                                       u"Duplicate window"_qs, u"Done!"_qs, u"Next"_qs}));
    }

    void editorWindowFollowsTheLanguage()
    {
        NotchSettings::shared().setAppLanguage(u"es"_qs);
        ServiceFixture f;
        f.service.setPages({u"uno"_qs});
        f.service.setPageTitles({QString()});
        ReviewSessionCounter counter{f.store};
        EditorController controller{f.service, f.settings, f.store, counter};
        AppSignals signals;
        MainWindow window(f.service, signals);
        window.setContentView(new ContentView(controller, f.service, f.dialogs));
        window.show();
        QCOMPARE(window.saveAction()->text(), u"Guardar"_qs);

        NotchSettings::shared().setAppLanguage(u"en"_qs);
        QCOMPARE(window.saveAction()->text(), u"Save"_qs);
        QStringList shown;
        for (const QLineEdit *field : window.findChildren<QLineEdit *>())
            shown << field->placeholderText();
        for (const QAbstractButton *button : window.findChildren<QAbstractButton *>())
            shown << button->text() << button->toolTip();
        for (const QLabel *label : window.findChildren<QLabel *>())
            shown << label->text();
        for (const QString &expected :
             {u"Title"_qs, u"Search"_qs, u"Add new page"_qs, u"Settings"_qs, u"Commands"_qs,
              u"Copied"_qs, u"Empty"_qs, u"Welcome to Brivel"_qs, u"Get started"_qs})
            QVERIFY2(shown.contains(expected), qPrintable(expected));
    }

    // Qt's own open panel and colour panel speak the language Brivel started in and follow a
    // switch; a language Qt has no catalogue for leaves them in English.
    void qtDialogsFollowTheLanguage()
    {
        NotchSettings::shared().setAppLanguage(u"es"_qs);
        const BrivelApplication brivel(std::make_unique<FakeDialogs>());
        QFileDialog files;
        files.setAcceptMode(QFileDialog::AcceptOpen);
        files.show();
        QColorDialog colours;
        colours.show();
        const auto shows = [](const QWidget &dialog, const QStringList &expected) -> QString {
            const QStringList shown = shownTexts(dialog);
            for (const QString &text : expected) {
                if (!shown.contains(text))
                    return text + u" not in "_qs + shown.join(u" | ");
            }
            return QString();
        };
        const QStringList spanishFiles{u"Ver en:"_qs, u"&Nombre de fichero:"_qs,
                                       u"Ficheros de tipo:"_qs, u"Cancelar"_qs};
        const QStringList spanishColours{u"Colores &básicos"_qs, u"&Colores personalizados"_qs,
                                         u"&Añadir a los colores personalizados"_qs};
        const QStringList englishFiles{u"Look in:"_qs, u"File &name:"_qs, u"Files of type:"_qs,
                                       u"Cancel"_qs};
        const QStringList englishColours{u"&Basic colors"_qs, u"&Custom colors"_qs,
                                         u"&Add to Custom Colors"_qs};
        QCOMPARE(shows(files, spanishFiles), QString());
        QCOMPARE(shows(colours, spanishColours), QString());

        NotchSettings::shared().setAppLanguage(u"en"_qs);
        QTRY_COMPARE(shows(files, englishFiles), QString());
        QTRY_COMPARE(shows(colours, englishColours), QString());

        NotchSettings::shared().setAppLanguage(u"es"_qs);
        QTRY_COMPARE(shows(files, spanishFiles), QString());
        NotchSettings::shared().setAppLanguage(u"tlh"_qs);
        QTRY_COMPARE(shows(files, englishFiles), QString());
        QTRY_COMPARE(shows(colours, englishColours), QString());
    }
};

QTEST_MAIN(TestLanguageSwitch)
#include "tst_languageswitch.moc"
