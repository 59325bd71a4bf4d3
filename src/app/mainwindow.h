#pragma once

#include <QMainWindow>

class AppSignals;
class BrivelService;
class QAction;

// The application's one window. Its content is the editor; the menus reach the editor through
// the application's notifications and the document service directly. Closing the window never
// closes it: it asks the application to quit, which may keep it after the unsaved-changes
// question.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The window's content size on first show and the smallest it may get.
    static constexpr QSize idealContentSize{900, 580};
    static constexpr QSize minimumContentSize{680, 440};

    MainWindow(BrivelService &service, AppSignals &appSignals, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Replaces the window's content; the window takes the view.
    void setContentView(QWidget *view);
    QWidget *contentView() const { return centralWidget(); }

    // Sized to the ideal content and centred on the primary screen. The first show does it,
    // whatever launched the program and whenever that show comes.
    void placeAtDefaultPosition();

    void setVisible(bool visible) override;

    QAction *aboutAction() const { return m_aboutAction; }
    QAction *settingsAction() const { return m_settingsAction; }
    QAction *quitAction() const { return m_quitAction; }
    QAction *openAction() const { return m_openAction; }
    QAction *saveAction() const { return m_saveAction; }
    QAction *saveAsAction() const { return m_saveAsAction; }
    QAction *toggleReadingAction() const { return m_toggleReadingAction; }

Q_SIGNALS:
    // The window's close button, "Salir" and Ctrl+Q.
    void quitRequested();
    // The window was minimised and is not any more.
    void restored();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildMenus();
    void save();

    BrivelService &m_service;
    AppSignals &m_appSignals;
    QAction *m_aboutAction = nullptr;
    QAction *m_settingsAction = nullptr;
    QAction *m_quitAction = nullptr;
    QAction *m_openAction = nullptr;
    QAction *m_saveAction = nullptr;
    QAction *m_saveAsAction = nullptr;
    QAction *m_toggleReadingAction = nullptr;
    bool m_hasBeenShown = false;
    QRect m_placeWhenHidden;
};
