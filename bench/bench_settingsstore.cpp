#include "platform/linux/keyvaluestore_qsettings.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// A settings file of `bytes` bytes: Brivel's own keys, then lines of serialised values.
QByteArray serialisedValues(qint64 bytes)
{
    QByteArray content = "[General]\noverlayMode=cursor\nnotchWidth=340.5\n";
    QByteArray value;
    while (value.size() < 1000)
        value += "@Variant(x";
    for (int key = 0; content.size() + value.size() < bytes; ++key)
        content += "k" + QByteArray::number(key) + "=" + value + "\n";
    return content;
}

QByteArray manySections(int sections)
{
    QByteArray content = "[General]\noverlayMode=cursor\n";
    for (int i = 0; i < sections; ++i)
        content += "[s" + QByteArray::number(i) + "]\n";
    return content;
}

// Opening the store at start-up on a file of the given shape, up to the first value read.
void openStore(benchmark::State &state, const QByteArray &content)
{
    QLoggingCategory::setFilterRules(u"brivel.platform.warning=false"_s);
    QTemporaryDir dir;
    int run = 0;
    bool read = true;
    for (auto _ : state) {
        state.PauseTiming();
        // A new name each time: QSettings keeps the files it has read, keyed by their path.
        const QString path = dir.filePath(u"Brivel-%1.conf"_s.arg(++run));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
            state.SkipWithError("The settings file could not be written");
            return;
        }
        file.close();
        state.ResumeTiming();
        const QSettingsKeyValueStore store(path);
        read = read && store.value(u"notchWidth"_s).isValid() == content.contains("notchWidth");
    }
    if (!read)
        state.SkipWithError("The store did not read the file");
    state.SetBytesProcessed(state.iterations() * content.size());
}

void BM_OpenSettingsStoreOwnKeys(benchmark::State &state)
{
    openStore(state, serialisedValues(0));
}

void BM_OpenSettingsStoreSerialisedValues(benchmark::State &state)
{
    openStore(state, serialisedValues(state.range(0) * 1024));
}

void BM_OpenSettingsStoreManySections(benchmark::State &state)
{
    openStore(state, manySections(int(state.range(0))));
}

} // namespace

BENCHMARK(BM_OpenSettingsStoreOwnKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSettingsStoreSerialisedValues)
    ->Arg(256)
    ->Arg(1024)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSettingsStoreManySections)
    ->Arg(100'000)
    ->Arg(500'000)
    ->Unit(benchmark::kMillisecond);
