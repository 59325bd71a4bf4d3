#pragma once

#include <QSize>
#include <QStackedWidget>

class BrivelService;
class Dialogs;
class EditorController;

// The root of the main window: the first-run view until onboarding is complete, then the
// editor (the pages sidebar beside the toolbar and page header over the editor pane), with the
// delete confirmation. It also gives the window its size limits: the first-run view has a size
// of its own, the editor only a minimum, and no text inside ever raises it.
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

    EditorController &m_controller;
    Dialogs &m_dialogs;
    QWidget *m_firstRun = nullptr;
    QWidget *m_editor = nullptr;
    bool m_askingToDelete = false;
    bool m_showingDropError = false;
};
