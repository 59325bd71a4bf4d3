#include "stickyinstance.h"

#include "overlay/model/overlaycontent.h"
#include "overlay/overlaypanel.h"
#include "speech/speechrecognizer.h"

#include <QTimer>

StickyInstance::StickyInstance(OverlayPanel *panel, OverlayContent *content,
                               SpeechRecognizer *recognizer, QObject *parent)
    : QObject(parent)
    , m_panel(panel)
    , m_content(content)
    , m_recognizer(recognizer)
{
    m_content->setParent(this);
    m_recognizer->setParent(this);
}

StickyInstance::~StickyInstance()
{
    // The view goes with its panel before the model and follower it shows.
    if (m_panel) {
        m_panel->hide();
        delete m_panel;
    }
}

void StickyInstance::startPoll(std::chrono::milliseconds interval, std::function<void()> tick)
{
    cancelPoll();
    m_poll = new QTimer(this);
    m_poll->setInterval(interval);
    connect(m_poll, &QTimer::timeout, this, std::move(tick));
    m_poll->start();
}

void StickyInstance::cancelPoll()
{
    if (!m_poll)
        return;
    // Often cancelled from its own tick: stopped now, freed once the tick is over.
    m_poll->stop();
    m_poll->deleteLater();
    m_poll = nullptr;
}

void StickyInstance::handOver(QObject *newOwner)
{
    cancelPoll();
    m_content->setParent(newOwner);
    m_recognizer->setParent(newOwner);
    m_panel = nullptr;
}
