#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class BrivelService;
class Bundle;
class KeyValueStore;
class NotchSettings;
class QTimer;
class ReviewSessionCounter;

// The editor window's state and operations, free of any widget: the reading control, the page
// helpers, the header's title edit and search, the delete question and the first-run sample.
// The window's widgets bind to its properties and call its operations. Main thread only.
class EditorController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isRunning READ isRunning NOTIFY isRunningChanged)
    Q_PROPERTY(int editorCaretPosition READ editorCaretPosition WRITE setEditorCaretPosition NOTIFY
                   editorCaretPositionChanged)
    Q_PROPERTY(bool isDroppingPresentation READ isDroppingPresentation WRITE
                   setIsDroppingPresentation NOTIFY isDroppingPresentationChanged)
    Q_PROPERTY(
        std::optional<QString> dropError READ dropError WRITE setDropError NOTIFY dropErrorChanged)
    Q_PROPERTY(QString dropAlertTitle READ dropAlertTitle WRITE setDropAlertTitle NOTIFY
                   dropAlertTitleChanged)
    Q_PROPERTY(bool isImporting READ isImporting NOTIFY isImportingChanged)
    Q_PROPERTY(bool showSettings READ showSettings WRITE setShowSettings NOTIFY showSettingsChanged)
    Q_PROPERTY(bool showAbout READ showAbout WRITE setShowAbout NOTIFY showAboutChanged)
    Q_PROPERTY(bool showOnboarding READ showOnboarding NOTIFY showOnboardingChanged)
    Q_PROPERTY(
        int coachMarkStep READ coachMarkStep WRITE setCoachMarkStep NOTIFY coachMarkStepChanged)
    Q_PROPERTY(std::optional<int> pendingDeleteIndex READ pendingDeleteIndex NOTIFY
                   pendingDeleteIndexChanged)
    Q_PROPERTY(bool showCopiedToast READ showCopiedToast NOTIFY showCopiedToastChanged)
    Q_PROPERTY(bool triggerSlashMenu READ triggerSlashMenu WRITE setTriggerSlashMenu NOTIFY
                   triggerSlashMenuChanged)
    Q_PROPERTY(
        bool isEditingToolbarTitle READ isEditingToolbarTitle NOTIFY isEditingToolbarTitleChanged)
    Q_PROPERTY(QString toolbarTitleText READ toolbarTitleText WRITE setToolbarTitleText NOTIFY
                   toolbarTitleTextChanged)
    Q_PROPERTY(QString toolbarSearchText READ toolbarSearchText WRITE setToolbarSearchText NOTIFY
                   toolbarSearchTextChanged)
    Q_PROPERTY(bool isSearchOpen READ isSearchOpen NOTIFY isSearchOpenChanged)
    Q_PROPERTY(
        bool isTextFocused READ isTextFocused WRITE setIsTextFocused NOTIFY isTextFocusedChanged)
    Q_PROPERTY(bool isToolbarTitleFocused READ isToolbarTitleFocused WRITE setIsToolbarTitleFocused
                   NOTIFY isToolbarTitleFocusedChanged)
    Q_PROPERTY(bool isSearchFieldFocused READ isSearchFieldFocused WRITE setIsSearchFieldFocused
                   NOTIFY isSearchFieldFocusedChanged)
    Q_PROPERTY(
        std::optional<int> renamingPageIndex READ renamingPageIndex NOTIFY renamingPageIndexChanged)
    Q_PROPERTY(QString renameText READ renameText WRITE setRenameText NOTIFY renameTextChanged)
    Q_PROPERTY(bool isRenameFieldFocused READ isRenameFieldFocused WRITE setIsRenameFieldFocused
                   NOTIFY isRenameFieldFocusedChanged)

