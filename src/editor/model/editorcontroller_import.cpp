// Presentation import: the pane's drop, the import button and the merge of the notes into the
// document.

#include "editorcontroller.h"

#include "document/brivelservice.h"
#include "document/dialogs.h"
#include "import/presentationimport.h"
#include "platform/observable.h"
#include "settings/localization.h"

#include <QFileInfo>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

void EditorController::setIsDroppingPresentation(bool dropping)
{
    if (Observable::assign(m_isDroppingPresentation, dropping))
        Q_EMIT isDroppingPresentationChanged();
}

void EditorController::setDropError(const std::optional<QString> &error)
{
    if (Observable::assign(m_dropError, error))
        Q_EMIT dropErrorChanged();
}

void EditorController::setIsImporting(bool importing)
{
    if (Observable::assign(m_isImporting, importing))
        Q_EMIT isImportingChanged();
}

void EditorController::showDropAlert(const QString &title, const QString &message)
{
    setDropAlertTitle(title);
    setDropError(message);
}

bool EditorController::handlePresentationDrop(const QList<QUrl> &urls)
{
    const auto file = std::find_if(urls.cbegin(), urls.cend(),
                                   [](const QUrl &url) { return url.isLocalFile(); });
    if (file == urls.cend())
        return false;
    const QString path = file->toLocalFile();
    // Decided after the drop has finished: an alert shown inside it would keep the drag source
    // waiting for the drop's end.
    QTimer::singleShot(0, this, [this, path] {
        const QString extension = QFileInfo(path).suffix().toLower();
        if (extension == u"key") {
            showDropAlert(localizedString("Conversión requerida"),
                          localizedString("Los archivos .key no se pueden importar directamente. "
                                          "Por favor exportá tu presentación como PPTX (.pptx) "
                                          "primero, y luego arrastrá el archivo exportado aquí."));
        } else if (extension == u"pptx") {
            importPresentationFile(path);
        } else {
            showDropAlert(localizedString("Error de importación"),
                          localizedString("Archivo no compatible. Arrastrá un archivo .pptx."));
        }
    });
    return true;
}

void EditorController::importPresentation()
{
    const std::optional<QString> path = m_service.dialogs().openPanel(
        {u"pptx"_s}, localizedString("Seleccioná un archivo .pptx"));
    if (path)
        importPresentationFile(*path);
}

void EditorController::importPresentationFile(const QString &path)
{
    setIsImporting(true);
    PresentationImport::start(path, this, [this](const PresentationImport::Outcome &outcome) {
        if (!outcome.error) {
            mergeImportedNotes(outcome.notes);
            return;
        }
        showDropAlert(localizedString("Error de importación"), outcome.error->errorDescription());
        setIsImporting(false);
    });
}

void EditorController::mergeImportedNotes(const QStringList &notes)
{
    // Refused before any question: neither answer could make a document that opens again.
    std::optional<QString> refusal
        = BrivelService::importRefusal(notes, BrivelService::importedPageTitles(1, notes.size()));
    if (refusal) {
        showDropAlert(localizedString("Error de importación"), *refusal);
        setIsImporting(false);
        return;
    }
    const QStringList pages = m_service.pages();
    const bool hasText = !std::all_of(pages.cbegin(), pages.cend(), &BrivelService::isBlank);
    enum Answer { append, replace, cancel };
    int answer = replace;
    if (hasText) {
        answer = m_service.dialogs().ask(
            localizedString("Ya tenés notas"),
            localizedString(
                "¿Querés reemplazar las notas existentes o agregar las nuevas al final?"),
            {localizedString("Agregar"), localizedString("Reemplazar"),
             localizedString("Cancelar")},
            append, cancel);
    }
    // Replacing text that no document file holds asks whether to keep it first.
    if (answer == replace && hasText && !m_service.confirmReplacingPages())
        answer = cancel;
    if (answer == replace)
        refusal = m_service.applyImportedSlides(notes);
    else if (answer == append)
        refusal = m_service.appendImportedSlides(notes);
    if (refusal)
        showDropAlert(localizedString("Error de importación"), *refusal);
    setIsImporting(false);
}

void EditorController::setDropAlertTitle(const QString &title)
{
    if (Observable::assign(m_dropAlertTitle, title))
        Q_EMIT dropAlertTitleChanged();
}
