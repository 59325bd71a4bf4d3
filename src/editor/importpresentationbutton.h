#pragma once

#include <QAbstractButton>

class EditorController;
class QTimer;

// "Importar presentación": the tray-and-arrow symbol, or a small spinner while an import runs,
// then the label, on a tinted rounded plate. Clicking it opens the import's file panel.
class ImportPresentationButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit ImportPresentationButton(EditorController &controller, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    // The spinner's current step, for the tests: it turns only while an import runs.
    int spinnerStep() const { return m_spinnerStep; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void followImporting();

    EditorController &m_controller;
    QTimer *m_spinnerTimer = nullptr;
    int m_spinnerStep = 0;
};
