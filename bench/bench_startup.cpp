#include "startupprobe.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <optional>

namespace {

using namespace Qt::StringLiterals;

// One launch in a runtime folder of its own (a probe leaves its socket behind): the milliseconds
// from the launch to the first frame of the window, as the probe measured them.
std::optional<double> launch(const QString &program, const QStringList &arguments,
                             const QTemporaryDir &home, int run)
{
    const QString runtime = home.filePath(u"runtime-%1"_s.arg(run));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The platform is the benchmark's own: offscreen unless it runs under an X server.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
    environment.insert(u"XDG_DATA_HOME"_s, home.filePath(u"data"_s));
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    environment.insert(u"BRIVEL_BENCH_LAUNCHED_AT_NS"_s,
                       QString::number(StartupProbe::monotonicNanoseconds()));
    QProcess probe;
    probe.setProcessEnvironment(environment);
    probe.start(program, arguments);
    if (!probe.waitForFinished(30'000) || probe.exitCode() != 0)
        return std::nullopt;
    bool ok = false;
    const double milliseconds = probe.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok ? std::optional<double>(milliseconds) : std::nullopt;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Start-up to the main window, Brivel against a bare Qt program that shows an empty main window,
// all launched the same way and in turn, so a busy moment of the machine hits each alike.
// Brivel starts with a short document in its autosave, as it usually does. The second yardstick
// is the bare program with a one-title menu bar: it shows how much of the difference is the font
// system starting for the first text on screen.
void BM_StartupToMainWindow(benchmark::State &state)
{
    const int rounds = int(state.range(0));
    QTemporaryDir home;
    QDir().mkpath(home.filePath(u"data/Brivel"_s));
    QFile autosave(home.filePath(u"data/Brivel/pages.json"_s));
    if (!autosave.open(QIODevice::WriteOnly)
        || autosave.write(R"({"version":1,"pages":["Hola a todos.","[Pausa] Gracias."],)"
                          R"("titles":["Intro",""]})")
               < 0) {
        state.SkipWithError("cannot write the autosave");
        return;
    }
    autosave.close();
    // The second argument: 1 starts past the first run, as nearly every start does.
    if (state.range(1) == 1) {
        QDir().mkpath(home.filePath(u"config/Brivel"_s));
        QFile conf(home.filePath(u"config/Brivel/Brivel.conf"_s));
        if (!conf.open(QIODevice::WriteOnly)
            || conf.write("[General]\nhasCompletedOnboarding=true\nhasCompletedCoachMarks=true\n")
                   < 0) {
            state.SkipWithError("cannot write the settings");
            return;
        }
    }

    const QString bareProbe = QStringLiteral(BARE_STARTUP_PROBE);
    const QString brivelProbe = QStringLiteral(BRIVEL_STARTUP_PROBE);
    const QStringList withMenu{u"--menu"_s};
    int run = 0;
    // The first launches fill the disk cache; they do not count.
    launch(bareProbe, {}, home, run++);
    launch(brivelProbe, {}, home, run++);

    for (auto _ : state) {
        std::vector<double> bare;
        std::vector<double> bareWithMenu;
        std::vector<double> brivel;
        for (int i = 0; i < rounds; ++i) {
            const std::optional<double> bareMs = launch(bareProbe, {}, home, run++);
            const std::optional<double> menuMs = launch(bareProbe, withMenu, home, run++);
            const std::optional<double> brivelMs = launch(brivelProbe, {}, home, run++);
            if (!bareMs || !menuMs || !brivelMs) {
                state.SkipWithError("a probe did not show its window");
                return;
            }
            bare.push_back(*bareMs);
            bareWithMenu.push_back(*menuMs);
            brivel.push_back(*brivelMs);
        }
        state.counters["bare_ms"] = median(bare);
        state.counters["bare_menu_ms"] = median(bareWithMenu);
        state.counters["brivel_ms"] = median(brivel);
        state.counters["ratio"] = median(brivel) / median(bare);
        state.counters["ratio_to_menu"] = median(brivel) / median(bareWithMenu);
    }
}

} // namespace

BENCHMARK(BM_StartupToMainWindow)
    ->ArgNames({"rounds", "onboarded"})
    ->Args({10, 0})
    ->Args({10, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
