#pragma once

#include <QWidget>

class BrivelService;
class EditorController;
class QAbstractButton;
class QLineEdit;

// The header above the editor: page chevrons, the page title (a field while it is edited), the
// page actions, the settings button and the page search. It keeps no state of its own; every
// control reads and drives the controller and the service's document.
class EditorToolbar : public QWidget
{
    Q_OBJECT

public:
    EditorToolbar(EditorController &controller, BrivelService &service, QWidget *parent = nullptr);

    QAbstractButton *previousButton() const { return m_previousButton; }
    QAbstractButton *nextButton() const { return m_nextButton; }
    QAbstractButton *titleButton() const { return m_titleButton; }
    QLineEdit *titleField() const { return m_titleField; }
    QAbstractButton *deleteButton() const { return m_deleteButton; }
    QAbstractButton *copyButton() const { return m_copyButton; }
    QAbstractButton *addButton() const { return m_addButton; }
    QAbstractButton *settingsButton() const { return m_settingsButton; }
    QAbstractButton *searchButton() const { return m_searchButton; }
    QLineEdit *searchField() const { return m_searchField; }

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitTitle();
    void refresh();
    void syncTitleEdit();
    void syncSearch();

    EditorController &m_controller;
    BrivelService &m_service;
    QAbstractButton *m_previousButton = nullptr;
    QAbstractButton *m_nextButton = nullptr;
    QAbstractButton *m_titleButton = nullptr;
    QLineEdit *m_titleField = nullptr;
    QAbstractButton *m_deleteButton = nullptr;
    QAbstractButton *m_copyButton = nullptr;
    QAbstractButton *m_addButton = nullptr;
    QAbstractButton *m_settingsButton = nullptr;
    QAbstractButton *m_searchButton = nullptr;
    QWidget *m_searchBox = nullptr;
    QLineEdit *m_searchField = nullptr;
};
