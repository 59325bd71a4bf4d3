#include "editorcontroller.h"

#include "document/brivelservice.h"
#include "document/reviewsessioncounter.h"
#include "editor/model/pagesearch.h"
#include "overlay/model/overlaycontent.h"
#include "overlay/model/readingoverlay.h"
#include "platform/keyvaluestore.h"
#include "platform/observable.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"

#include <QPointer>
#include <QScopedValueRollback>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString onboardingKey = u"hasCompletedOnboarding"_s;
const QString coachMarksKey = u"hasCompletedCoachMarks"_s;

QString storedTitle(const QStringList &titles, int index)
{
    return index >= 0 && index < titles.size() ? titles.at(index) : QString();
}

} // namespace

EditorController::EditorController(BrivelService &service, NotchSettings &settings,
                                   KeyValueStore &store, ReviewSessionCounter &reviewCounter,
                                   QObject *parent)
    : QObject(parent)
    , m_service(service)
    , m_settings(settings)
    , m_store(store)
    , m_reviewCounter(reviewCounter)
    , m_dropAlertTitle(localizedString("Error de importación"))
    , m_showOnboarding(!hasCompletedOnboarding())
    , m_coachMarksStart(new QTimer(this))
{
    m_coachMarksStart->setSingleShot(true);
    m_coachMarksStart->setInterval(coachMarksDelayMs);
    connect(m_coachMarksStart, &QTimer::timeout, this, &EditorController::beginCoachMarks);
    m_service.isSampleDocument = &EditorController::isSampleContent;
    connect(&m_service, &BrivelService::currentPageIndexChanged, this,
            &EditorController::commitToolbarTitleEdit);
    // A document opened or imported while the title is edited replaces the page under the edit.
    connect(&m_service, &BrivelService::pageTitlesChanged, this, [this] {
        if (m_isEditingToolbarTitle && !titleEditPageIsIntact())
            endTitleEdit();
        if (m_renamingPageIndex && !renamePageIsIntact())
            cancelRename();
    });
    connect(&m_service, &BrivelService::pagesChanged, this, [this] {
        if (m_renamingPageIndex && !renamePageIsIntact())
            cancelRename();
    });
}

EditorController::~EditorController() = default;

// Properties

void EditorController::setIsRunning(bool running)
{
    if (Observable::assign(m_isRunning, running))
        Q_EMIT isRunningChanged();
}

void EditorController::setEditorCaretPosition(int position)
{
    if (Observable::assign(m_editorCaretPosition, position))
        Q_EMIT editorCaretPositionChanged();
}

void EditorController::setShowSettings(bool show)
{
    if (!Observable::assign(m_showSettings, show))
        return;
    stopReadingWhenSettingsOpen();
    Q_EMIT showSettingsChanged();
}

void EditorController::setShowAbout(bool show)
{
    if (Observable::assign(m_showAbout, show))
        Q_EMIT showAboutChanged();
}

void EditorController::setShowOnboarding(bool show)
{
    if (Observable::assign(m_showOnboarding, show))
        Q_EMIT showOnboardingChanged();
}

bool EditorController::hasCompletedOnboarding() const
{
    return m_store.boolValue(onboardingKey).value_or(false);
}

bool EditorController::hasCompletedCoachMarks() const
{
    return m_store.boolValue(coachMarksKey).value_or(false);
}

void EditorController::setCoachMarkStep(int step)
{
    if (Observable::assign(m_coachMarkStep, step))
        Q_EMIT coachMarkStepChanged();
}

void EditorController::setPendingDeleteIndex(std::optional<int> index)
{
    if (Observable::assign(m_pendingDeleteIndex, index))
        Q_EMIT pendingDeleteIndexChanged();
}

void EditorController::setShowCopiedToast(bool show)
{
    if (Observable::assign(m_showCopiedToast, show))
        Q_EMIT showCopiedToastChanged();
}

void EditorController::setTriggerSlashMenu(bool trigger)
{
    if (Observable::assign(m_triggerSlashMenu, trigger))
        Q_EMIT triggerSlashMenuChanged();
}

