#pragma once

#include <QObject>
#include <QPointer>
#include <QUuid>

#include <chrono>
#include <functional>

class OverlayContent;
class OverlayPanel;
class QTimer;
class SpeechRecognizer;

// One sticky duplicate window of a floating reading session: its panel, its own model and
// voice follower, and the poll that serves the requests its view leaves in them. It owns all
// of them, and closes the panel when it goes, unless the window was handed over to become the
// session's main window.
class StickyInstance : public QObject
{
    Q_OBJECT

public:
    // Takes ownership of the panel, the model and the follower.
    StickyInstance(OverlayPanel *panel, OverlayContent *content, SpeechRecognizer *recognizer,
                   QObject *parent = nullptr);
    ~StickyInstance() override;

    QUuid id() const { return m_id; }
    OverlayPanel *panel() const { return m_panel; }
    OverlayContent &content() const { return *m_content; }
    SpeechRecognizer &recognizer() const { return *m_recognizer; }

    // Open while it polls; a window whose poll was cancelled is on its way out.
    bool isOpen() const { return m_poll != nullptr; }
    void startPoll(std::chrono::milliseconds interval, std::function<void()> tick);
    void cancelPoll();

    // The window lives on without this instance: the model and follower move to the new
    // owner, and the panel is no longer closed here.
    void handOver(QObject *newOwner);

private:
    const QUuid m_id = QUuid::createUuid();
    QPointer<OverlayPanel> m_panel;
    OverlayContent *const m_content;
    SpeechRecognizer *const m_recognizer;
    QTimer *m_poll = nullptr;
};
