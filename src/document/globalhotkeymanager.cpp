#include "globalhotkeymanager.h"

#include "logging.h"
#include "platform/globalhotkeys.h"

#include <QKeySequence>

GlobalHotkeyManager::GlobalHotkeyManager(std::unique_ptr<GlobalHotKeys> hotKeys, QObject *parent)
    : QObject(parent)
    , m_hotKeys(hotKeys ? std::move(hotKeys) : GlobalHotKeys::create())
{
    connect(
        m_hotKeys.get(), &GlobalHotKeys::pressed, this,
        [this](int id) {
            if (id == hotKeyId && onHotkeyPressed)
                onHotkeyPressed();
        },
        Qt::QueuedConnection);
}

GlobalHotkeyManager::~GlobalHotkeyManager()
{
    unregister();
}

void GlobalHotkeyManager::registerHotKey(quint32 keyCode, quint32 modifiers)
{
    unregister();
    if (keyCode == 0)
        return;
    const Qt::KeyboardModifiers kept
        = Qt::KeyboardModifiers::fromInt(int(modifiers))
          & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!m_hotKeys->registerHotKey(hotKeyId, int(keyCode), kept)) {
        const QString name = QKeySequence(QKeyCombination(kept, Qt::Key(keyCode)))
                                 .toString(QKeySequence::PortableText);
        qCWarning(lcService, "The global key %s to show and hide Brivel is not available",
                  qPrintable(name));
    }
}

void GlobalHotkeyManager::unregister()
{
    m_hotKeys->unregisterHotKey(hotKeyId);
}

bool GlobalHotkeyManager::isRegistered() const
{
    return m_hotKeys->isRegistered(hotKeyId);
}
