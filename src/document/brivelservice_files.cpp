// Document files: the autosave, opening and saving a document, the unsaved-changes question
// and the presentation import.

#include "brivelservice.h"

#include "atomicfile.h"
#include "autosaver.h"
#include "boundedfilereader.h"
#include "dialogs.h"
#include "logging.h"
#include "savedata.h"

#include "import/presentationimport.h"
#include "platform/observable.h"
#include "settings/localization.h"

#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

QString BrivelService::autosaveFilePath() const
{
    return m_autosaver->filePath();
}

void BrivelService::autosave()
{
    // Copies of the lists are cheap; encoding and writing happen on the autosave's worker.
    m_autosaver->write(m_pages, m_pageTitles);
}

void BrivelService::autosaveUnlessSuppressed()
{
    if (!m_suppressAutosave)
        autosave();
}

void BrivelService::flushAutosave()
{
    if (m_pagesAutosaveDebounce->isActive() || m_titlesAutosaveDebounce->isActive()) {
        m_pagesAutosaveDebounce->stop();
        m_titlesAutosaveDebounce->stop();
        autosaveUnlessSuppressed();
    }
    m_autosaver->waitForDone();
}

void BrivelService::loadAutosave()
{
    if (!QFileInfo::exists(autosaveFilePath()) && !QFileInfo(autosaveFilePath()).isSymLink())
        return;
    const BoundedFileReader::Result file = m_autosaver->read();
    QString error = file.description;
    std::optional<SaveData> data;
    if (file.ok())
        data = SaveData::decode(file.bytes, &error);
    if (!data) {
        // Kept for the user, never overwritten by the next autosave.
        const QString fate = m_autosaver->moveAside();
        qCCritical(lcService).noquote() << u"Autosave load failed: %1; %2"_s.arg(error, fate);
        return;
    }
    if (data->pages.isEmpty())
        return;
    m_suppressAutosave = true;
    normalizedTitles(data->titles, int(data->pages.size()));
    setPages(data->pages);
    setPageTitles(data->titles);
    m_savedPages = data->pages;
    m_dataWasLoaded = true;
    m_suppressAutosave = false;
}

bool BrivelService::save(const QString &path)
{
    const QByteArray bytes = SaveData::encode(m_pages, m_pageTitles);
    QString error;
    if (!AtomicFile::write(path, bytes, &error)) {
        m_dialogs.alert(localizedString("Error al guardar el archivo"), error);
        return false;
    }
    // Recent documents are left to the desktop's own file history on this platform.
    m_savedPages = m_pages;
    if (Observable::assign(m_currentFilePath, path))
        Q_EMIT currentFilePathChanged();
    return true;
}

bool BrivelService::saveAs()
{
    const std::optional<QString> path
        = m_dialogs.savePanel(localizedString("Sin título.brivel"), u"brivel"_s);
    return path && save(*path);
}

void BrivelService::openFilePanel()
{
    // Asked before the panel for every road it leads to, the presentation import included.
    if (!confirmReplacingPages())
        return;
    const std::optional<QString> path = m_dialogs.openPanel({u"brivel"_s, u"key"_s, u"pptx"_s});
    if (!path)
        return;
    const QString extension = QFileInfo(*path).suffix().toLower();
    if (extension == u"key") {
        m_dialogs.alert(localizedString("Los archivos .key no se pueden importar directamente"),
                        localizedString("Por favor exportá tu presentación como PPTX (.pptx) "
                                        "primero y abrí el archivo exportado."),
                        Dialogs::AlertStyle::informational);
    } else if (extension == u"pptx") {
        importPresentation(*path);
    } else {
        openDocument(*path);
    }
}

void BrivelService::importPresentation(const QString &path)
{
    PresentationImport::start(path, this, [this](const PresentationImport::Outcome &outcome) {
        if (outcome.error)
            showImportError(outcome.error->errorDescription());
        else
            applyImportedSlides(outcome.notes);
    });
}

void BrivelService::applyImportedSlides(const QStringList &slides)
{
    QStringList titles;
    titles.reserve(slides.size());
    for (int number = 1; number <= slides.size(); ++number)
        titles.append(importedPageTitle(number));
    m_suppressAutosave = true;
    setPages(slides);
    setPageTitles(titles);
    m_suppressAutosave = false;
    setCurrentPageIndex(0);
    setReadPages({});
    m_savedPages = m_pages;
    if (!m_currentFilePath.isEmpty()) {
        m_currentFilePath.clear();
        Q_EMIT currentFilePathChanged();
    }
    autosave();
}

