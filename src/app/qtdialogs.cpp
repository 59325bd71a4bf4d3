#include "qtdialogs.h"

#include "settings/localization.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon iconForStyle(Dialogs::AlertStyle style)
{
    switch (style) {
    case Dialogs::AlertStyle::informational:
        return QMessageBox::Information;
    case Dialogs::AlertStyle::warning:
        return QMessageBox::Warning;
    case Dialogs::AlertStyle::critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::Warning;
}

// "brivel" whether the caller wrote it with its dot or without.
QString bareExtension(const QString &extension)
{
    return extension.startsWith(u'.') ? extension.mid(1) : extension;
}

// Texts may come from outside (a file name, a feed): they are never rendered as markup.
void setPlainInformativeText(QMessageBox &box, const QString &informativeText)
{
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(informativeText);
    if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        label->setTextFormat(Qt::PlainText);
}

} // namespace

QWidget *QtDialogs::dialogParent() const
{
    // A dialog over a minimised window would be minimised with it, out of reach.
    const bool onScreen
        = m_parentWindow && m_parentWindow->isVisible() && !m_parentWindow->isMinimized();
    return onScreen ? m_parentWindow.data() : nullptr;
}

void QtDialogs::alert(const QString &message, const QString &informativeText, AlertStyle style)
{
    QMessageBox box(iconForStyle(style), QStringLiteral("Brivel"), message, QMessageBox::NoButton,
                    dialogParent());
    setPlainInformativeText(box, informativeText);
    QPushButton *ok = box.addButton(localizedString("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

bool QtDialogs::confirmDestructive(const QString &message, const QString &informativeText,
                                   const QString &destructiveButton)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Brivel"), message, QMessageBox::NoButton,
                    dialogParent());
    setPlainInformativeText(box, informativeText);
    QPushButton *cancel = box.addButton(localizedString("Cancelar"), QMessageBox::RejectRole);
    QPushButton *destroy = box.addButton(destructiveButton, QMessageBox::DestructiveRole);
    // Return and Escape both keep what is there; destroying takes a deliberate click.
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == destroy;
}

int QtDialogs::ask(const QString &message, const QString &informativeText,
                   const QStringList &buttons, int defaultButton, int escapeButton,
                   AlertStyle style)
{
    QMessageBox box(iconForStyle(style), QStringLiteral("Brivel"), message, QMessageBox::NoButton,
                    dialogParent());
    setPlainInformativeText(box, informativeText);
    QList<QPushButton *> added;
    for (const QString &text : buttons)
        added << box.addButton(text, QMessageBox::ActionRole);
    if (defaultButton >= 0 && defaultButton < added.size())
        box.setDefaultButton(added[defaultButton]);
    if (escapeButton >= 0 && escapeButton < added.size())
        box.setEscapeButton(added[escapeButton]);
    box.exec();
    const int chosen = int(added.indexOf(static_cast<QPushButton *>(box.clickedButton())));
    // A box taken down from outside counts as Escape.
    return chosen >= 0 ? chosen : escapeButton;
}

Dialogs::UnsavedChangesChoice QtDialogs::askUnsavedChanges()
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Brivel"),
                    localizedString("Tenés cambios sin guardar"), QMessageBox::NoButton,
                    dialogParent());
    box.setInformativeText(
        localizedString("¿Querés guardar los cambios antes de abrir otro archivo?"));
    QPushButton *save = box.addButton(localizedString("Guardar"), QMessageBox::AcceptRole);
    QPushButton *discard
        = box.addButton(localizedString("Descartar"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(localizedString("Cancelar"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return UnsavedChangesChoice::save;
    if (box.clickedButton() == discard)
        return UnsavedChangesChoice::discard;
    // Escape, the window's close button or a box taken down from outside.
    return UnsavedChangesChoice::cancel;
}

std::optional<QString> QtDialogs::savePanel(const QString &proposedFileName,
                                            const QString &extension)
{
    QFileDialog dialog(dialogParent(), localizedString("Guardar como…"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(nameFilter({extension}));
    // Added only when the typed name has no extension of its own.
    dialog.setDefaultSuffix(bareExtension(extension));
    dialog.setDirectory(m_lastDirectory.isEmpty() ? QDir::homePath() : m_lastDirectory);
    dialog.selectFile(proposedFileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = dialog.selectedFiles().constFirst();
    m_lastDirectory = QFileInfo(path).absolutePath();
    return path;
}

std::optional<QString> QtDialogs::openPanel(const QStringList &extensions, const QString &message)
{
    QFileDialog dialog(dialogParent(), message.isEmpty()
                                           ? localizedString("Abrir archivo o presentación…")
                                           : message);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(nameFilter(extensions));
    dialog.setDirectory(m_lastDirectory.isEmpty() ? QDir::homePath() : m_lastDirectory);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = dialog.selectedFiles().constFirst();
    m_lastDirectory = QFileInfo(path).absolutePath();
    return path;
}

QString QtDialogs::nameFilter(const QStringList &extensions)
{
    QStringList patterns;
    for (const QString &extension : extensions) {
        const QString bare = bareExtension(extension);
        patterns << u"*."_qs + bare.toLower();
        if (bare.toUpper() != bare.toLower())
            patterns << u"*."_qs + bare.toUpper();
    }
    return patterns.join(u' ');
}
