// Brivel.conf as anything may have left it: every key read, and the older keys migrated.
#include "fuzzing.h"
#include "platform/captureshield.h"
#include "platform/linux/keyvaluestore_qsettings.h"
#include "settings/notchsettings.h"

#include <QMetaProperty>

namespace {

class NoCaptureShield : public CaptureShield
{
public:
    bool isSupported() const override { return false; }
    void setHiddenFromCapture(QWindow *, bool) const override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A new name each time: QSettings keeps files it has read, keyed by their path.
    static int count = 0;
    const QString path = fuzzScratch() + QStringLiteral("/Brivel-%1.conf").arg(++count);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        abort();
    file.close();
    static const NoCaptureShield shield;
    QSettingsKeyValueStore store(path);
    const NotchSettings settings(store, shield, QStringLiteral("en"));
    // Every property once, as the views read them.
    const QMetaObject &meta = NotchSettings::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
        meta.property(i).read(&settings);
    QFile::remove(path);
    return 0;
}
