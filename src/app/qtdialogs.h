#pragma once

#include "document/dialogs.h"

#include <QPointer>
#include <QString>
#include <QWidget>

// The desktop's alerts and file panels: message boxes and file dialogs, modal over the main
// window when it is on screen.
class QtDialogs : public Dialogs
{
public:
    QtDialogs() = default;

    void setParentWindow(QWidget *window) { m_parentWindow = window; }

    void alert(const QString &message, const QString &informativeText,
               AlertStyle style = AlertStyle::warning) override;
    bool confirmDestructive(const QString &message, const QString &informativeText,
                            const QString &destructiveButton) override;
    int ask(const QString &message, const QString &informativeText, const QStringList &buttons,
            int defaultButton, int escapeButton,
            AlertStyle style = AlertStyle::informational) override;
    UnsavedChangesChoice askUnsavedChanges() override;
    std::optional<QString> savePanel(const QString &proposedFileName,
                                     const QString &extension) override;
    std::optional<QString> openPanel(const QStringList &extensions,
                                     const QString &message = QString()) override;

    // "*.brivel *.BRIVEL …": file names are matched case-sensitively here, and a document's
    // extension counts whatever its case.
    static QString nameFilter(const QStringList &extensions);

private:
    QWidget *dialogParent() const;

    QPointer<QWidget> m_parentWindow;
    // The folder the last panel ended in, where the next one starts.
    QString m_lastDirectory;
};