public:
    struct SamplePage
    {
        QString title;
        QString text;
    };

    // Delays of the deferred steps, in milliseconds.
    static constexpr int coachMarksDelayMs = 500;
    static constexpr int coachMarksReadingDelayMs = 300;
    static constexpr int titleFieldFocusDelayMs = 100;
    static constexpr int copiedToastDurationMs = 1500;
    // How long the editor's text fades when the current page changes.
    static constexpr double chevronFadeSeconds = 0.18;
    static constexpr double addOrDeleteFadeSeconds = 0.2;

    // The flags are read from and written to the store; "hasCompletedOnboarding" decides at
    // once whether the onboarding is shown.
    EditorController(BrivelService &service, NotchSettings &settings, KeyValueStore &store,
                     ReviewSessionCounter &reviewCounter, QObject *parent = nullptr);
    ~EditorController() override;

    // Puts text on the clipboard; the window installs it. Copying without it only raises the
    // confirmation.
    std::function<void(const QString &)> copyTextHandler;

    NotchSettings &settings() const { return m_settings; }
    bool isRunning() const { return m_isRunning; }
    int editorCaretPosition() const { return m_editorCaretPosition; }
    void setEditorCaretPosition(int position);
    bool isDroppingPresentation() const { return m_isDroppingPresentation; }
    void setIsDroppingPresentation(bool dropping);
    // The import error alert shows while it is set.
    std::optional<QString> dropError() const { return m_dropError; }
    void setDropError(const std::optional<QString> &error);
    QString dropAlertTitle() const { return m_dropAlertTitle; }
    void setDropAlertTitle(const QString &title);
    // From the start of a presentation import until its result has been handled.
    bool isImporting() const { return m_isImporting; }
    bool showSettings() const { return m_showSettings; }
    // Opening the settings ends a running session.
    void setShowSettings(bool show);
    bool showAbout() const { return m_showAbout; }
    void setShowAbout(bool show);
    bool showOnboarding() const { return m_showOnboarding; }
    bool hasCompletedOnboarding() const;
    bool hasCompletedCoachMarks() const;
    // 0 = no coach mark, 1 = editor, 2 = settings button, 3 = play button.
    int coachMarkStep() const { return m_coachMarkStep; }
    void setCoachMarkStep(int step);
    // The delete question shows while it is set.
    std::optional<int> pendingDeleteIndex() const { return m_pendingDeleteIndex; }
    bool showCopiedToast() const { return m_showCopiedToast; }
    // The editor opens the command palette and clears the request.
    bool triggerSlashMenu() const { return m_triggerSlashMenu; }
    void setTriggerSlashMenu(bool trigger);
    bool isEditingToolbarTitle() const { return m_isEditingToolbarTitle; }
    QString toolbarTitleText() const { return m_toolbarTitleText; }
    // While the title is edited, every change is stored at once as the page's title.
    void setToolbarTitleText(const QString &text);
    QString toolbarSearchText() const { return m_toolbarSearchText; }
    void setToolbarSearchText(const QString &text);
    bool isSearchOpen() const { return m_isSearchOpen; }
    // Focus requests; the widgets report focus they lose by setting false.
    bool isTextFocused() const { return m_isTextFocused; }
    void setIsTextFocused(bool focused);
    bool isToolbarTitleFocused() const { return m_isToolbarTitleFocused; }
    void setIsToolbarTitleFocused(bool focused);
    bool isSearchFieldFocused() const { return m_isSearchFieldFocused; }
    void setIsSearchFieldFocused(bool focused);
    // The page whose title the sidebar's field edits, and the field's text.
    std::optional<int> renamingPageIndex() const { return m_renamingPageIndex; }
    QString renameText() const { return m_renameText; }
    void setRenameText(const QString &text);
    bool isRenameFieldFocused() const { return m_isRenameFieldFocused; }
    void setIsRenameFieldFocused(bool focused);
    // While the current page changes: how long the editor's text fades from the old page to the
    // new one, in seconds; 0 for a change that is not animated (a load, the reading session).
    double pageChangeFadeSeconds() const { return m_pageChangeFadeSeconds; }

    // Window root and reading control.
    void onboardingCompleted();
    bool canStartTeleprompter() const;
    void startTeleprompter();
    // The menu commands and the application's activation; ignored while the onboarding shows.
    void handleToggleTeleprompter();
    void syncRunningState();
    void openSettings();
    // The settings screen's completion: it has finished closing.
    void dismissSettings();
    void openAbout();
    // Each time the editor comes on screen.
    void initialSetup();
    void beginCoachMarks();
    // The tour's last button: the tour is stored as done and reading starts a moment later.
    // Only a tour that shows can be finished, so a second click starts no second session.
    void finishCoachMarks();

    // Header.
    bool canGoToPreviousPage() const;
    bool canGoToNextPage() const;
    void goToPreviousPage();
    void goToNextPage();
    void beginToolbarTitleEdit();
    // Return and Escape in the title field.
    void commitToolbarTitle();
    void openToolbarSearch();
    void closeToolbarSearch();
    void copyPageText();
    // Indices of the pages whose title or text holds the trimmed query; all without one.
    QList<int> filteredPageIndices() const;

    // Sidebar.
    // A row's click: the search is cleared and the page becomes current.
    void selectPage(int index);
    // Opens the sidebar's title field on the page, which becomes current; an open header title
    // edit is stored first.
    void startRename(int index);
    // Return: the trimmed text becomes the page's title. Esc closes without storing.
    void commitRename();
    void cancelRename();

    // Pages.
    QString currentPageText() const;
    void setCurrentPageText(const QString &text);
    void appendEmptyPage();
    void addBulletsPage();
    // Asks before deleting; with a single page nothing happens.
    void requestDeletePage();
    void requestDeletePage(int index);
    void confirmDeletePage();
    void cancelDeletePage();
    // Deletes at once; the last page is never deleted.
    void deletePage(int index);
    // Moves the pages at the offsets before the destination offset; the moved page becomes
    // current.
    void movePages(const QList<int> &sources, int destination);
    void openSlashCommands();

    // Presentation import.
    // The pane's drop action with the dropped URLs: only the first local file counts, and a URL
    // that is not a local file is never fetched. False when no local file was dropped.
    bool handlePresentationDrop(const QList<QUrl> &urls);
    // The import button: an open panel for a .pptx.
    void importPresentation();
    void importPresentationFile(const QString &path);
    // Replaces the pages or appends to them, asking first when some page holds text.
    void mergeImportedNotes(const QStringList &notes);

    // The first-run document, localised.
    static QList<SamplePage> sampleContent();
    // The first-run document in the language of that string table.
    static QList<SamplePage> sampleContent(const Bundle &strings);
    // The pages are the first-run document's, unedited, in any language the program has.
    static bool isSampleContent(const QStringList &pages);

