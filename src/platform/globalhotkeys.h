#pragma once

#include <QObject>

#include <memory>

// Keys that reach Brivel while another application has the keyboard. Each registration has a
// caller-chosen id; a held key reports one press and one release, however long it is held.
class GlobalHotKeys : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~GlobalHotKeys() override;

    // Qt key code and modifiers (Ctrl stands for the command key). False when the key cannot be
    // had, for instance because another client holds it; the id then stays unregistered.
    virtual bool registerHotKey(int id, int key, Qt::KeyboardModifiers modifiers) = 0;
    // Does nothing for an id that is not registered.
    virtual void unregisterHotKey(int id) = 0;
    virtual bool isRegistered(int id) const = 0;

    // The window system's hot keys: X11 key grabs when there is an X connection, otherwise an
    // implementation that registers nothing.
    static std::unique_ptr<GlobalHotKeys> create();

Q_SIGNALS:
    void pressed(int id);
    void released(int id);
};
