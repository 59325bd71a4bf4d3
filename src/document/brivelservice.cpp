#include "brivelservice.h"

#include "autosaver.h"
#include "dialogs.h"
#include "externaltext.h"

#include "overlay/model/overlaycontent.h"
#include "overlay/model/readingoverlay.h"
#include "platform/atomicfile.h"
#include "platform/boundedfilereader.h"
#include "platform/observable.h"
#include "settings/displaytext.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"
#include "speech/speechrecognizer.h"

#include <QPointer>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int autosaveDebounceMs = 500;
constexpr int previewCharacters = 40;

// The first characters of a page for the page picker. Only a prefix of the page is analysed, so
// a long document costs little on every page change.
QString preview(const QString &page)
{
    const QStringView text = QStringView(page).trimmed();
    const QStringView kept = DisplayText::cut(text, previewCharacters);
    return DisplayText::shown(kept.size() == text.size() ? text.toString() : kept + u'\u2026');
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
