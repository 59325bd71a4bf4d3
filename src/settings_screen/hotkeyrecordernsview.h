#pragma once

#include <QWidget>

#include <functional>

// Captures one key combination typed while it has the keyboard focus and hands it to onRecord
// as a Qt key code and Qt modifier bits (Shift, Ctrl, Alt, Meta only), the encoding the
// settings store the global key in. A combination counts only with one of those modifiers held;
// a bare key is refused with a beep. Pressing or releasing a modifier alone records nothing.
// While it has the focus it takes every key, shortcuts and Tab included. It draws nothing.
class HotkeyRecorderNSView : public QWidget
{
    Q_OBJECT

public:
    static constexpr Qt::KeyboardModifiers recordedModifiers
        = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

    explicit HotkeyRecorderNSView(QWidget *parent = nullptr);

    std::function<void(quint32 keyCode, quint32 modifiers)> onRecord;
    // The refusal of a bare key; the desktop's beep unless replaced.
    std::function<void()> beep;

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;
};
