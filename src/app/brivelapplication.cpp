#include "brivelapplication.h"

#include "app/appsignals.h"
#include "app/fontwarmup.h"
#include "app/launcharguments.h"
#include "app/logging.h"
#include "app/mainwindow.h"
#include "app/qtdialogs.h"
#include "app/unixsignalwatcher.h"
#include "document/brivelservice.h"
#include "document/externaltext.h"
#include "document/globalhotkeymanager.h"
#include "document/reviewsessioncounter.h"
#include "document/updatechecker.h"
#include "editor/contentview.h"
#include "editor/model/editorcontroller.h"
#include "overlay/notchoverlaycontroller.h"
#include "overlay/overlaypanel.h"
#include "platform/activewindow.h"
#include "platform/apppaths.h"
#include "platform/captureshield.h"
#include "platform/globalhotkeys.h"
#include "platform/keyvaluestore.h"
#include "platform/screens.h"
#include "platform/selectionreader.h"
#include "platform/textservice.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "settings_screen/notchpreviewcontroller.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleFactory>
#include <QSvgRenderer>
#include <QTimer>
#include <QWindow>

#ifndef QT_NO_SESSIONMANAGER
#include <QSessionManager>
#endif

#include <algorithm>
#include <csignal>
#include <functional>

namespace {

// The window that had the keyboard before a session gets it back as the system hands it back,
// unless it is a window of Brivel's that the session put away: collapsing the panel must not
// bring back the editor the reading minimised.
class SessionActiveWindow final : public ActiveWindow
{
public:
    SessionActiveWindow(ActiveWindow &system, std::function<bool(WindowId)> isPutAway)
        : m_system(system)
        , m_isPutAway(std::move(isPutAway))
    {}

    WindowId current() const override { return m_system.current(); }
    void activate(WindowId window) override
    {
        if (!m_isPutAway(window))
            m_system.activate(window);
    }

private:
    ActiveWindow &m_system;
    std::function<bool(WindowId)> m_isPutAway;
};

} // namespace

BrivelApplication::BrivelApplication(std::unique_ptr<Dialogs> dialogs, QObject *parent)
    : QObject(parent)
    , m_settings(NotchSettings::shared())
{
    // Panels come and go during reading while the main window is hidden: the process ends only
    // through the quit sequence, never because the last window closed.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    applyDarkAppearance();
    // Qt's own dialogs speak the interface language, as every other text does.
    m_qtCatalogue.setLanguage(m_settings.appLanguage());
    connect(&m_settings, &NotchSettings::appLanguageChanged, this,
            [this] { m_qtCatalogue.setLanguage(m_settings.appLanguage()); });
    // Drawn beside the set-up; the window has it before it shows.
    m_iconImages = std::async(std::launch::async, &BrivelApplication::applicationIconImages);

    QtDialogs *desktopDialogs = nullptr;
    if (!dialogs) {
        auto owned = std::make_unique<QtDialogs>();
        desktopDialogs = owned.get();
        dialogs = std::move(owned);
    }
    m_dialogs = std::move(dialogs);

    m_activeWindow = std::make_unique<SessionActiveWindow>(
        ActiveWindow::system(), [this](quint64 window) { return isOwnWindowPutAway(window); });
    m_overlayController = std::make_unique<NotchOverlayController>(
        m_settings, Screens::system(), *m_activeWindow, CaptureShield::system(),
        GlobalHotKeys::create());
    m_service = std::make_unique<BrivelService>(m_settings, *m_overlayController, *m_dialogs,
                                                AppPaths::dataDirectory());
    m_overlayController->setDocumentService(m_service.get());
    m_service->hideMainWindowsHandler = [this] { hideMainWindows(); };

    m_editorController = std::make_unique<EditorController>(
        *m_service, m_settings, KeyValueStore::standard(), ReviewSessionCounter::shared());
    m_editorController->copyTextHandler
        = [](const QString &text) { QGuiApplication::clipboard()->setText(text); };
    m_mainWindow = std::make_unique<MainWindow>(*m_service, AppSignals::shared());
    // The editor lays out the first text.
    FontWarmUp::finish();
    auto *contentView = new ContentView(*m_editorController, *m_service, *m_dialogs);
    m_mainWindow->setContentView(contentView);
    // The menu commands reach the editor through the application's notifications.
    AppSignals &signals = AppSignals::shared();
    connect(&signals, &AppSignals::toggleTeleprompter, m_editorController.get(),
            &EditorController::handleToggleTeleprompter);
    connect(&signals, &AppSignals::openSettings, m_editorController.get(),
            &EditorController::openSettings);
    connect(&signals, &AppSignals::openAbout, m_editorController.get(),
            &EditorController::openAbout);
    connect(qApp, &QGuiApplication::applicationStateChanged, m_editorController.get(),
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive)
                    m_editorController->syncRunningState();
            });
    if (desktopDialogs)
        desktopDialogs->setParentWindow(m_mainWindow.get());
    connect(m_mainWindow.get(), &MainWindow::quitRequested, this, &BrivelApplication::requestQuit);
    // Restoring the minimised window from the taskbar, Alt+Tab or a pager is a reopen. Our own
    // restoring is one already, and the window system's late word of it must not bring back a
    // window taken away since.
    connect(m_mainWindow.get(), &MainWindow::restored, this, [this] {
        if (!m_reopening && m_mainWindow->isVisible())
            QTimer::singleShot(0, this, &BrivelApplication::reopen);
    });

    updateFeedUrl = QUrl(QStringLiteral(BRIVEL_UPDATE_FEED_URL));

    m_hotkeyManager = std::make_unique<GlobalHotkeyManager>();
    m_hotkeyManager->onHotkeyPressed = [self = QPointer(this)] {
        if (self)
            self->toggleMainWindow();
    };
    SettingsScreenServices settingsScreen;
    settingsScreen.dialogs = m_dialogs.get();
    settingsScreen.hotkeyManager = m_hotkeyManager.get();
    settingsScreen.makePreview = [] {
        return std::make_unique<NotchPreviewController>(Screens::system(), CaptureShield::system(),
                                                        &AppSignals::shared());
    };
    contentView->setSettingsScreenServices(settingsScreen);

    m_selectionReader = SelectionReader::create();
    m_modalWatch.setSingleShot(true);
    m_modalWatch.setInterval(100);
    connect(&m_modalWatch, &QTimer::timeout, this, &BrivelApplication::handlePendingLaunches);
}

