// Start-up of the launcher beside a bare Qt Quick window (bench/startup/bare_qml_window.cpp):
// both programs are started in interleaved turns, and for each the bench reports the median
// time from its own start of the process to main, to the application object and to the first
// frame the window swapped, and the median peak resident memory (max RSS), with the ratios of
// the medians and the load average before and after.
//
//     xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/bench_startup [--runs 15]
//         [--launcher PATH] [--bare PATH] [--argument ARG]...
//
// How the figures come out: both programs construct a StartupProbe (app/StartupProbe.h) first
// thing in main. With "ORVA_STARTUP_PROBE" naming a file, the probe writes the steady clock's
// nanoseconds (CLOCK_MONOTONIC, the clock this bench reads just before fork) at main, at the
// application object and at the first swapped frame, then quits the program; without the
// variable it does nothing. Peak memory is the exited child's ru_maxrss. Each start gets a new
// empty folder as XDG_CONFIG_HOME, so no user settings or favourites are read, and the bench
// first moves itself into a private network namespace that holds only a loopback interface:
// the launcher's network discovery reaches no other host. Not a Google Benchmark loop: each
// repetition is a whole process.

#include "ProcessFigures.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

extern char **environ;

namespace {

using ProcessFigures::loadAverage;

qint64 nowNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool writeFile(const char *path, const std::string &text)
{
    const int fd = ::open(path, O_WRONLY);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    ::close(fd);
    return ok;
}

bool bringLoopbackUp()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool ok = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = short(request.ifr_flags | IFF_UP | IFF_RUNNING);
    ok = ok && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    ::close(fd);
    return ok;
}

// A namespace of our own needs root, or else a user namespace in which we are root.
bool enterPrivateNetwork()
{
    if (::unshare(CLONE_NEWNET) != 0) {
        const uid_t uid = ::getuid();
        const gid_t gid = ::getgid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0)
            return false;
        writeFile("/proc/self/setgroups", "deny");
        if (!writeFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1")
            || !writeFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return false;
    }
    return bringLoopbackUp();
}

struct Program
{
    QString name;
    QString path;
    QStringList arguments;
    std::vector<double> mainMs;
    std::vector<double> applicationMs;
    std::vector<double> frameMs;
    std::vector<double> rssMiB;
};

struct Sample
{
    double mainMs = 0;
    double applicationMs = 0;
    double frameMs = 0;
    double rssMiB = 0;
};