void EditorController::setIsEditingToolbarTitle(bool editing)
{
    if (Observable::assign(m_isEditingToolbarTitle, editing))
        Q_EMIT isEditingToolbarTitleChanged();
}

void EditorController::setToolbarTitleText(const QString &text)
{
    if (!Observable::assign(m_toolbarTitleText, text))
        return;
    if (m_isEditingToolbarTitle)
        setCurrentPageTitle(text);
    Q_EMIT toolbarTitleTextChanged();
}

void EditorController::setToolbarSearchText(const QString &text)
{
    if (Observable::assign(m_toolbarSearchText, text))
        Q_EMIT toolbarSearchTextChanged();
}

void EditorController::setIsSearchOpen(bool open)
{
    if (Observable::assign(m_isSearchOpen, open))
        Q_EMIT isSearchOpenChanged();
}

void EditorController::setIsTextFocused(bool focused)
{
    if (Observable::assign(m_isTextFocused, focused))
        Q_EMIT isTextFocusedChanged();
}

void EditorController::setIsToolbarTitleFocused(bool focused)
{
    if (Observable::assign(m_isToolbarTitleFocused, focused))
        Q_EMIT isToolbarTitleFocusedChanged();
}

void EditorController::setIsSearchFieldFocused(bool focused)
{
    if (Observable::assign(m_isSearchFieldFocused, focused))
        Q_EMIT isSearchFieldFocusedChanged();
}

void EditorController::setRenamingPageIndex(std::optional<int> index)
{
    if (Observable::assign(m_renamingPageIndex, index))
        Q_EMIT renamingPageIndexChanged();
}

void EditorController::setRenameText(const QString &text)
{
    if (Observable::assign(m_renameText, text))
        Q_EMIT renameTextChanged();
}

void EditorController::setIsRenameFieldFocused(bool focused)
{
    if (Observable::assign(m_isRenameFieldFocused, focused))
        Q_EMIT isRenameFieldFocusedChanged();
}

// Window root and reading control

void EditorController::onboardingCompleted()
{
    m_store.setValue(onboardingKey, true);
    const bool wasShown = m_showOnboarding;
    setShowOnboarding(false);
    if (wasShown && !hasCompletedCoachMarks())
        m_coachMarksStart->start();
}

bool EditorController::canStartTeleprompter() const
{
    const QStringList pages = m_service.pages();
    return std::any_of(pages.cbegin(), pages.cend(),
                       [](const QString &page) { return !BrivelService::isBlank(page); });
}

void EditorController::startTeleprompter()
{
    if (!canStartTeleprompter())
        return;
    setIsTextFocused(false);
    m_reviewCounter.markSessionStart();
    m_service.onOverlayDismissed = [self = QPointer(this)] {
        if (self)
            self->handleOverlayDismissed();
    };
    m_service.setReadPages({});

    int index = 0;
    if (!BrivelService::isBlank(m_service.currentPageText())) {
        index = m_service.currentPageIndex();
    } else {
        const QStringList pages = m_service.pages();
        const auto first = std::find_if(pages.cbegin(), pages.cend(), [](const QString &page) {
            return !BrivelService::isBlank(page);
        });
        if (first != pages.cend())
            index = int(first - pages.cbegin());
    }
    m_service.startReading(index);
    // The cursor and fullscreen views draw no page picker: opened there, it would take the
    // arrows for a list nobody sees.
    const OverlayMode mode = m_settings.overlayMode();
    if (mode != OverlayMode::cursor && mode != OverlayMode::fullscreen)
        m_service.overlayController().overlayContent().setShowPagePicker(true);
    m_service.hideMainWindows();
    setIsRunning(true);
}

void EditorController::handleToggleTeleprompter()
{
    if (m_showOnboarding)
        return;
    if (m_isRunning) {
        // The overlay's completion ends the session for the review counter later.
        m_service.overlayController().dismiss();
        m_service.setReadPages({});
        setIsRunning(false);
    } else if (canStartTeleprompter()) {
        startTeleprompter();
    }
}

