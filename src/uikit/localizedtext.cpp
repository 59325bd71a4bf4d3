#include "localizedtext.h"

#include "settings/notchsettings.h"

#include <QHash>
#include <QObject>

namespace {

// One per target, its child: dies with it, and with it the connection.
class Bindings : public QObject
{
public:
    explicit Bindings(QObject *target)
        : QObject(target)
    {
        setObjectName(objectNameFor());
        // The lookup reads the shared settings' bundle, so that is what the texts follow.
        connect(&NotchSettings::shared(), &NotchSettings::localizationBundleChanged, this, [this] {
            for (const std::function<void()> &apply : std::as_const(m_applies))
                apply();
        });
    }

    static QString objectNameFor() { return QStringLiteral("localizedTextBindings"); }

    static Bindings *of(QObject *target)
    {
        // Only this file makes children of that name.
        QObject *bindings
            = target->findChild<QObject *>(objectNameFor(), Qt::FindDirectChildrenOnly);
        return bindings ? static_cast<Bindings *>(bindings) : new Bindings(target);
    }

    void set(const char *role, std::function<void()> apply)
    {
        apply();
        m_applies.insert(QByteArray(role), std::move(apply));
    }

private:
    QHash<QByteArray, std::function<void()>> m_applies;
};

} // namespace

void LocalizedText::bind(QObject *target, const char *property, std::function<QString()> text)
{
    const QByteArray name(property);
    follow(target, property, [target, name, text = std::move(text)] {
        target->setProperty(name.constData(), text());
    });
}

void LocalizedText::follow(QObject *target, const char *role, std::function<void()> apply)
{
    Bindings::of(target)->set(role, std::move(apply));
}
