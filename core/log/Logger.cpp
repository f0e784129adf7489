#include "core/log/Logger.h"

#include "core/log/Console.h"

#include <QDir>
#include <QMutexLocker>

namespace kvr::log {

namespace {

struct FlagKey
{
    const char *key;
    quint32 flag;
};

constexpr FlagKey kFlagKeys[] = {
    {"all", ALL},   {"without_debug", WITHOUT_DEBUG},
    {"err", ERR},   {"wrn", WRN},
    {"inf", INF},   {"dbg0", DBG0},
    {"dbg1", DBG1}, {"dbg2", DBG2},
    {"dbg3", DBG3},
};

bool parseBool(const QString &value, bool *ok)
{
    const QString v = value.trimmed().toLower();
    *ok = true;
    if (v == QLatin1String("1") || v == QLatin1String("true") || v == QLatin1String("on") || v == QLatin1String("yes"))
        return true;
    if (v == QLatin1String("0") || v == QLatin1String("false") || v == QLatin1String("off") || v == QLatin1String("no"))
        return false;
    *ok = false;
    return false;
}

QByteArray utf8Line(const QString &line)
{
    QByteArray bytes = line.toUtf8();
    bytes += '\n';
    return bytes;
}

} // namespace

Logger::Logger()
    : m_flags(ERR | WRN | INF)
    , m_consoleWriter(std::make_unique<Console>())
{
}

Logger::~Logger() = default;

void Logger::setFlag(quint32 flag, bool on)
{
    quint32 current = m_flags.load(std::memory_order_relaxed);
    while (!m_flags.compare_exchange_weak(current, on ? (current | flag) : (current & ~flag),
                                          std::memory_order_relaxed)) {
    }
}

Console &Logger::console()
{
    return *m_consoleWriter;
}

void Logger::setConsoleOutput(bool on)
{
    QMutexLocker lock(&m_mutex);
    m_console = on;
}

bool Logger::consoleOutput() const
{
    QMutexLocker lock(&m_mutex);
    return m_console;
}

QString Logger::logFileName(const QString &logName, const QDateTime &time)
{
    QString name = QStringLiteral("log_");
    if (!logName.isEmpty())
        name += logName + QLatin1Char('_');
    return name + time.toString(QStringLiteral("yyyyMMddhhmmsszzz")) + QStringLiteral(".txt");
}

QString Logger::messageLogFileName(const QDateTime &time)
{
    return QStringLiteral("log_message_") + time.toString(QStringLiteral("yyyyMMddhhmmsszzz"))
        + QStringLiteral(".txt");
}

bool Logger::openFile(QFile &file, const QString &path)
{
    file.setFileName(path);
    if (QDir().mkpath(QFileInfo(path).absolutePath())
        && file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered))
        return true;
    m_consoleWriter->write(QStringLiteral("Cannot open log file %1: %2").arg(path, file.errorString()),
                           Console::Colour::Red);
    return false;
}

bool Logger::setFileOutput(bool on, const QString &directory, const QString &logName)
{
    QMutexLocker lock(&m_mutex);
    if (m_file.isOpen())
        m_file.close();
    if (m_messageFile.isOpen())
        m_messageFile.close();
    m_fileOutput = false;
    m_messageFileFailed = false;
    if (!on)
        return true;
    m_directory = directory.isEmpty() ? QDir::currentPath() : directory;
    const QString path = QDir(m_directory).filePath(logFileName(logName, QDateTime::currentDateTime()));
    m_fileOutput = openFile(m_file, path);
    return m_fileOutput;
}

QString Logger::logFilePath() const
{
    QMutexLocker lock(&m_mutex);
    return m_file.isOpen() ? m_file.fileName() : QString();
}

QString Logger::messageLogFilePath() const
{
    QMutexLocker lock(&m_mutex);
    return m_messageFile.isOpen() ? m_messageFile.fileName() : QString();
}

int Logger::addSink(Sink sink)
{
    QMutexLocker lock(&m_mutex);
    const int id = m_nextSinkId++;
    m_sinks.emplace(id, std::move(sink));
    return id;
}

void Logger::removeSink(int id)
{
    QMutexLocker lock(&m_mutex);
    m_sinks.erase(id);
}

void Logger::write(const LogMessage &message)
{
    const QString line = message.format();
    // Converted before taking the lock, so that writers wait for each other only while the
    // line goes to its file.
    QByteArray bytes;
    if (m_fileOutput.load(std::memory_order_relaxed))
        bytes = utf8Line(line);
    QMutexLocker lock(&m_mutex);
    for (const auto &entry : m_sinks)
        entry.second(message, line);
    if (m_console)
        m_consoleWriter->write(line, Console::colourForLevel(message.level()));
    if (!m_fileOutput.load(std::memory_order_relaxed))
        return;
    QFile *file = &m_file;
    if (message.isMessageLog()) {
        if (!m_messageFile.isOpen()) {
            if (m_messageFileFailed)
                return;
            const QString path = QDir(m_directory).filePath(messageLogFileName(QDateTime::currentDateTime()));
            if (!openFile(m_messageFile, path)) {
                m_messageFileFailed = true;
                return;
            }
        }
        file = &m_messageFile;
    }
    if (bytes.isEmpty())
        bytes = utf8Line(line);
    // The files are unbuffered: one write call puts the whole line in the file.
    if (file->write(bytes) != bytes.size() || !file->flush()) {
        // A full disk must not take the program down: say so once and stop writing there.
        m_consoleWriter->write(QStringLiteral("Log file %1 failed: %2").arg(file->fileName(), file->errorString()),
                               Console::Colour::Red);
        file->close();
        if (file == &m_file)
            m_fileOutput = false;
        else
            m_messageFileFailed = true;
    }
}

bool Logger::applyOptions(const QString &options, QString *error)
{
    QStringList problems;
    QString directory = m_directory;
    QString logName;
    int file = -1;
    const QStringList pairs = options.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &pair : pairs) {
        const int eq = pair.indexOf(QLatin1Char('='));
        const QString key = (eq < 0 ? pair : pair.left(eq)).trimmed().toLower();
        const QString value = eq < 0 ? QStringLiteral("1") : pair.mid(eq + 1).trimmed();
        bool ok = true;
        bool handled = false;
        for (const FlagKey &flagKey : kFlagKeys) {
            if (key == QLatin1String(flagKey.key)) {
                const bool on = parseBool(value, &ok);
                if (ok)
                    setFlag(flagKey.flag, on);
                handled = true;
                break;
            }
        }
        if (handled) {
        } else if (key == QLatin1String("console")) {
            const bool on = parseBool(value, &ok);
            if (ok)
                setConsoleOutput(on);
        } else if (key == QLatin1String("file")) {
            const bool on = parseBool(value, &ok);
            if (ok)
                file = on ? 1 : 0;
        } else if (key == QLatin1String("dir")) {
            directory = value;
        } else if (key == QLatin1String("name")) {
            logName = value;
        } else {
            problems << QStringLiteral("unknown key \"%1\"").arg(key);
            continue;
        }
        if (!ok)
            problems << QStringLiteral("bad value \"%1\" for \"%2\"").arg(value, key);
    }
    if (file == 1)
        setFileOutput(true, directory, logName);
    else if (file == 0)
        setFileOutput(false);
    if (error)
        *error = problems.join(QStringLiteral("; "));
    return problems.isEmpty();
}

} // namespace kvr::log
