#pragma once

#include "document/dialogs.h"

#include <QIcon>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <memory>

class ActiveWindow;
class BrivelService;
class EditorController;
class MainWindow;
class NotchOverlayController;
class NotchSettings;
class QWidget;
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

    // Loads the autosave, shows the main window and, once the event loop runs, does what the
    // launch's own arguments ask.
    void start(const QStringList &launchArguments = {});

    // A launch, the first or a later one: no argument brings the window back; a ".brivel"
    // document is opened after the unsaved-changes question. Documents wait while a modal
    // dialog is open or another one is being opened, and are then opened one at a time; a
    // document already waiting or being opened is not queued again.
    void handleLaunchArguments(const QStringList &arguments);
    // Shows, raises and activates the hidden or buried main window.
    void reopen();
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

    // Documents waiting beyond this many are dropped with a warning.
    static constexpr int maximumPendingDocuments = 64;

    NotchSettings &settings() const { return m_settings; }
    NotchOverlayController &overlayController() const { return *m_overlayController; }
    BrivelService &service() const { return *m_service; }
    MainWindow &mainWindow() const { return *m_mainWindow; }
    Dialogs &dialogs() const { return *m_dialogs; }

    // The release feed of the update check, the build's own unless changed before start().
    QUrl updateFeedUrl;
    // The check waits this long after the window shows, so starting the network stack never
    // delays the window's first frame.
    static constexpr int updateCheckDelayMs = 1000;

private:
    void finishQuitting();
    void handlePendingLaunches();
    bool isOwnWindowPutAway(quint64 windowId) const;

    NotchSettings &m_settings;
    std::unique_ptr<Dialogs> m_dialogs;
    std::unique_ptr<ActiveWindow> m_activeWindow;
    std::unique_ptr<NotchOverlayController> m_overlayController;
    std::unique_ptr<BrivelService> m_service;
    std::unique_ptr<EditorController> m_editorController;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<UnixSignalWatcher> m_signalWatcher;
    std::unique_ptr<UpdateChecker> m_updateChecker;
    bool m_quitting = false;
    bool m_confirmingQuit = false;
    // The reading took the window away, and the text's focus with it.
    bool m_windowPutAway = false;
    bool m_reopening = false;

    QStringList m_pendingDocuments;
    QString m_documentInHand;
    bool m_handlingLaunches = false;
    // Looks again, while launches wait, whether the modal dialog has gone.
    QTimer m_modalWatch;
};
