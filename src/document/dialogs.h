#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The modal questions and file panels of the application. The desktop implementation uses
// message boxes and file dialogs; tests script the answers.
class Dialogs
{
public:
    enum class AlertStyle { informational, warning, critical };
    enum class UnsavedChangesChoice { save, discard, cancel };

    virtual ~Dialogs() = default;

    // A modal alert with one default button. Texts are already localised.
    virtual void alert(const QString &message, const QString &informativeText,
                       AlertStyle style = AlertStyle::warning)
        = 0;
    // A question whose answer destroys something: the message (the question itself) and the
    // informative text in the alert's body, with "Cancelar" and the destructive button. True
    // only when the user chose the destructive button.
    virtual bool confirmDestructive(const QString &message, const QString &informativeText,
                                    const QString &destructiveButton)
        = 0;
    // A question with its buttons in the given order; returns the index of the one chosen.
    // Return answers with `defaultButton`, Escape and closing the alert with `escapeButton`.
    // The texts are shown as plain text, whatever they hold.
    virtual int ask(const QString &message, const QString &informativeText,
                    const QStringList &buttons, int defaultButton, int escapeButton,
                    AlertStyle style = AlertStyle::informational)
        = 0;
    // "Tenés cambios sin guardar" with "Guardar", "Descartar" and "Cancelar".
    virtual UnsavedChangesChoice askUnsavedChanges() = 0;
    // The chosen path, or nothing when the user cancelled. The save panel proposes the name and
    // adds the extension when the user typed none.
    virtual std::optional<QString> savePanel(const QString &proposedFileName,
                                             const QString &extension)
        = 0;
    // `message` says what to choose; without one the panel asks for a file or presentation.
    virtual std::optional<QString> openPanel(const QStringList &extensions,
                                             const QString &message = QString())
        = 0;
};