Q_SIGNALS:
    void isRunningChanged();
    void isImportingChanged();
    void editorCaretPositionChanged();
    void isDroppingPresentationChanged();
    void dropErrorChanged();
    void dropAlertTitleChanged();
    void showSettingsChanged();
    void showAboutChanged();
    void showOnboardingChanged();
    void coachMarkStepChanged();
    void pendingDeleteIndexChanged();
    void showCopiedToastChanged();
    void triggerSlashMenuChanged();
    void isEditingToolbarTitleChanged();
    void toolbarTitleTextChanged();
    void toolbarSearchTextChanged();
    void isSearchOpenChanged();
    void isTextFocusedChanged();
    void isToolbarTitleFocusedChanged();
    void isSearchFieldFocusedChanged();
    void renamingPageIndexChanged();
    void renameTextChanged();
    void isRenameFieldFocusedChanged();

private:
    void setIsRunning(bool running);
    void setIsImporting(bool importing);
    void showDropAlert(const QString &title, const QString &message);
    void setShowOnboarding(bool show);
    void setPendingDeleteIndex(std::optional<int> index);
    void setShowCopiedToast(bool show);
    void setIsEditingToolbarTitle(bool editing);
    void setIsSearchOpen(bool open);

    void handleOverlayDismissed();
    void stopReadingWhenSettingsOpen();
    // The current page changed: the open title edit is stored on its page and closed.
    void commitToolbarTitleEdit();
    void setCurrentPageTitle(const QString &title);
    // Whether the page the title edit was opened for still carries the edit's title.
    bool titleEditPageIsIntact() const;
    void storeTitleEdit(const QString &title);
    void endTitleEdit();
    void removePage(int index);
    void setRenamingPageIndex(std::optional<int> index);
    bool renamePageIsIntact() const;
    // The titles brought to the pages' length, so that titles move with their pages.
    QStringList normalizedTitles() const;

    BrivelService &m_service;
    NotchSettings &m_settings;
    KeyValueStore &m_store;
    ReviewSessionCounter &m_reviewCounter;

    bool m_isRunning = false;
    int m_editorCaretPosition = 0;
    bool m_isDroppingPresentation = false;
    bool m_isImporting = false;
    std::optional<QString> m_dropError;
    QString m_dropAlertTitle;
    bool m_didInitialOnboardingCheck = false;
    bool m_showSettings = false;
    bool m_showAbout = false;
    bool m_showOnboarding = false;
    int m_coachMarkStep = 0;
    std::optional<int> m_pendingDeleteIndex;
    bool m_showCopiedToast = false;
    bool m_triggerSlashMenu = false;
    bool m_isEditingToolbarTitle = false;
    QString m_toolbarTitleText;
    // The page the open title edit belongs to, and the title it last left there. Pages have
    // no identity of their own, so a title that changed behind the edit's back means the page
    // at that index is no longer the one being edited.
    int m_titleEditPageIndex = 0;
    QString m_titleEditStoredTitle;
    QString m_toolbarSearchText;
    bool m_isSearchOpen = false;
    bool m_isTextFocused = false;
    bool m_isToolbarTitleFocused = false;
    bool m_isSearchFieldFocused = false;
    double m_pageChangeFadeSeconds = 0;
    std::optional<int> m_renamingPageIndex;
    QString m_renameText;
    bool m_isRenameFieldFocused = false;
    // The stored title of the page being renamed when the rename began: the same identity test
    // as the header's edit.
    QString m_renameStoredTitle;
    // One start of the tour, however many reasons schedule it.
    QTimer *const m_coachMarksStart;
};