BrivelApplication::~BrivelApplication()
{
    m_textService.reset();
    m_hotkeyManager.reset();
    m_mainWindow.reset();
    m_editorController.reset();
    // The controller outlives the service that owns its pages, so it must forget it first.
    m_overlayController->setDocumentService(nullptr);
    m_service.reset();
    m_overlayController.reset();
}

void BrivelApplication::applyDarkAppearance()
{
    // Fusion is usually the style already; replacing it would re-polish for nothing.
    if (QApplication::style()->name().compare(u"fusion"_qs, Qt::CaseInsensitive) != 0)
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    const QColor window(30, 30, 32);
    const QColor raised(44, 44, 46);
    const QColor base(28, 29, 31);
    const QColor primaryLabel = whiteAt(0.85);
    const QColor tertiaryLabel = whiteAt(0.25);
    const QColor platformAccent(10, 132, 255);

    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, primaryLabel);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, raised);
    palette.setColor(QPalette::Text, primaryLabel);
    palette.setColor(QPalette::PlaceholderText, tertiaryLabel);
    palette.setColor(QPalette::Button, raised);
    palette.setColor(QPalette::ButtonText, primaryLabel);
    palette.setColor(QPalette::BrightText, QColor(255, 69, 58));
    palette.setColor(QPalette::ToolTipBase, raised);
    palette.setColor(QPalette::ToolTipText, primaryLabel);
    palette.setColor(QPalette::Highlight, platformAccent);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, platformAccent);
    palette.setColor(QPalette::Light, QColor(70, 70, 74));
    palette.setColor(QPalette::Midlight, QColor(56, 56, 60));
    palette.setColor(QPalette::Mid, QColor(38, 38, 40));
    palette.setColor(QPalette::Dark, QColor(18, 18, 20));
    palette.setColor(QPalette::Shadow, Qt::black);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, tertiaryLabel);
    }
    palette.setColor(QPalette::Disabled, QPalette::Highlight, raised);
    QApplication::setPalette(palette);
}

QIcon BrivelApplication::applicationIcon()
{
    return iconFromImages(applicationIconImages());
}

