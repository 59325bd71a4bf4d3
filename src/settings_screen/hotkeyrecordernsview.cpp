#include "hotkeyrecordernsview.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
        return true;
    default:
        return false;
    }
}

} // namespace

HotkeyRecorderNSView::HotkeyRecorderNSView(QWidget *parent)
    : QWidget(parent)
    , beep([] { QApplication::beep(); })
{
    setFocusPolicy(Qt::StrongFocus);
}

bool HotkeyRecorderNSView::event(QEvent *event)
{
    // A combination such as Ctrl+Q is what the user records here, not a command to run.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void HotkeyRecorderNSView::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    if (isModifierKey(event->key()) || event->key() == 0 || event->key() == Qt::Key_unknown)
        return;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & recordedModifiers;
    if (modifiers == Qt::NoModifier) {
        if (beep)
            beep();
        return;
    }
    if (onRecord)
        onRecord(quint32(event->key()), quint32(modifiers.toInt()));
}

bool HotkeyRecorderNSView::focusNextPrevChild(bool)
{
    return false;
}