void BrivelService::appendImportedSlides(const QStringList &slides)
{
    // Titles brought to the pages' length first, so that the new titles land on the new pages.
    QStringList titles = m_pageTitles;
    normalizedTitles(titles, int(m_pages.size()));
    for (int i = 0; i < slides.size(); ++i)
        titles.append(importedPageTitle(int(m_pages.size()) + i + 1));
    m_suppressAutosave = true;
    setPages(m_pages + slides);
    setPageTitles(titles);
    m_suppressAutosave = false;
    setReadPages({});
    if (m_currentFilePath.isEmpty())
        m_savedPages = m_pages;
    autosave();
}

void BrivelService::showImportError(const QString &description)
{
    m_dialogs.alert(localizedString("Error de importación"), description);
}

QString BrivelService::importedPageTitle(int number)
{
    return localizedString("Diapositiva %lld", qlonglong(number));
}

void BrivelService::showOpenError(const QString &informativeText)
{
    m_dialogs.alert(localizedString("Error al abrir el archivo"), informativeText);
}

void BrivelService::openDocument(const QString &path)
{
    if (QFileInfo(path).suffix().toLower() != u"brivel") {
        m_dialogs.alert(localizedString("Formato no soportado"),
                        localizedString("Brivel solo abre archivos .brivel."));
        return;
    }
    BoundedFileReader::Result file = BoundedFileReader::read(path, maximumFileBytes);
    switch (file.error) {
    case BoundedFileReader::Error::none:
        break;
    case BoundedFileReader::Error::tooLarge:
        m_dialogs.alert(localizedString("Archivo demasiado grande"),
                        localizedString("Los archivos de Brivel no pueden superar los 10 MB."));
        return;
    case BoundedFileReader::Error::noSuchFile:
        showOpenError(localizedString("No se pudo encontrar el archivo."));
        return;
    case BoundedFileReader::Error::noPermission:
        showOpenError(localizedString("No tenés permiso para leer este archivo."));
        return;
    case BoundedFileReader::Error::corruptFile:
        showOpenError(localizedString("El archivo está dañado."));
        return;
    case BoundedFileReader::Error::notRegularFile:
    case BoundedFileReader::Error::otherFileError:
        showOpenError(localizedString("El archivo no es un archivo válido de Brivel."));
        return;
    }
    std::optional<SaveData> data = SaveData::decode(std::exchange(file.bytes, {}));
    if (!data) {
        showOpenError(
            localizedString("El archivo está dañado o no es un archivo válido de Brivel."));
        return;
    }
    if (!data->hasSupportedVersion()) {
        m_dialogs.alert(
            localizedString("Versión no compatible"),
            localizedString("Este archivo se creó con una versión más reciente de Brivel."));
        return;
    }
    if (data->pages.isEmpty())
        return;
    if (!data->isWithinDocumentLimits()) {
        m_dialogs.alert(
            localizedString("Archivo inválido"),
            localizedString("El archivo contiene contenido fuera de los límites permitidos."));
        return;
    }

    normalizedTitles(data->titles, int(data->pages.size()));
    m_suppressAutosave = true;
    setPages(data->pages);
    setPageTitles(data->titles);
    m_suppressAutosave = false;
    m_savedPages = m_pages;
    setCurrentPageIndex(0);
    setReadPages({});
    if (Observable::assign(m_currentFilePath, path))
        Q_EMIT currentFilePathChanged();
}

bool BrivelService::confirmUnsavedChanges()
{
    return !hasUnsavedChanges() || askToSaveChanges();
}

bool BrivelService::confirmReplacingPages()
{
    return (!hasUnsavedChanges() && !pagesAreInNoDocumentFile()) || askToSaveChanges();
}

bool BrivelService::pagesAreInNoDocumentFile() const
{
    // The autosave restores pages as saved, yet the next autosave overwrites them with whatever
    // replaces them.
    if (!m_currentFilePath.isEmpty())
        return false;
    if (std::all_of(m_pages.cbegin(), m_pages.cend(), &BrivelService::isBlank))
        return false;
    return !(isSampleDocument && isSampleDocument(m_pages));
}

bool BrivelService::askToSaveChanges()
{
    switch (m_dialogs.askUnsavedChanges()) {
    case Dialogs::UnsavedChangesChoice::save:
        // Going on only after a successful save, so that a cancelled panel or a failed write
        // never drops the changes.
        return m_currentFilePath.isEmpty() ? saveAs() : save(m_currentFilePath);
    case Dialogs::UnsavedChangesChoice::discard:
        return true;
    case Dialogs::UnsavedChangesChoice::cancel:
        break;
    }
    return false;
}
