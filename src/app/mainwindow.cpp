#include "mainwindow.h"

#include "app/appsignals.h"
#include "document/brivelservice.h"
#include "platform/windowhints.h"
#include "uikit/localizedtext.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>

#include <utility>

namespace {

// Stands in for the editor until it is set, so the window has its size and its dark face.
QWidget *makePlaceholder()
{
    auto *placeholder = new QWidget;
    placeholder->setObjectName(QStringLiteral("contentPlaceholder"));
    placeholder->setAutoFillBackground(true);
    placeholder->setMinimumSize(MainWindow::minimumContentSize);
    return placeholder;
}

} // namespace

MainWindow::MainWindow(BrivelService &service, AppSignals &appSignals, QWidget *parent)
    : QMainWindow(parent)
    , m_service(service)
    , m_appSignals(appSignals)
{
    setWindowTitle(QStringLiteral("Brivel"));
    setCentralWidget(makePlaceholder());
    buildMenus();
}

MainWindow::~MainWindow() = default;

void MainWindow::setContentView(QWidget *view)
{
    if (view)
        setCentralWidget(view);
}

void MainWindow::placeAtDefaultPosition()
{
    const int menuHeight = menuBar()->sizeHint().height();
    resize(idealContentSize.width(), idealContentSize.height() + menuHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        screen->availableGeometry()));
    }
}

void MainWindow::setVisible(bool visible)
{
    // A launch by link keeps the window hidden: its first show may come much later.
    // A window manager hands a withdrawn window back where its frame was, which a show then
    // takes for the window's own place: it would come back higher by its title bar each time.
    if (!visible && isVisible())
        m_placeWhenHidden = geometry();
    else if (visible && !std::exchange(m_hasBeenShown, true))
        placeAtDefaultPosition();
    else if (visible && !isVisible() && m_placeWhenHidden.isValid())
        setGeometry(std::exchange(m_placeWhenHidden, {}));
    if (visible && !isVisible() && !isMinimized()) {
        WindowHints::mapNormal(windowHandle());
        WindowHints::keepPlaceWhenShown(windowHandle());
    }
    QMainWindow::setVisible(visible);
}

void MainWindow::buildMenus()
{
    // Ctrl stands for the command key. Only the application and file menus exist: no view,
    // window or help menu, so the reading command lives in the file menu.
    const auto action = [](QMenu *menu, const char *key) {
        QAction *added = menu->addAction(QString());
        LocalizedText::bind(added, "text", key);
        return added;
    };
    QMenu *applicationMenu = menuBar()->addMenu(QStringLiteral("Brivel"));
    m_aboutAction = action(applicationMenu, "Acerca de Brivel");
    connect(m_aboutAction, &QAction::triggered, &m_appSignals, &AppSignals::openAbout);
    applicationMenu->addSeparator();
    m_settingsAction = action(applicationMenu, "Ajustes…");
    m_settingsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    connect(m_settingsAction, &QAction::triggered, &m_appSignals, &AppSignals::openSettings);
    applicationMenu->addSeparator();
    m_quitAction = action(applicationMenu, "Salir");
    m_quitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(m_quitAction, &QAction::triggered, this, &MainWindow::quitRequested);

    QMenu *fileMenu = menuBar()->addMenu(QString());
    LocalizedText::bind(fileMenu, "title", "Archivo");
    m_openAction = action(fileMenu, "Abrir archivo o presentación…");
    m_openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(m_openAction, &QAction::triggered, &m_service, &BrivelService::openFilePanel);
    fileMenu->addSeparator();
    m_saveAction = action(fileMenu, "Guardar");
    m_saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(m_saveAction, &QAction::triggered, this, &MainWindow::save);
    m_saveAsAction = action(fileMenu, "Guardar como…");
    m_saveAsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    connect(m_saveAsAction, &QAction::triggered, &m_service, &BrivelService::saveAs);
    fileMenu->addSeparator();
    m_toggleReadingAction = action(fileMenu, "Iniciar / Detener lectura");
    m_toggleReadingAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    connect(m_toggleReadingAction, &QAction::triggered, &m_appSignals,
            &AppSignals::toggleTeleprompter);
}

void MainWindow::save()
{
    const QString path = m_service.currentFilePath();
    if (path.isEmpty())
        m_service.saveAs();
    else
        m_service.save(path);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
    Q_EMIT quitRequested();
}

// The window manager may maximise the window but never make it full screen.
void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (windowState().testFlag(Qt::WindowFullScreen))
        setWindowState(windowState() & ~Qt::WindowFullScreen);
    const auto *change = static_cast<QWindowStateChangeEvent *>(event);
    if (change->oldState().testFlag(Qt::WindowMinimized) && !isMinimized())
        Q_EMIT restored();
}
