// The start-up probe: starts Korvel with a full settings store, and a bare Qt dialog of the
// same widgets as the baseline, many times each, alternating, and prints for each the time
// from exec to the first painted frame that shows the memory list, the processor time it
// took to get there and the peak memory; then Korvel's ratios to the baseline. On a busy
// machine the wall time scatters widely; the processor time much less. Run under an X server
// (./korvel.sh probe uses Xvfb).
//
//   korvel_startprobe path/to/korvel path/to/korvel_baredialog [runs] [--empty]
//                                       --empty: no settings store, for the dialog's own cost
//   korvel_startprobe --store folder    only writes the full store, for profiling by hand
#include "core/calculator.h"
#include "persistence/qsettingsstore.h"
#include "persistence/savedstate.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

// What a user leaves after heavy use: 999 memories, every second one derived from the one
// before it, and 30 history entries.
void writeFullStore(const QString &file)
{
    CalculatorState state{QStringLiteral("m001 + m002"), {}, {}};
    for (int k = 1; k <= Engine::PoolSize; ++k) {
        const QString name = QStringLiteral("m%1").arg(k, 3, 10, QLatin1Char('0'));
        const QString before = QStringLiteral("m%1").arg(k - 1, 3, 10, QLatin1Char('0'));
        state.memories.push_back(
            {name, double(k),
             k % 2 == 0 ? name + QStringLiteral(" = ") + before + QStringLiteral(" * 2")
                        : QString()});
    }
    for (int i = 29; i >= 0; --i)
        state.history.append(
            QStringLiteral("m%1 * %2 + 1").arg(i + 1, 3, 10, QLatin1Char('0')).arg(i));
    QSettingsStore store(file);
    SaveToSettings(store, state);
}

struct Run {
    double milliseconds;
    double cpuMilliseconds; ///< user and system time
    double peakMiB;
};

double milliseconds(const timeval &time)
{
    return double(time.tv_sec) * 1e3 + double(time.tv_usec) / 1e3;
}

// Starts `program` and waits for its report of the first frame; the time counts from just
// before the process is made.
std::optional<Run> start(const std::string &program, const std::vector<std::string> &environment)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char *> env;
    for (const std::string &entry : environment)
        env.push_back(const_cast<char *>(entry.c_str()));
    env.push_back(nullptr);
    char *argv[] = {const_cast<char *>(program.c_str()), nullptr};

    const auto before = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, env.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0) {
        ::close(pipeFds[0]);
        return std::nullopt;
    }
    std::string output;
    char buffer[256];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, std::size_t(got));
    ::close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);

    const auto found = output.find("first-frame ");
    if (found == std::string::npos || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    const long long frame = std::stoll(output.substr(found + 12));
    const long long start =
        std::chrono::duration_cast<std::chrono::nanoseconds>(before.time_since_epoch()).count();
    return Run{double(frame - start) / 1e6,
               milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime),
               double(usage.ru_maxrss) / 1024.0};
}

struct Summary {
    double median, low, high, cpuMedian, peakMiB;
};

Summary summarize(std::vector<Run> runs)
{
    std::vector<double> cpu;
    double peak = 0;
    for (const Run &run : runs) {
        cpu.push_back(run.cpuMilliseconds);
        peak = std::max(peak, run.peakMiB);
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(runs.begin(), runs.end(),
              [](const Run &a, const Run &b) { return a.milliseconds < b.milliseconds; });
    return {runs[runs.size() / 2].milliseconds, runs.front().milliseconds, runs.back().milliseconds,
            cpu[cpu.size() / 2], peak};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--store") == 0) {
        writeFullStore(
            QDir(QString::fromLocal8Bit(argv[2])).filePath(QStringLiteral("Tamsard/korvel.conf")));
        return 0;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s korvel baredialog [runs] [--empty]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 21;
    const bool empty = argc > 4 && std::strcmp(argv[4], "--empty") == 0;
    QTemporaryDir config;
    if (!empty)
        writeFullStore(config.filePath(QStringLiteral("Tamsard/korvel.conf")));

    std::vector<std::string> environment;
    for (char **entry = environ; *entry; ++entry) {
        if (std::strncmp(*entry, "XDG_CONFIG_HOME=", 16) != 0)
            environment.emplace_back(*entry);
    }
    environment.push_back("XDG_CONFIG_HOME=" + config.path().toStdString());
    environment.push_back("KORVEL_REPORT_FIRST_FRAME=1");

    const std::string programs[] = {argv[1], argv[2]};
    std::vector<Run> measured[2];
    for (int i = 0; i < runs + 1; ++i) {
        for (int p = 0; p < 2; ++p) {
            const std::optional<Run> run = start(programs[p], environment);
            if (!run) {
                std::fprintf(stderr, "%s did not report its first frame\n", programs[p].c_str());
                return 1;
            }
            if (i > 0) // the first round only warms the caches
                measured[p].push_back(*run);
        }
    }
    const Summary korvel = summarize(measured[0]), bare = summarize(measured[1]);
    std::printf("%-26s %9s %9s %9s %9s %10s\n", "first frame, runs alternate", "median", "fastest",
                "slowest", "CPU", "peak RSS");
    for (const auto &[name, s] :
         {std::pair("bare Qt dialog", bare),
          std::pair(empty ? "Korvel, empty store" : "Korvel, full store", korvel)})
        std::printf("%-26s %7.1f ms %6.1f ms %6.1f ms %6.1f ms %6.1f MiB\n", name, s.median, s.low,
                    s.high, s.cpuMedian, s.peakMiB);
    std::printf("%-26s %9.2f %9.2f %9s %9.2f %10.2f\n", "Korvel / bare",
                korvel.median / bare.median, korvel.low / bare.low, "",
                korvel.cpuMedian / bare.cpuMedian, korvel.peakMiB / bare.peakMiB);
    return 0;
}