QList<QImage> BrivelApplication::applicationIconImages()
{
    QSvgRenderer renderer(QStringLiteral(":/brivel/brivel.svg"));
    QList<QImage> images;
    if (!renderer.isValid())
        return images;
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        images.append(std::move(image));
    }
    return images;
}

QIcon BrivelApplication::iconFromImages(const QList<QImage> &images)
{
    QIcon icon;
    for (const QImage &image : images)
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

void BrivelApplication::start(const QStringList &launchArguments)
{
    m_signalWatcher = std::make_unique<UnixSignalWatcher>();
    m_signalWatcher->watch({SIGTERM, SIGINT, SIGHUP});
    connect(m_signalWatcher.get(), &UnixSignalWatcher::signalReceived, this,
            &BrivelApplication::quitNow);
    // Whatever ends the event loop, the last edits reach the disk.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { m_service->flushAutosave(); });
#ifndef QT_NO_SESSIONMANAGER
    connect(
        qApp, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager &) { m_service->flushAutosave(); }, Qt::DirectConnection);
#endif

    if (m_iconImages.valid())
        QApplication::setWindowIcon(iconFromImages(m_iconImages.get()));
    m_service->loadAutosave();
    m_textService = TextService::create();
    m_textService->readText = [this](const QString &text) { return readText(text); };
    m_textService->readSelection
        = [this](std::function<void(const QString &)> answer) { readSelection(std::move(answer)); };
    m_textService->publish();

    // A launch by link runs without the window: it never shows.
    if (std::any_of(launchArguments.cbegin(), launchArguments.cend(), &LaunchArguments::isLink))
        m_service->setLaunchedExternally(true);
    if (m_service->launchedExternally())
        m_service->hideMainWindows();
    else
        m_mainWindow->show();
    if (const quint32 key = m_settings.globalHotkeyKeyCode())
        m_hotkeyManager->registerHotKey(key, m_settings.globalHotkeyModifiers());

    // After the window shows, once per launch, and never before the onboarding was completed.
    if (KeyValueStore::standard().boolValue(u"hasCompletedOnboarding"_qs).value_or(false)
        && !updateFeedUrl.isEmpty()) {
        QTimer::singleShot(updateCheckDelayMs, this, [this] {
            m_updateChecker = std::make_unique<UpdateChecker>(updateFeedUrl);
            m_updateChecker->checkForUpdates(QStringLiteral(BRIVEL_BUILD_NUMBER),
                                             KeyValueStore::standard(), *m_dialogs);
        });
    }

    if (!launchArguments.isEmpty()) {
        QTimer::singleShot(0, this,
                           [this, launchArguments] { handleLaunchArguments(launchArguments); });
    }
}

void BrivelApplication::handleLaunchArguments(const QStringList &arguments)
{
    if (m_quitting)
        return;
    // Bringing the window back asks nothing, so it never waits.
    if (arguments.isEmpty()) {
        reopen();
        return;
    }
    for (PendingLaunch &launch : launchesOf(arguments))
        queueLaunch(std::move(launch));
    handlePendingLaunches();
}

bool BrivelApplication::canTakeLaunch(const QStringList &arguments) const
{
    // Taken whole or not at all; one launch that asks for more than ever waits is taken while
    // nothing waits, and keeps what fits.
    return m_pendingLaunches.isEmpty()
           || launchesOf(arguments).size() <= maximumPendingLaunches - m_pendingLaunches.size();
}

QList<BrivelApplication::PendingLaunch>
BrivelApplication::launchesOf(const QStringList &arguments) const
{
    using Kind = PendingLaunch::Kind;
    QList<PendingLaunch> launches;
    for (const QString &argument : arguments) {
        if (argument == LaunchArguments::readSelectionOption) {
            launches.append({Kind::readSelection, {}});
            continue;
        }
        if (LaunchArguments::isLink(argument)) {
            launches.append({Kind::link, argument});
            continue;
        }
        // Files of other types are not for Brivel.
        const QString path = LaunchArguments::localFilePath(argument);
        if (QFileInfo(path).suffix().toLower() != u"brivel"_qs)
            continue;
        const auto isThisDocument = [&](const PendingLaunch &launch) {
            return launch.kind == Kind::document && launch.value == path;
        };
        const bool waiting
            = std::any_of(m_pendingLaunches.cbegin(), m_pendingLaunches.cend(), isThisDocument)
              || std::any_of(launches.cbegin(), launches.cend(), isThisDocument);
        if (!waiting && path != m_documentInHand)
            launches.append({Kind::document, path});
    }
    return launches;
}

