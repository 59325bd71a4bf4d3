#pragma once

#include "platform/textservice.h"

#include <QDBusContext>
#include <QObject>

// The text entry on the session bus. Calls arrive on the main thread through its event loop; a
// refusal is the call's error reply, with the refusal's text as its message.
class DBusTextService : public QObject, public TextService, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.brivel.Brivel")

public:
    static constexpr char serviceName[] = "org.brivel.Brivel";
    static constexpr char objectPath[] = "/org/brivel/Brivel";
    static constexpr char refusedError[] = "org.brivel.Brivel.Error.Refused";

    ~DBusTextService() override;

    bool publish() override;

public Q_SLOTS:
    void ReadText(const QString &text);
    void ReadSelection();

private:
    void answer(const QString &refusal);

    bool m_published = false;
};
