#include "app/settings/LauncherSettings.h"

#include "app/settings/ConfigDirectory.h"

#include "core/log/Log.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

struct Entry
{
    LauncherSettings::Key key;
    const char *group;
    const char *name;
    QVariant defaultValue;
};

// The whole file. Defaults here are what a missing key reads as; the built-in copy
// (resources/config.ini) writes the same values out on the first start.
const Entry &entry(LauncherSettings::Key key)
{
    using Key = LauncherSettings::Key;
    static const Entry table[] = {
        {Key::FullScreen, "Window", "fullscreen", false},
        {Key::LastAddress, "LoginSettings", "last_address", QString()},
        {Key::LastUsername, "LoginSettings", "last_username", QString()},
        {Key::AutoLogoutPeriod, "LoginSettings", "auto_logout_period", 0},
        {Key::VersionCheckPeriod, "VersionSettings", "version_check_period", 86400},
        {Key::SelectedVersionPath, "VersionSettings", "selected_version_path", QString()},
        {Key::Language, "LanguageSettings", "language", QString()},
    };
    for (const Entry &e : table) {
        if (e.key == key)
            return e;
    }
    Q_UNREACHABLE();
    return table[0];
}

// The value of an ASCII digit in `base` (8 or 16), or -1.
int digitValue(QChar c, int base)
{
    const char l = c.toLatin1();
    const int value = l >= '0' && l <= '9' ? l - '0' : l >= 'a' && l <= 'f' ? l - 'a' + 10 : l >= 'A' && l <= 'F' ? l - 'A' + 10 : -1;
    return value < base ? value : -1;
}

// The value text with the INI escapes read as QSettings reads them (\x and octal numbers,
// the C escapes; any other escaped character stands for itself).
QString unescaped(const QString &text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('\\') || i + 1 == text.size()) {
            out += text.at(i);
            continue;
        }
        const QChar c = text.at(++i);
        const int base = c == QLatin1Char('x') ? 16 : digitValue(c, 8) >= 0 ? 8 : 0;
        if (base == 0) {
            out += c;
            continue;
        }
        uint code = 0;
        int j = base == 16 ? i + 1 : i;
        for (; j < text.size() && digitValue(text.at(j), base) >= 0; ++j)
            code = (code * uint(base) + uint(digitValue(text.at(j), base))) & 0xffff;
        out += QChar(ushort(code));
        i = j - 1;
    }
    return out;
}

// QSettings decodes a value that starts with "@Variant(" with QDataStream, which may ask for
// any amount of memory and then throws out of Qt (std::bad_alloc), leaving QSettings broken:
// a damaged file would end the launcher at start-up. The shell writes plain values only, and
// QSettings writes a text starting with "@" as "@@", so a value that may start with a single
// "@", in any spelling, makes the file one the shell does not hand to QSettings. Deliberately
// suspicious: every line and every comma may start a value, and escapes are read both ways.
bool holdsTypedValue(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // With its size: from a bare byte array Qt stops at the first NUL, which QSettings reads past.
    const QByteArray bytes = file.readAll();
    QString content = QString::fromLatin1(bytes.constData(), bytes.size());
    content.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = content.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const int equals = line.indexOf(QLatin1Char('='));
        const QString value = equals < 0 ? line : line.mid(equals + 1);
        for (const QString &text : {value, unescaped(value)}) {
            for (QString piece : text.split(QLatin1Char(','))) {
                int start = 0;
                while (start < piece.size() && (piece.at(start).isSpace() || piece.at(start) == QLatin1Char('"')))
                    ++start;
                piece = piece.mid(start);
                if (piece.startsWith(QLatin1Char('@')) && !piece.startsWith(QLatin1String("@@")))
                    return true;
            }
        }
    }
    return false;
}

} // namespace

LauncherSettings::LauncherSettings(const QString &path)
    : m_path(path)
{
}

QString LauncherSettings::fileName()
{
    return QStringLiteral("config.ini");
}

QString LauncherSettings::builtInCopy()
{
    return QStringLiteral(":/config.ini");
}

QString LauncherSettings::group(Key key)
{
    return QLatin1String(entry(key).group);
}

QString LauncherSettings::name(Key key)
{
    return QLatin1String(entry(key).name);
}

QVariant LauncherSettings::defaultValue(Key key)
{
    return entry(key).defaultValue;
}

QVariant LauncherSettings::value(Key key) const
{
    if (m_path.isEmpty() || holdsTypedValue(m_path))
        return defaultValue(key);
    QSettings settings(m_path, QSettings::IniFormat);
    return settings.value(group(key) + QLatin1Char('/') + name(key), defaultValue(key));
}

void LauncherSettings::setValue(Key key, const QVariant &value)
{
    if (m_path.isEmpty())
        return;
    if (holdsTypedValue(m_path)) {
        LOG_WRN(QStringLiteral("[SETTINGS] Settings file %1 holds a value the launcher does not read; %2 is not kept.")
                    .arg(m_path, name(key)));
        return;
    }
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(group(key) + QLatin1Char('/') + name(key), value);
}

bool LauncherSettings::isReadable() const
{
    if (m_path.isEmpty() || !QFileInfo(m_path).isFile() || holdsTypedValue(m_path))
        return false;
    QSettings settings(m_path, QSettings::IniFormat);
    settings.allKeys(); // the status tells of the file only once it has been read
    return settings.status() == QSettings::NoError;
}

bool LauncherSettings::createIfMissing() const
{
    if (QFileInfo(m_path).isFile() && holdsTypedValue(m_path) && !setAside())
        return false;
    return ConfigDirectory::createFromBuiltIn(m_path, builtInCopy(),
                                              {QStringLiteral("[SETTINGS] Settings file: %1"),
                                               QStringLiteral("[SETTINGS] Settings file was not found. Creating ..."),
                                               QStringLiteral("[ERROR] %1 Failed to create new settings file.")});
}

bool LauncherSettings::setAside() const
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-hhmmsszzz"));
    QString copy = m_path + QStringLiteral(".unreadable-") + stamp;
    for (int n = 1; QFile::exists(copy); ++n)
        copy = m_path + QStringLiteral(".unreadable-") + stamp + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(m_path, copy)) {
        LOG_ERR(QStringLiteral("[ERROR] The settings file %1 holds a value the launcher does not read and could not "
                               "be moved to %2; the defaults are used.").arg(m_path, copy));
        return false;
    }
    LOG_WRN(QStringLiteral("[SETTINGS] The settings file held a value the launcher does not read; it was kept as %1 "
                           "and a new one is created.").arg(copy));
    return true;
}
