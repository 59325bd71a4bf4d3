#pragma once

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

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showCurrentPage();
    void applyWindowStyle();
    void askToDelete();
    void showDropError();
    void presentAbout();

    EditorController &m_controller;
    Dialogs &m_dialogs;
    QPointer<QWidget> m_onboarding;
    QWidget *m_editor = nullptr;
    QPointer<AboutView> m_about;
    bool m_askingToDelete = false;
    bool m_showingDropError = false;
};
