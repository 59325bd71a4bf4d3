#pragma once

#include "document/dialogs.h"
#include "platform/qtcatalogue.h"

#include <QIcon>
#include <QImage>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <future>
#include <memory>
#include <optional>

class ActiveWindow;
class BrivelService;
class EditorController;
class GlobalHotkeyManager;
class MainWindow;
class NotchOverlayController;
class NotchSettings;
class QWidget;
class SelectionReader;
class TextService;
class UnixSignalWatcher;
class UpdateChecker;

// The running application: the settings, the reading-session controller, the document service
// and the main window, with the window policy that holds them together. One main window and
// otherwise only panels; closing the window or quitting asks about unsaved changes and then
// ends the process; every way of ending it writes the pending autosave first. While reading, the
// main window is minimised, so it keeps its taskbar entry, and restoring it from there is the
// same reopen as launching Brivel again; only a session of text from outside takes the window
// off the desktop altogether.
class BrivelApplication : public QObject
{
    Q_OBJECT

public:
    // The dialogs are the desktop's unless a test brings its own.
    explicit BrivelApplication(std::unique_ptr<Dialogs> dialogs = nullptr,
                               QObject *parent = nullptr);
    ~BrivelApplication() override;

    // The dark appearance: Fusion with the dark palette, for every window of the process.
    static void applyDarkAppearance();
    // Brivel's icon, drawn from its vector image at the sizes window managers and task bars use.
    static QIcon applicationIcon();

    // Gives the windows Brivel's icon, loads the autosave, offers the text entry to other
    // programs, shows the main window (not when the launch brings a link), registers the global
    // toggle key and, once the event loop runs, does what the launch's own arguments ask.
    void start(const QStringList &launchArguments = {});

    // A launch, the first or a later one: no argument brings the window back; a ".brivel"
    // document is opened after the unsaved-changes question; a link takes the window off the
    // desktop and shows its text in the panel (a link that asks for nothing still takes the
    // window away, and no link brings it back); the option to read the selection reads it or
    // says why not in an alert. They wait while a modal dialog is open or a document is being
    // opened, and are then taken one at a time in order; a document already waiting or being
    // opened is not queued again.
    void handleLaunchArguments(const QStringList &arguments);
    // False when the launches waiting leave no room for all this launch asks for: it would be
    // dropped, so the launch is told rather than taken.
    bool canTakeLaunch(const QStringList &arguments) const;
    // Shows, raises and activates the hidden or buried main window.
    void reopen();
    // The global toggle key: hides the main window when it is shown and active, otherwise
    // brings it back as reopen() does.
    void toggleMainWindow();
    // The text entry's requests: the text of a refusal for the caller, or an empty string when
    // the text waits its turn to be shown as a launch's link does. The selection is read
    // without waiting on its owner, and answered when it is in.
    QString readText(const QString &text);
    void readSelection(std::function<void(const QString &refusal)> answer);
    // A document handed to Brivel by the desktop or the command line.
    void openDocumentFromOutside(const QString &path);

    // The window's close button, "Salir" and Ctrl+Q: false when the user chose to stay.
    bool requestQuit();
    // Signals and the session's end: writes the pending autosave and ends without a question.
    void quitNow();
    bool isQuitting() const { return m_quitting; }

    // Every visible window but the overlay panels goes: a reading session keeps only its panel.
    // The main window is minimised, or withdrawn while the session's text came from outside.
    void hideMainWindows();
    static bool isOverlayPanel(const QWidget *window);

    // At most this many requests wait: a later launch with no room is refused (canTakeLaunch),
    // and what one launch asks beyond it is dropped with a warning.
    static constexpr int maximumPendingLaunches = 64;

    NotchSettings &settings() const { return m_settings; }
    NotchOverlayController &overlayController() const { return *m_overlayController; }
    BrivelService &service() const { return *m_service; }
    MainWindow &mainWindow() const { return *m_mainWindow; }
    Dialogs &dialogs() const { return *m_dialogs; }
    GlobalHotkeyManager &globalHotkeyManager() const { return *m_hotkeyManager; }

    // The release feed of the update check, the build's own unless changed before start().
    QUrl updateFeedUrl;
    // The check waits this long after the window shows, so starting the network stack never
    // delays the window's first frame.
    static constexpr int updateCheckDelayMs = 1000;

private:
    struct PendingLaunch
    {
        enum class Kind { document, link, readSelection, text, refusal };
        Kind kind;
        QString value;
    };

    // The icon's images, which may be drawn on any thread, and the icon made of them.
    static QList<QImage> applicationIconImages();
    static QIcon iconFromImages(const QList<QImage> &images);

    void finishQuitting();
    QList<PendingLaunch> launchesOf(const QStringList &arguments) const;
    void queueLaunch(PendingLaunch launch);
    void handlePendingLaunches();
    void takeLaunch(const PendingLaunch &launch);
    // The selected text, else the copied one, with the refusal when there is none to show.
    void acceptSelection(
        std::function<void(const std::optional<QString> &text, const QString &refusal)> done);
    bool isOwnWindowPutAway(quint64 windowId) const;

    NotchSettings &m_settings;
    QtCatalogue m_qtCatalogue;
    std::unique_ptr<Dialogs> m_dialogs;
    std::unique_ptr<ActiveWindow> m_activeWindow;
    std::unique_ptr<NotchOverlayController> m_overlayController;
    std::unique_ptr<BrivelService> m_service;
    std::unique_ptr<EditorController> m_editorController;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<UnixSignalWatcher> m_signalWatcher;
    std::unique_ptr<UpdateChecker> m_updateChecker;
    std::unique_ptr<GlobalHotkeyManager> m_hotkeyManager;
    std::unique_ptr<TextService> m_textService;
    std::unique_ptr<SelectionReader> m_selectionReader;
    bool m_quitting = false;
    bool m_confirmingQuit = false;
    // The reading took the window away, and the text's focus with it.
    bool m_windowPutAway = false;
    bool m_reopening = false;

    QList<PendingLaunch> m_pendingLaunches;
    QString m_documentInHand;
    bool m_handlingLaunches = false;
    // The launches after a request to read the selection wait for its answer.
    bool m_readingSelection = false;
    // Looks again, while launches wait, whether the modal dialog has gone.
    QTimer m_modalWatch;
    // Drawing while the windows are built; start() gives them the icon.
    std::future<QList<QImage>> m_iconImages;
};