void EditorController::syncRunningState()
{
    if (m_showOnboarding)
        return;
    setIsRunning(m_service.overlayController().hasPanel());
}

void EditorController::openSettings()
{
    if (!m_showOnboarding)
        setShowSettings(true);
}

void EditorController::dismissSettings()
{
    setShowSettings(false);
}

void EditorController::openAbout()
{
    if (!m_showOnboarding)
        setShowAbout(true);
}

void EditorController::handleOverlayDismissed()
{
    setIsRunning(false);
    m_service.setReadPages({});
    m_reviewCounter.recordReviewSession();
}

void EditorController::stopReadingWhenSettingsOpen()
{
    ReadingOverlay &overlay = m_service.overlayController();
    if (m_showSettings && overlay.hasPanel())
        overlay.dismiss();
}

void EditorController::initialSetup()
{
    if (!m_didInitialOnboardingCheck) {
        m_didInitialOnboardingCheck = true;
        if (hasCompletedOnboarding() && !hasCompletedCoachMarks())
            m_coachMarksStart->start();
    }

    // Only a document that nobody has touched: a page holding spaces is the user's.
    const QStringList pages = m_service.pages();
    if (!m_service.dataWasLoaded() && pages.size() == 1 && pages.constFirst().isEmpty()) {
        QStringList texts;
        QStringList titles;
        for (const SamplePage &page : sampleContent()) {
            titles.append(page.title);
            texts.append(page.text);
        }
        m_service.setPages(texts);
        m_service.setPageTitles(titles);
    }

    if (m_service.overlayController().hasPanel())
        setIsRunning(true);

    if (!m_service.launchedExternally())
        setIsTextFocused(true);
    else
        m_service.hideMainWindows();
}

void EditorController::beginCoachMarks()
{
    setCoachMarkStep(1);
}

void EditorController::finishCoachMarks()
{
    if (m_coachMarkStep == 0)
        return;
    setCoachMarkStep(0);
    m_store.setValue(coachMarksKey, true);
    QTimer::singleShot(coachMarksReadingDelayMs, this, [this] {
        if (!m_isRunning && !m_showOnboarding)
            startTeleprompter();
    });
}

// Header

bool EditorController::canGoToPreviousPage() const
{
    return m_service.currentPageIndex() >= 1;
}

bool EditorController::canGoToNextPage() const
{
    return m_service.currentPageIndex() < m_service.pages().size() - 1;
}

void EditorController::goToPreviousPage()
{
    const QScopedValueRollback fade(m_pageChangeFadeSeconds, chevronFadeSeconds);
    m_service.setCurrentPageIndex(std::max(m_service.currentPageIndex() - 1, 0));
}

void EditorController::goToNextPage()
{
    const QScopedValueRollback fade(m_pageChangeFadeSeconds, chevronFadeSeconds);
    const int last = int(m_service.pages().size()) - 1;
    m_service.setCurrentPageIndex(std::min(m_service.currentPageIndex() + 1, last));
}

void EditorController::beginToolbarTitleEdit()
{
    // One title edit at a time.
    commitRename();
    const int index = m_service.currentPageIndex();
    m_titleEditPageIndex = index;
    m_titleEditStoredTitle = storedTitle(m_service.pageTitles(), index);
    // Set before editing starts, so the opening text is not stored as a change.
    setToolbarTitleText(m_titleEditStoredTitle);
    setIsEditingToolbarTitle(true);
    QTimer::singleShot(titleFieldFocusDelayMs, this, [this] {
        if (m_isEditingToolbarTitle)
            setIsToolbarTitleFocused(true);
    });
}

void EditorController::setCurrentPageTitle(const QString &title)
{
    if (titleEditPageIsIntact())
        storeTitleEdit(title);
}

bool EditorController::titleEditPageIsIntact() const
{
    return m_titleEditPageIndex >= 0 && m_titleEditPageIndex < m_service.pages().size()
           && storedTitle(m_service.pageTitles(), m_titleEditPageIndex) == m_titleEditStoredTitle;
}