QString BrivelApplication::readText(const QString &text)
{
    QString refusal;
    if (const std::optional<QString> accepted = BrivelService::acceptExternalText(text, &refusal))
        queueLaunch({PendingLaunch::Kind::text, *accepted});
    // Not at once: the caller has its answer before anything is shown.
    QTimer::singleShot(0, this, &BrivelApplication::handlePendingLaunches);
    return refusal;
}

void BrivelApplication::readSelection(std::function<void(const QString &)> answer)
{
    acceptSelection([this, answer = std::move(answer)](const std::optional<QString> &text,
                                                       const QString &refusal) {
        if (text)
            queueLaunch({PendingLaunch::Kind::text, *text});
        QTimer::singleShot(0, this, &BrivelApplication::handlePendingLaunches);
        answer(refusal);
    });
}

void BrivelApplication::acceptSelection(
    std::function<void(const std::optional<QString> &, const QString &)> done)
{
    m_selectionReader->read(
        ExternalText::maximumCodeUnits, [done = std::move(done)](const QString &found) {
            QString refusal;
            const std::optional<QString> text = BrivelService::acceptExternalText(
                found.isEmpty() ? std::nullopt : std::optional(found), &refusal);
            done(text, refusal);
        });
}

void BrivelApplication::queueLaunch(PendingLaunch launch)
{
    if (m_quitting)
        return;
    // A text would replace a waiting one on the panel at once: only the latest waits, so the
    // entry never drops a text it took.
    if (launch.kind == PendingLaunch::Kind::text) {
        m_pendingLaunches.removeIf(
            [](const PendingLaunch &waiting) { return waiting.kind == PendingLaunch::Kind::text; });
        m_pendingLaunches.append(std::move(launch));
        return;
    }
    if (m_pendingLaunches.size() >= maximumPendingLaunches) {
        qCWarning(lcLaunch, "Too many launches waiting; dropped %s",
                  qPrintable(launch.value.left(200)));
        return;
    }
    m_pendingLaunches.append(std::move(launch));
}

void BrivelApplication::handlePendingLaunches()
{
    // The document in hand takes up the rest when its questions are answered.
    if (m_handlingLaunches)
        return;
    // Acting from inside a modal dialog's loop would stack its questions on the dialog's, or
    // hide the dialog with the window.
    if (QApplication::activeModalWidget()) {
        if (!m_pendingLaunches.isEmpty())
            m_modalWatch.start();
        return;
    }
    const QScopedValueRollback handling(m_handlingLaunches, true);
    while (!m_quitting && !m_readingSelection && !m_pendingLaunches.isEmpty())
        takeLaunch(m_pendingLaunches.takeFirst());
    if (m_quitting)
        m_pendingLaunches.clear();
}

void BrivelApplication::takeLaunch(const PendingLaunch &launch)
{
    switch (launch.kind) {
    case PendingLaunch::Kind::document:
        m_documentInHand = launch.value;
        openDocumentFromOutside(m_documentInHand);
        m_documentInHand.clear();
        return;
    case PendingLaunch::Kind::link:
        // Taken off the desktop whatever the link asks for.
        m_service->setLaunchedExternally(true);
        m_service->hideMainWindows();
        m_service->handleURL(launch.value);
        return;
    case PendingLaunch::Kind::readSelection:
        m_readingSelection = true;
        acceptSelection([this](const std::optional<QString> &text, const QString &refusal) {
            m_readingSelection = false;
            using Kind = PendingLaunch::Kind;
            m_pendingLaunches.prepend(text ? PendingLaunch{Kind::text, *text}
                                           : PendingLaunch{Kind::refusal, refusal});
            handlePendingLaunches();
        });
        return;
    case PendingLaunch::Kind::refusal:
        m_dialogs->alert(launch.value, {});
        return;
    case PendingLaunch::Kind::text:
        m_service->showExternalText(launch.value);
        return;
    }
}

