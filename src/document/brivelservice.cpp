#include "brivelservice.h"

#include "autosaver.h"
#include "dialogs.h"
#include "externaltext.h"
#include "logging.h"
#include "savedata.h"

#include "import/presentationimport.h"
#include "overlay/model/overlaycontent.h"
#include "overlay/model/readingoverlay.h"
#include "platform/atomicfile.h"
#include "platform/boundedfilereader.h"
#include "platform/observable.h"
#include "settings/displaytext.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"
#include "speech/speechrecognizer.h"

#include <QFileInfo>
#include <QPointer>
#include <QTextBoundaryFinder>
#include <QTimer>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr int autosaveDebounceMs = 500;
constexpr int previewCharacters = 40;

// The first characters of a page for the page picker. Only a prefix of the page is analysed, so
// a long document costs little on every page change.
QString preview(const QString &page)
{
    const QStringView text = QStringView(page).trimmed();
    for (qsizetype window = std::min<qsizetype>(text.size(), 256);; window *= 2) {
        window = std::min(window, text.size());
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text.data(), window);
        int count = 0;
        qsizetype boundary = 0;
        while (count < previewCharacters && boundary < window) {
            boundary = graphemes.toNextBoundary();
            ++count;
        }
        // A boundary at the window's end may be an artefact of the cut; one inside it is real.
        if (boundary == text.size())
            return DisplayText::shown(text.toString());
        if (count == previewCharacters && boundary < window)
            return DisplayText::shown(text.first(boundary) + u'\u2026');
    }
}

void stopListening(ReadingOverlay &overlay)
{
    SpeechRecognizer &recognizer = overlay.speechRecognizer();
    if (recognizer.isListening())
        recognizer.setIsListening(false);
    recognizer.tearDownSession();
}

} // namespace

