#include "contentview.h"

#include "editor/editorpane.h"
#include "editor/editortoolbar.h"
#include "editor/firstrunview.h"
#include "editor/model/editorcontroller.h"
#include "settings/localization.h"

#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

ContentView::ContentView(EditorController &controller, BrivelService &service, QWidget *parent)
    : QStackedWidget(parent)
    , m_controller(controller)
{
    m_firstRun = new FirstRunView([this] { m_controller.onboardingCompleted(); }, this);
    m_editor = new QWidget(this);
    auto *column = new QVBoxLayout(m_editor);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(new EditorToolbar(controller, service, m_editor));
    column->addWidget(new EditorPane(controller, service, m_editor), 1);
    addWidget(m_firstRun);
    addWidget(m_editor);

    connect(&controller, &EditorController::showOnboardingChanged, this,
            &ContentView::showCurrentPage);
    connect(&controller, &EditorController::pendingDeleteIndexChanged, this,
            &ContentView::askToDelete);
    showCurrentPage();
}

void ContentView::showEvent(QShowEvent *event)
{
    QStackedWidget::showEvent(event);
    if (!m_controller.showOnboarding())
        m_controller.initialSetup();
}

void ContentView::showCurrentPage()
{
    const bool editor = !m_controller.showOnboarding();
    setCurrentWidget(editor ? m_editor : m_firstRun);
    if (editor && isVisible())
        m_controller.initialSetup();
}

void ContentView::askToDelete()
{
    if (!m_controller.pendingDeleteIndex() || m_deleteQuestion)
        return;
    // Window-modal and asynchronous: the event loop keeps running while the user decides.
    auto *question = new QMessageBox(
        QMessageBox::Warning, localizedString("¿Eliminar esta página?"),
        localizedString("Se perderá el contenido de esta página."), QMessageBox::NoButton, this);
    question->setAttribute(Qt::WA_DeleteOnClose);
    question->addButton(localizedString("Cancelar"), QMessageBox::RejectRole);
    QPushButton *remove
        = question->addButton(localizedString("Eliminar"), QMessageBox::DestructiveRole);
    connect(question, &QMessageBox::finished, this, [this, question, remove] {
        if (question->clickedButton() == remove)
            m_controller.confirmDeletePage();
        else
            m_controller.cancelDeletePage();
    });
    m_deleteQuestion = question;
    question->open();
}
