#pragma once

#include <QString>
#include <QVariant>

// The settings file "config.ini": every group and key the shell reads or writes, with its
// default, in one table (LauncherSettings.cpp). Each call opens the file, so the several holders
// of one path never read a stale value. Without a path nothing is written and every key reads
// as its default. The group "MapsSettings" is kept by HostMapsManager (observation/maps), which
// reads and writes it through path() with the key rules of its own. GUI thread.
class LauncherSettings
{
public:
    // A key of the file; a feature that keeps settings of its own adds its keys here and to
    // the table.
    enum class Key {
        FullScreen,          // Window/fullscreen
        LastAddress,         // LoginSettings/last_address
        LastUsername,        // LoginSettings/last_username
        AutoLogoutPeriod,    // LoginSettings/auto_logout_period, seconds handed to the client
        VersionCheckPeriod,  // VersionSettings/version_check_period, seconds
        SelectedVersionPath, // VersionSettings/selected_version_path
        Language,            // LanguageSettings/language
    };

    explicit LauncherSettings(const QString &path = QString());

    static QString fileName();   // "config.ini"
    static QString builtInCopy(); // the default file among the resources
    static QString group(Key key);
    static QString name(Key key);
    static QVariant defaultValue(Key key);

    QString path() const { return m_path; }
    void setPath(const QString &path) { m_path = path; }

    // The stored value, or the key's default when the file holds none.
    QVariant value(Key key) const;
    void setValue(Key key, const QVariant &value);
    // False when the file is missing or cannot be parsed: the defaults are in use.
    bool isReadable() const;

    bool fullScreen() const { return value(Key::FullScreen).toBool(); }
    QString lastAddress() const { return value(Key::LastAddress).toString(); }
    QString lastUsername() const { return value(Key::LastUsername).toString(); }
    int autoLogoutPeriod() const { return value(Key::AutoLogoutPeriod).toInt(); }
    QString selectedVersionPath() const { return value(Key::SelectedVersionPath).toString(); }
    QString language() const { return value(Key::Language).toString(); }

    // Creates the file from the built-in copy unless it exists; logs each step. False when the
    // copy fails. A file holding a typed value ("@Variant(...)"), which the shell never writes
    // and Qt may fail to decode, is first kept aside under a time-stamped name, so that no
    // reader of the file meets it. Such a file also reads as unreadable here, every key as
    // its default, and takes no writes.
    bool createIfMissing() const;

private:
    bool setAside() const;

    QString m_path;
};