BrivelService::BrivelService(NotchSettings &settings, ReadingOverlay &overlay, Dialogs &dialogs,
                             const QString &autosaveDirectory, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_overlay(overlay)
    , m_dialogs(dialogs)
    , m_autosaver(std::make_unique<Autosaver>(autosaveDirectory))
    , m_pagesAutosaveDebounce(new QTimer(this))
    , m_titlesAutosaveDebounce(new QTimer(this))
{
    // Each field has its own debounce, as if each were observed on its own; the current values
    // are not written, only changes.
    for (QTimer *debounce : {m_pagesAutosaveDebounce, m_titlesAutosaveDebounce}) {
        debounce->setSingleShot(true);
        debounce->setInterval(autosaveDebounceMs);
        connect(debounce, &QTimer::timeout, this, &BrivelService::autosaveUnlessSuppressed);
    }
    connect(this, &BrivelService::pagesChanged, m_pagesAutosaveDebounce,
            qOverload<>(&QTimer::start));
    connect(this, &BrivelService::pageTitlesChanged, m_titlesAutosaveDebounce,
            qOverload<>(&QTimer::start));
}

BrivelService::~BrivelService() = default;

void BrivelService::setLaunchedExternally(bool launched)
{
    if (Observable::assign(m_launchedExternally, launched))
        Q_EMIT launchedExternallyChanged();
}

void BrivelService::setPages(const QStringList &pages)
{
    if (Observable::assign(m_pages, pages))
        Q_EMIT pagesChanged();
}

void BrivelService::setPageTitles(const QStringList &titles)
{
    if (Observable::assign(m_pageTitles, titles))
        Q_EMIT pageTitlesChanged();
}

void BrivelService::setCurrentPageIndex(int index)
{
    if (Observable::assign(m_currentPageIndex, index))
        Q_EMIT currentPageIndexChanged();
}

void BrivelService::setReadPages(const QSet<int> &pages)
{
    if (Observable::assign(m_readPages, pages))
        Q_EMIT readPagesChanged();
}

// Reading control

QString BrivelService::title(int index) const
{
    if (index >= 0 && index < m_pageTitles.size()) {
        const QString shown = DisplayText::title(m_pageTitles.at(index));
        if (!shown.isEmpty())
            return shown;
    }
    return localizedString("Vacío");
}

QString BrivelService::currentPageText() const
{
    return m_currentPageIndex >= 0 && m_currentPageIndex < m_pages.size()
               ? m_pages.at(m_currentPageIndex)
               : QString();
}

bool BrivelService::isBlank(const QString &page)
{
    return QStringView(page).trimmed().isEmpty();
}

bool BrivelService::hasNonBlankPage(int index) const
{
    const qsizetype first = std::max<qsizetype>(qsizetype(index) + 1, 0);
    return std::any_of(m_pages.cbegin() + std::min(first, m_pages.size()), m_pages.cend(),
                       [](const QString &page) { return !isBlank(page); });
}

void BrivelService::startReading(int index)
{
    if (index < 0 || index >= m_pages.size())
        return;
    const QString text = m_pages.at(index).trimmed();
    setCurrentPageIndex(index);
    stopListening(m_overlay);
    const bool hasNextPage = hasNonBlankPage(m_currentPageIndex);
    if (m_overlay.hasPanel() && m_overlay.overlayContent().isNotesMode()) {
        m_overlay.updateContent(text, hasNextPage, true);
        updatePageIndicator();
        return;
    }
    m_overlay.show(text, hasNextPage, true, [self = QPointer(this)] {
        if (self && self->onOverlayDismissed)
            self->onOverlayDismissed();
    });
    if (m_settings.effectiveGlobalArrowKeysEnabled())
        m_overlay.registerHotKeys();
    updatePageIndicator();
}

void BrivelService::goToPage(int index)
{
    if (index < 0 || index >= m_pages.size())
        return;
    setCurrentPageIndex(index);
    if (!m_readPages.contains(index)) {
        m_readPages.insert(index);
        Q_EMIT readPagesChanged();
    }
    const QString text = currentPageText().trimmed();
    stopListening(m_overlay);
    m_overlay.updateContent(text, hasNonBlankPage(m_currentPageIndex), false);
    updatePageIndicator();
}

void BrivelService::goToNextNonBlankPage()
{
    for (qsizetype i = qsizetype(m_currentPageIndex) + 1; i < m_pages.size(); ++i) {
        if (!isBlank(m_pages.at(i))) {
            goToPage(int(i));
            return;
        }
    }
}

void BrivelService::showExternalText(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return;
    setLaunchedExternally(true);
    hideMainWindows();
    m_overlay.show(trimmed, hasNonBlankPage(m_currentPageIndex), false, [self = QPointer(this)] {
        if (self && self->onOverlayDismissed)
            self->onOverlayDismissed();
    });
    updatePageIndicator();
}

void BrivelService::handleURL(const QString &link)
{
    if (const std::optional<QString> text = ExternalText::textFromLink(link))
        showExternalText(*text);
}

std::optional<QString> BrivelService::acceptExternalText(const std::optional<QString> &text,
                                                         QString *refusal)
{
    if (!text) {
        *refusal = localizedString("No se encontró texto en el portapapeles");
        return std::nullopt;
    }
    std::optional<QString> accepted = ExternalText::checked(*text);
    if (!accepted)
        *refusal = localizedString("El texto es demasiado largo");
    return accepted;
}

void BrivelService::updatePageIndicator()
{
    OverlayContent &content = m_overlay.overlayContent();
    updateOverlayPageTitles(content);
    if (content.currentPageIndex() != m_currentPageIndex)
        content.setCurrentPageIndex(m_currentPageIndex);
}

void BrivelService::updateOverlayPageTitles(OverlayContent &content)
{
    if (content.pageCount() != m_pages.size())
        content.setPageCount(int(m_pages.size()));
    QStringList previews;
    previews.reserve(m_pages.size());
    for (const QString &page : std::as_const(m_pages))
        previews.append(preview(page));
    content.setPagePreviews(previews);
    // The panel only shows titles: it gets them as shown.
    QStringList titles;
    titles.reserve(m_pageTitles.size());
    for (const QString &title : std::as_const(m_pageTitles))
        titles.append(DisplayText::boundedTitle(title));
    content.setPageTitles(titles);
}

void BrivelService::hideMainWindows()
{
    // Deferred also on the main thread, so the caller's own work with the windows ends first.
    QTimer::singleShot(0, this, [this] {
        if (hideMainWindowsHandler)
            hideMainWindowsHandler();
    });
}

void BrivelService::normalizedTitles(QStringList &titles, int count)
{
    titles.resize(std::max(count, 0));
}

// Files

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
