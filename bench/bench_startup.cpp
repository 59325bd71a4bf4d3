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

struct Launch
{
    double milliseconds = 0;
    int libraries = 0;
    // Where the time went: launch to the application object, its end to the window shown, then
    // to the window's first exposure, then to its first frame.
    double applicationMs = 0;
    double buildMs = 0;
    double exposeMs = 0;
    double paintMs = 0;
};

// One launch in a runtime folder of its own (a probe leaves its socket behind): the milliseconds
// from the launch to the first frame of the window and the libraries mapped by then, as the probe
// measured them.
std::optional<Launch> launch(const QString &program, const QStringList &arguments,
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
    const QList<QByteArray> figures = probe.readAllStandardOutput().simplified().split(' ');
    if (figures.size() != 5)
        return std::nullopt;
    bool read = true;
    const auto number = [&](int index) {
        bool ok = false;
        const double value = figures.at(index).toDouble(&ok);
        read = read && ok;
        return value;
    };
    const double frame = number(0);
    const double application = number(2);
    const double shown = number(3);
    const double exposed = number(4);
    const Launch result{frame,           int(number(1)), application, shown - application,
                        exposed - shown, frame - exposed};
    return read && application > 0 && shown >= application && exposed >= shown
               ? std::optional<Launch>(result)
               : std::nullopt;
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
// moment of the machine or a warm cache left by the one before hits each alike. Beside the
// ratio: the libraries mapped at the first frame, and the medians of where the time went (see
// Launch).
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
            std::vector<Launch> launches;
        } probes[] = {{bareProbe, {}, {}}, {bareProbe, withMenu, {}}, {brivelProbe, {}, {}}};
        const auto &[bare, bareWithMenu, brivel] = probes;
        for (int i = 0; i < rounds; ++i) {
            for (int k = 0; k < 3; ++k) {
                Probe &probe = probes[(i + k) % 3];
                const std::optional<Launch> measured
                    = launch(probe.program, probe.arguments, home, run++);
                if (!measured) {
                    state.SkipWithError("a probe did not show its window");
                    return;
                }
                probe.launches.push_back(*measured);
            }
        }
        const auto medianOf = [](const Probe &probe, auto Launch::*field) {
            std::vector<double> values;
            for (const Launch &launch : probe.launches)
                values.push_back(double(launch.*field));
            return median(values);
        };
        const double brivelMs = medianOf(brivel, &Launch::milliseconds);
        const double bareWithMenuMs = medianOf(bareWithMenu, &Launch::milliseconds);
        state.counters["bare_no_menu_ms"] = medianOf(bare, &Launch::milliseconds);
        state.counters["bare_menu_ms"] = bareWithMenuMs;
        state.counters["brivel_ms"] = brivelMs;
        for (const auto &[name, probe] :
             {std::pair("bare_menu", &bareWithMenu), std::pair("brivel", &brivel)}) {
            const std::string prefix = name;
            state.counters[prefix + "_libraries"] = medianOf(*probe, &Launch::libraries);
            state.counters[prefix + "_app_ms"] = medianOf(*probe, &Launch::applicationMs);
            state.counters[prefix + "_build_ms"] = medianOf(*probe, &Launch::buildMs);
            state.counters[prefix + "_expose_ms"] = medianOf(*probe, &Launch::exposeMs);
            state.counters[prefix + "_paint_ms"] = medianOf(*probe, &Launch::paintMs);
        }
        state.counters["budget_ratio"] = brivelMs / bareWithMenuMs;
        state.counters["ratio_to_no_menu"] = brivelMs / medianOf(bare, &Launch::milliseconds);
    }
}

} // namespace

BENCHMARK(BM_StartupToMainWindow)
    ->ArgNames({"rounds", "onboarded"})
    ->Args({20, 0})
    ->Args({100, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
