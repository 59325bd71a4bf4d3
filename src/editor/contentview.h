#pragma once

#include <QPointer>
#include <QStackedWidget>

class BrivelService;
class EditorController;
class QMessageBox;

// The root of the main window: the first-run view until onboarding is complete, then the
// editor (toolbar and page header over the editor pane), with the delete confirmation.
class ContentView : public QStackedWidget
{
    Q_OBJECT

public:
    ContentView(EditorController &controller, BrivelService &service, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showCurrentPage();
    void askToDelete();

    EditorController &m_controller;
    QWidget *m_firstRun = nullptr;
    QWidget *m_editor = nullptr;
    QPointer<QMessageBox> m_deleteQuestion;
};
