#pragma once

#include "settings_screen/settingsview.h"

#include <QPointer>
#include <QSize>
#include <QStackedWidget>

class AboutView;
class BrivelService;
class Dialogs;
class EditorController;

// The root of the main window: the onboarding until it is complete, then the editor (the pages
// sidebar beside the toolbar and page header over the editor pane), with the delete
// confirmation, the first-run tour and the About sheet. It also gives the window its size
// limits: the onboarding has a size of its own, the editor only a minimum, and no text inside
// ever raises it.
class ContentView : public QStackedWidget
{
    Q_OBJECT

public:
    static constexpr QSize editorMinimumSize{680, 440};
    static constexpr QSize firstRunSize{720, 560};

    ContentView(EditorController &controller, BrivelService &service, Dialogs &dialogs,
                QWidget *parent = nullptr);

    // What the settings screen needs beyond the dialogs; set before it is first opened.
    void setSettingsScreenServices(const SettingsScreenServices &services);
    // The settings screen while it is open (or closing); null otherwise.
    SettingsView *settingsView() const { return m_settingsView; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showCurrentPage();
    void applyWindowStyle();
    void askToDelete();
    void showDropError();
    // The settings screen comes over the whole editor page, or leaves it.
    void showOrHideSettings();
    void setEditorBeneathEnabled(bool enabled);
    void presentAbout();

    EditorController &m_controller;
    Dialogs &m_dialogs;
    QPointer<QWidget> m_onboarding;
    QWidget *m_editor = nullptr;
    QPointer<AboutView> m_about;
    bool m_askingToDelete = false;
    bool m_showingDropError = false;
    SettingsScreenServices m_settingsServices;
    QPointer<SettingsView> m_settingsView;
    // The closing screen's picture, scaling and fading away.
    QPointer<QWidget> m_settingsLeaving;
};