void EditorController::storeTitleEdit(const QString &title)
{
    QStringList titles = m_service.pageTitles();
    if (titles.size() <= m_titleEditPageIndex)
        titles.resize(m_titleEditPageIndex + 1);
    titles[m_titleEditPageIndex] = title;
    // Known before the service tells its observers, so the edit recognises its own write.
    m_titleEditStoredTitle = title;
    m_service.setPageTitles(titles);
}

void EditorController::endTitleEdit()
{
    setIsEditingToolbarTitle(false);
    // The field goes away with its focus; a stale request would block the next one.
    setIsToolbarTitleFocused(false);
}

void EditorController::commitToolbarTitle()
{
    if (!m_isEditingToolbarTitle)
        return;
    if (titleEditPageIsIntact())
        storeTitleEdit(m_toolbarTitleText.trimmed());
    endTitleEdit();
}

void EditorController::commitToolbarTitleEdit()
{
    if (!m_isEditingToolbarTitle)
        return;
    // A title that was never stored is not created here.
    if (m_titleEditPageIndex < m_service.pageTitles().size() && titleEditPageIsIntact())
        storeTitleEdit(m_toolbarTitleText.trimmed());
    endTitleEdit();
}

void EditorController::openToolbarSearch()
{
    setIsSearchOpen(true);
    setIsSearchFieldFocused(true);
}

void EditorController::closeToolbarSearch()
{
    setToolbarSearchText(QString());
    setIsSearchOpen(false);
    setIsSearchFieldFocused(false);
}

void EditorController::copyPageText()
{
    if (copyTextHandler)
        copyTextHandler(currentPageText());
    setShowCopiedToast(true);
    // Each copy ends the toast on its own schedule; a second copy does not extend the first.
    QTimer::singleShot(copiedToastDurationMs, this, [this] { setShowCopiedToast(false); });
}

QList<int> EditorController::filteredPageIndices() const
{
    const QStringList pages = m_service.pages();
    const QString query = m_toolbarSearchText.trimmed();
    QList<int> indices;
    indices.reserve(pages.size());
    const QStringList titles = m_service.pageTitles();
    for (int i = 0; i < pages.size(); ++i) {
        if (query.isEmpty() || PageSearch::find(storedTitle(titles, i), query) >= 0
            || PageSearch::find(pages.at(i), query) >= 0)
            indices.append(i);
    }
    return indices;
}

// Sidebar

void EditorController::selectPage(int index)
{
    if (index < 0 || index >= m_service.pages().size())
        return;
    const QScopedValueRollback fade(m_pageChangeFadeSeconds, chevronFadeSeconds);
    setToolbarSearchText(QString());
    m_service.setCurrentPageIndex(index);
}

void EditorController::startRename(int index)
{
    if (index < 0 || index >= m_service.pages().size())
        return;
    // One title edit at a time: the other one is kept, not dropped.
    commitToolbarTitle();
    commitRename();
    m_service.setCurrentPageIndex(index);
    m_renameStoredTitle = storedTitle(m_service.pageTitles(), index);
    setRenameText(m_renameStoredTitle);
    setRenamingPageIndex(index);
    QTimer::singleShot(titleFieldFocusDelayMs, this, [this, index] {
        if (m_renamingPageIndex == index)
            setIsRenameFieldFocused(true);
    });
}

bool EditorController::renamePageIsIntact() const
{
    return m_renamingPageIndex && *m_renamingPageIndex < m_service.pages().size()
           && storedTitle(m_service.pageTitles(), *m_renamingPageIndex) == m_renameStoredTitle;
}

void EditorController::commitRename()
{
    if (!m_renamingPageIndex)
        return;
    const int index = *m_renamingPageIndex;
    const bool intact = renamePageIsIntact();
    // Closed before the store, so the title's change is not taken for someone else's.
    cancelRename();
    if (!intact)
        return;
    QStringList titles = m_service.pageTitles();
    if (titles.size() <= index)
        titles.resize(index + 1);
    titles[index] = m_renameText.trimmed();
    m_service.setPageTitles(titles);
}

void EditorController::cancelRename()
{
    setRenamingPageIndex(std::nullopt);
    setIsRenameFieldFocused(false);
}