// One start of the program, timed by its probe; false with a reason when it did not get as far
// as its first frame.
bool startOnce(const Program &program, Sample *sample, QString *error)
{
    QTemporaryDir folder;
    if (!folder.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString probePath = folder.filePath(QStringLiteral("probe"));
    const QString configPath = folder.filePath(QStringLiteral("config"));
    const QString logPath = folder.filePath(QStringLiteral("output.log"));
    QDir().mkpath(configPath);

    // Everything the child needs is built before the clock starts.
    std::vector<QByteArray> environment;
    for (char **entry = environ; *entry; ++entry) {
        const QByteArray text(*entry);
        if (!text.startsWith("XDG_CONFIG_HOME=") && !text.startsWith("ORVA_STARTUP_PROBE=")
            && !text.startsWith("LIBGL_ALWAYS_SOFTWARE="))
            environment.push_back(text);
    }
    environment.push_back("XDG_CONFIG_HOME=" + QFile::encodeName(configPath));
    environment.push_back("ORVA_STARTUP_PROBE=" + QFile::encodeName(probePath));
    environment.push_back("LIBGL_ALWAYS_SOFTWARE=1");
    std::vector<char *> environmentPointers;
    for (QByteArray &text : environment)
        environmentPointers.push_back(text.data());
    environmentPointers.push_back(nullptr);
    std::vector<QByteArray> arguments{QFile::encodeName(program.path)};
    for (const QString &argument : program.arguments)
        arguments.push_back(argument.toLocal8Bit());
    std::vector<char *> argumentPointers;
    for (QByteArray &text : arguments)
        argumentPointers.push_back(text.data());
    argumentPointers.push_back(nullptr);
    const QByteArray log = QFile::encodeName(logPath);

    const qint64 start = nowNanoseconds();
    const pid_t child = ::fork();
    if (child < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (child == 0) {
        const int output = ::open(log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (output >= 0) {
            ::dup2(output, STDOUT_FILENO);
            ::dup2(output, STDERR_FILENO);
        }
        ::execve(argumentPointers[0], argumentPointers.data(), environmentPointers.data());
        ::_exit(127);
    }

    int status = 0;
    rusage usage{};
    const qint64 deadline = start + qint64(60) * 1000 * 1000 * 1000;
    pid_t done = 0;
    while ((done = ::wait4(child, &status, WNOHANG, &usage)) == 0) {
        if (nowNanoseconds() > deadline) {
            ::kill(child, SIGKILL);
            ::wait4(child, &status, 0, &usage);
            *error = QStringLiteral("no first frame within 60 s");
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (done < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        QFile output(logPath);
        output.open(QIODevice::ReadOnly);
        *error = QStringLiteral("exit status %1; its output:\n%2").arg(status).arg(QString::fromLocal8Bit(output.readAll()));
        return false;
    }

    QFile probe(probePath);
    if (!probe.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("ended without writing %1").arg(probePath);
        return false;
    }
    std::map<QByteArray, qint64> stamps;
    for (const QByteArray &line : probe.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 2)
            stamps[fields.at(0)] = fields.at(1).toLongLong();
    }
    for (const char *key : {"main", "application", "frame"}) {
        if (stamps[key] <= start) {
            *error = QStringLiteral("the probe file lacks \"%1\"").arg(QLatin1String(key));
            return false;
        }
    }
    sample->mainMs = double(stamps["main"] - start) / 1e6;
    sample->applicationMs = double(stamps["application"] - start) / 1e6;
    sample->frameMs = double(stamps["frame"] - start) / 1e6;
    sample->rssMiB = double(usage.ru_maxrss) / 1024.0;
    return true;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

QString argumentAfter(QStringList *arguments, int index)
{
    if (index + 1 >= arguments->size()) {
        std::fprintf(stderr, "%s needs a value\n", qPrintable(arguments->at(index)));
        std::exit(2);
    }
    return arguments->takeAt(index + 1);
}

} // namespace

int main(int argc, char *argv[])
{
    int runs = 15;
    Program launcher{QStringLiteral("launcher"), QStringLiteral(ORVA_LAUNCHER_EXE), {}, {}, {}, {}, {}};
    Program bare{QStringLiteral("bare QML window"), QStringLiteral(ORVA_BARE_WINDOW_EXE), {}, {}, {}, {}, {}};
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &option = arguments.at(i);
        if (option == QStringLiteral("--runs"))
            runs = std::max(1, argumentAfter(&arguments, i).toInt());
        else if (option == QStringLiteral("--launcher"))
            launcher.path = argumentAfter(&arguments, i);
        else if (option == QStringLiteral("--bare"))
            bare.path = argumentAfter(&arguments, i);
        else if (option == QStringLiteral("--argument"))
            launcher.arguments << argumentAfter(&arguments, i);
        else {
            std::fprintf(stderr, "usage: %s [--runs N] [--launcher PATH] [--bare PATH] [--argument ARG]...\n", argv[0]);
            return 2;
        }
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "No DISPLAY: run the bench under xvfb-run.\n");
        return 2;
    }
    if (!enterPrivateNetwork()) {
        std::fprintf(stderr, "Cannot make a private network namespace (needs root or user namespaces).\n");
        return 2;
    }

    const QString loadBefore = loadAverage();
    std::printf("Load average before: %s\n", qPrintable(loadBefore));
    // One unmeasured turn each fills the page cache; then the order alternates every round,
    // so neither program always starts right after the other.
    for (int round = -1; round < runs; ++round) {
        Program *turn[] = {&launcher, &bare};
        if (round % 2 != 0)
            std::swap(turn[0], turn[1]);
        for (Program *program : turn) {
            Sample sample;
            QString error;
            if (!startOnce(*program, &sample, &error)) {
                std::fprintf(stderr, "%s (%s): %s\n", qPrintable(program->name), qPrintable(program->path),
                             qPrintable(error));
                return 1;
            }
            if (round < 0)
                continue;
            program->mainMs.push_back(sample.mainMs);
            program->applicationMs.push_back(sample.applicationMs);
            program->frameMs.push_back(sample.frameMs);
            program->rssMiB.push_back(sample.rssMiB);
        }
    }

    std::printf("Medians of %d interleaved starts each:\n", runs);
    std::printf("%-18s %10s %14s %14s %12s\n", "", "main ms", "application ms", "first frame ms", "max RSS MiB");
    for (const Program *program : {&launcher, &bare}) {
        std::printf("%-18s %10.1f %14.1f %14.1f %12.1f\n", qPrintable(program->name), median(program->mainMs),
                    median(program->applicationMs), median(program->frameMs), median(program->rssMiB));
    }
    const auto ratio = [](const std::vector<double> &a, const std::vector<double> &b) {
        const double below = median(b);
        return below > 0 ? median(a) / below : 0.0;
    };
    std::printf("%-18s %10.2f %14.2f %14.2f %12.2f\n", "ratio", ratio(launcher.mainMs, bare.mainMs),
                ratio(launcher.applicationMs, bare.applicationMs), ratio(launcher.frameMs, bare.frameMs),
                ratio(launcher.rssMiB, bare.rssMiB));
    std::printf("Load average after: %s\n", qPrintable(loadAverage()));
    return 0;
}
