#pragma once

// Runs a piece of work in a forked child and reports what it cost: processor
// time (which other programs on a busy machine do not inflate) and the growth
// of the child's resident memory at its peak. A child that runs too long is
// ended by an alarm, so that a reader that hangs fails its test instead of
// holding the whole run.

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace harpoly::test {

struct ChildCost {
    bool finished = false; // false: the child crashed or was stopped by its alarm
    double cpuSeconds = 0;
    long peakGrowthKb = 0;
    std::string outcome; // what the work returned
};

namespace detail {

inline long statusField(const char* name) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(name);
    while (std::getline(in, line)) {
        if (line.compare(0, length, name) == 0 && line.size() > length && line[length] == ':') {
            return std::stol(line.substr(length + 1));
        }
    }
    return 0;
}

inline double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace detail

inline ChildCost measureInChild(const std::function<std::string()>& work,
                                unsigned alarmSeconds = 30) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        ::alarm(alarmSeconds);
        // The peak counter starts again from what the child holds now.
        std::ofstream("/proc/self/clear_refs") << "5";
        const long startKb = detail::statusField("VmRSS");
        const double startCpu = detail::cpuSeconds();
        std::string outcome;
        try {
            outcome = work();
        } catch (const std::exception& e) {
            outcome = std::string("exception: ") + e.what();
        }
        const double cpu = detail::cpuSeconds() - startCpu;
        const long growth = detail::statusField("VmHWM") - startKb;
        const std::string report =
            std::to_string(cpu) + " " + std::to_string(growth) + " " + outcome;
        (void)!::write(fds[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
        report.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ChildCost cost;
    cost.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0 && !report.empty();
    if (cost.finished) {
        std::size_t used = 0;
        cost.cpuSeconds = std::stod(report, &used);
        report = report.substr(used + 1);
        cost.peakGrowthKb = std::stol(report, &used);
        cost.outcome = report.size() > used ? report.substr(used + 1) : std::string();
    }
    return cost;
}

} // namespace harpoly::test
