// Document files: the autosave, opening and saving a document, the unsaved-changes question
// and the presentation import.

#include "brivelservice.h"

#include "autosaver.h"
#include "dialogs.h"
#include "logging.h"
#include "savedata.h"

#include "import/presentationimport.h"
#include "platform/atomicfile.h"
#include "platform/boundedfilereader.h"
#include "platform/observable.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"

#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <utility>

using namespace Qt::StringLiterals;

QString BrivelService::writeFailureReason(int errorNumber, const QString &systemReason)
{
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
        return localizedString("No queda espacio libre en el disco.");
    case EFBIG:
        return localizedString("El archivo supera el tamaño máximo que permite el sistema.");
    case EACCES:
    case EPERM:
        return localizedString("No tenés permiso para guardar en esa ubicación.");
    case EROFS:
        return localizedString("El disco es de solo lectura.");
    case ENOENT:
        return localizedString("La carpeta ya no existe.");
    default:
        return systemReason;
    }
}

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
    tieToRecordedDocument();
}

void BrivelService::tieToRecordedDocument()
{
    const QString path = m_autosaver->recordedDocumentPath();
    if (path.isEmpty())
        return;
    BoundedFileReader::Result file = BoundedFileReader::read(path, maximumFileBytes);
    if (!file.ok())
        return;
    std::optional<SaveData> document = SaveData::decode(std::exchange(file.bytes, {}));
    if (!document || !document->hasSupportedVersion() || document->pages != m_pages)
        return;
    normalizedTitles(document->titles, int(document->pages.size()));
    if (document->titles != m_pageTitles || !document->isWithinDocumentLimits())
        return;
    // Already what the record says: not written again.
    if (Observable::assign(m_currentFilePath, path))
        Q_EMIT currentFilePathChanged();
}

void BrivelService::setCurrentFilePath(const QString &path)
{
    if (!Observable::assign(m_currentFilePath, path))
        return;
    m_autosaver->recordDocumentPath(path);
    Q_EMIT currentFilePathChanged();
}

bool BrivelService::hasUnsavedChanges() const
{
    return m_pages != m_savedPages && !isUntouchedSample();
}

bool BrivelService::isUntouchedSample() const
{
    return isSampleDocument && isSampleDocument(m_pages);
}

std::optional<QByteArray> BrivelService::encodedForSaving()
{
    // The limits openDocument() applies, so that what is saved opens again.
    std::optional<SaveData::LimitExcess> excess = SaveData::contentLimitExcess(m_pages);
    QByteArray bytes;
    if (!excess) {
        bytes = SaveData::encode(m_pages, m_pageTitles);
        excess = SaveData::fileSizeExcess(bytes.size());
    }
    if (!excess)
        return bytes;
    m_dialogs.alert(localizedString("Error al guardar el archivo"),
                    localizedString("El documento supera un límite de los archivos de Brivel y "
                                    "no se podría volver a abrir, así que no se guardó.")
                        + u"\n\n"_s + limitExcessText(*excess));
    return std::nullopt;
}

bool BrivelService::save(const QString &path)
{
    const std::optional<QByteArray> bytes = encodedForSaving();
    if (!bytes)
        return false;
    QString error;
    int errorNumber = 0;
    if (!AtomicFile::write(path, *bytes, &error, &errorNumber)) {
        m_dialogs.alert(localizedString("Error al guardar el archivo"),
                        writeFailureReason(errorNumber, error));
        return false;
    }
    // Recent documents are left to the desktop's own file history on this platform.
    m_savedPages = m_pages;
    setCurrentFilePath(path);
    return true;
}

bool BrivelService::saveAs()
{
    // Refused before the panel: naming a file that is not written helps nobody.
    if (!encodedForSaving())
        return false;
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
        else if (const std::optional<QString> refusal = applyImportedSlides(outcome.notes))
            showImportError(*refusal);
    });
}

std::optional<QString> BrivelService::applyImportedSlides(const QStringList &slides)
{
    const QStringList titles = importedPageTitles(1, slides.size());
    if (std::optional<QString> refusal = importRefusal(slides, titles))
        return refusal;
    m_suppressAutosave = true;
    setPages(slides);
    setPageTitles(titles);
    m_suppressAutosave = false;
    setCurrentPageIndex(0);
    setReadPages({});
    m_savedPages = m_pages;
    setCurrentFilePath(QString());
    autosave();
    return std::nullopt;
}

std::optional<QString> BrivelService::appendImportedSlides(const QStringList &slides)
{
    // Titles brought to the pages' length first, so that the new titles land on the new pages.
    QStringList titles = m_pageTitles;
    normalizedTitles(titles, int(m_pages.size()));
    titles += importedPageTitles(int(m_pages.size()) + 1, slides.size());
    const QStringList pages = m_pages + slides;
    if (std::optional<QString> refusal = importRefusal(pages, titles))
        return refusal;
    m_suppressAutosave = true;
    setPages(pages);
    setPageTitles(titles);
    m_suppressAutosave = false;
    setReadPages({});
    if (m_currentFilePath.isEmpty())
        m_savedPages = m_pages;
    autosave();
    return std::nullopt;
}

std::optional<QString> BrivelService::importRefusal(const QStringList &pages,
                                                    const QStringList &titles)
{
    const std::optional<SaveData::LimitExcess> excess = SaveData::limitExcess(pages, titles);
    if (!excess)
        return std::nullopt;
    return localizedString("Con estas notas, el documento superaría un límite de Brivel y no se "
                           "podría guardar. No se importó nada.")
           + u"\n\n"_s + limitExcessText(*excess);
}

QString BrivelService::limitExcessText(const SaveData::LimitExcess &excess)
{
    const auto number = [](qint64 value) { return localizedNumber(value); };
    const QString over = number(excess.count - excess.maximum);
    switch (excess.limit) {
    case SaveData::LimitExcess::Limit::pages:
        return localizedString("Páginas: %@; el máximo es %@, %@ de más.", number(excess.count),
                               number(excess.maximum), over);
    case SaveData::LimitExcess::Limit::pageCharacters:
        return localizedString("Página %@: %@ caracteres; el máximo es %@, %@ de más.",
                               number(excess.page), number(excess.count), number(excess.maximum),
                               over);
    case SaveData::LimitExcess::Limit::fileBytes:
        break;
    }
    return localizedString("Tamaño del archivo: %@ bytes; el máximo es %@ (%@), %@ de más.",
                           number(excess.count), number(excess.maximum),
                           NotchSettings::shared().currentLocale().formattedDataSize(
                               excess.maximum, 0, QLocale::DataSizeSIFormat),
                           over);
}

QStringList BrivelService::importedPageTitles(int firstNumber, qsizetype count)
{
    QStringList titles;
    titles.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        titles.append(importedPageTitle(firstNumber + int(i)));
    return titles;
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
    setCurrentFilePath(path);
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
    return !isUntouchedSample();
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
