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

// Start-up to the main window, Brivel against a bare Qt program that shows an empty main window
// with a one-title menu bar, as Brivel's has: "budget_ratio" is the figure the budget holds.
// Brivel starts with a short document in its autosave, as it usually does. The bare program
// without a menu bar shows how much of the difference is the font system starting for the first
// text on screen. All are launched the same way, in turn, each round in another order, so a busy
// moment of the machine or a warm cache left by the one before hits each alike.
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
        struct Probe
        {
            const QString &program;
            QStringList arguments;
            std::vector<double> milliseconds;
        } probes[] = {{bareProbe, {}, {}}, {bareProbe, withMenu, {}}, {brivelProbe, {}, {}}};
        const auto &[bare, bareWithMenu, brivel] = probes;
        for (int i = 0; i < rounds; ++i) {
            for (int k = 0; k < 3; ++k) {
                Probe &probe = probes[(i + k) % 3];
                const std::optional<double> ms
                    = launch(probe.program, probe.arguments, home, run++);
                if (!ms) {
                    state.SkipWithError("a probe did not show its window");
                    return;
                }
                probe.milliseconds.push_back(*ms);
            }
        }
        state.counters["bare_no_menu_ms"] = median(bare.milliseconds);
        state.counters["bare_menu_ms"] = median(bareWithMenu.milliseconds);
        state.counters["brivel_ms"] = median(brivel.milliseconds);
        state.counters["budget_ratio"]
            = median(brivel.milliseconds) / median(bareWithMenu.milliseconds);
        state.counters["ratio_to_no_menu"]
            = median(brivel.milliseconds) / median(bare.milliseconds);
    }
}

} // namespace

BENCHMARK(BM_StartupToMainWindow)
    ->ArgNames({"rounds", "onboarded"})
    ->Args({10, 0})
    ->Args({10, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