void BrivelApplication::reopen()
{
    const QScopedValueRollback reopening(m_reopening, true);
    m_service->setLaunchedExternally(false);
    MainWindow &window = *m_mainWindow;
    if (window.isMinimized())
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
    // The window manager may refuse a program the keyboard it asks for when the request
    // carries no recent user time, as after a key that went to the grab or a launch from
    // elsewhere; and Qt leaves the initial state of a window it once minimised at iconic, so a
    // window withdrawn since maps minimised. Asking as a pager does restores and focuses it.
    QTimer::singleShot(150, this, [this] {
        if (m_mainWindow->isVisible()
            && (!m_mainWindow->isActiveWindow() || m_mainWindow->isMinimized()))
            ActiveWindow::system().activate(m_mainWindow->winId());
    });
    // A question that is open stays in front of the window it belongs to.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
    // The reading took the keyboard from the text; coming back gives it back. Put away while
    // inactive, the window lost its focus without the text hearing of it: set afresh.
    if (std::exchange(m_windowPutAway, false) && !m_editorController->showOnboarding()
        && !m_editorController->showSettings() && !m_editorController->showAbout()) {
        m_editorController->setIsTextFocused(false);
        m_editorController->setIsTextFocused(true);
    }
}

void BrivelApplication::toggleMainWindow()
{
    MainWindow &window = *m_mainWindow;
    // The window manager's word on the active window: the toolkit hears of a change of focus a
    // moment later.
    const ActiveWindow::WindowId active = ActiveWindow::system().current();
    const bool isActive = active ? active == ActiveWindow::WindowId(window.internalWinId())
                                 : window.isActiveWindow();
    if (isActive && window.isVisible() && !window.isMinimized()) {
        // Put away as the reading puts it away: in the taskbar, or off the desktop while the
        // text came from outside.
        if (m_service->launchedExternally())
            window.hide();
        else
            window.setWindowState(window.windowState() | Qt::WindowMinimized);
        return;
    }
    reopen();
}

void BrivelApplication::openDocumentFromOutside(const QString &path)
{
    // The question and any alert belong over the window the document will fill.
    reopen();
    if (!m_service->confirmReplacingPages() || m_quitting)
        return;
    m_service->openDocument(path);
}

bool BrivelApplication::requestQuit()
{
    if (m_quitting)
        return true;
    // A second request while the question is open waits for its answer.
    if (m_confirmingQuit)
        return false;
    if (m_service->hasUnsavedChanges()) {
        m_confirmingQuit = true;
        const bool goOn = m_service->confirmUnsavedChanges();
        m_confirmingQuit = false;
        // A signal may have ended things while the question was open.
        if (!goOn || m_quitting)
            return m_quitting;
    }
    m_service->autosave();
    finishQuitting();
    return true;
}

void BrivelApplication::quitNow()
{
    if (!m_quitting)
        finishQuitting();
}

void BrivelApplication::finishQuitting()
{
    m_quitting = true;
    m_service->flushAutosave();
    // Not quit(): that would close the windows first, and closing the main window is what asks
    // to quit.
    QCoreApplication::exit(0);
}

void BrivelApplication::hideMainWindows()
{
    // The main window leaves the screen minimised, keeping its taskbar and Alt+Tab entry as a
    // hidden window keeps its Dock icon; a session of text from outside runs without any.
    const bool withdraw = m_service->launchedExternally();
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (!window->isVisible() || isOverlayPanel(window))
            continue;
        if (QWidget *focus = window->focusWidget())
            focus->clearFocus();
        const bool isMainWindow = window == m_mainWindow.get();
        m_windowPutAway = m_windowPutAway || isMainWindow;
        if (isMainWindow && !withdraw)
            window->setWindowState(window->windowState() | Qt::WindowMinimized);
        else
            window->hide();
    }
}

bool BrivelApplication::isOwnWindowPutAway(quint64 windowId) const
{
    const QWidget *window = m_mainWindow.get();
    return window && window->internalWinId() == WId(windowId)
           && (window->isMinimized() || !window->isVisible());
}

bool BrivelApplication::isOverlayPanel(const QWidget *window)
{
    if (qobject_cast<const OverlayPanel *>(window))
        return true;
    // Panels made without OverlayPanel carry the panel flags on their native window.
    const QWindow *handle = window->windowHandle();
    return window->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus)
           || (handle && handle->flags().testFlag(Qt::WindowDoesNotAcceptFocus));
}
