#include "app/settings/ConfigDirectory.h"

#include "core/log/Log.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

QString ConfigDirectory::path()
{
    const QString directory = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(directory);
    return directory;
}

QString ConfigDirectory::filePath(const QString &fileName)
{
    return QDir(path()).filePath(fileName);
}

QString ConfigDirectory::initFunction()
{
    return QStringLiteral("Launcher::init");
}

void ConfigDirectory::makeWritable(const QString &path)
{
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
                                    | QFile::ReadGroup | QFile::ReadOther);
}

QString ConfigDirectory::favoritesFileName()
{
    return QStringLiteral("favorite_connections.json");
}

QString ConfigDirectory::favoritesBuiltInCopy()
{
    return QStringLiteral(":/favorite_connections.json");
}

bool ConfigDirectory::createFromBuiltIn(const QString &path, const QString &builtIn, const CreationTexts &texts)
{
    const QString function = initFunction();
    KVR_LOG_AT(kvr::log::INF, function, texts.where.arg(path));
    if (QFile::exists(path))
        return true;
    KVR_LOG_AT(kvr::log::INF, function, texts.creating);
    if (!QFile::copy(builtIn, path)) {
        KVR_LOG_AT(kvr::log::ERR, function, texts.failed.arg(function));
        return false;
    }
    makeWritable(path);
    return true;
}

bool ConfigDirectory::createFavoritesIfMissing(const QString &path)
{
    return createFromBuiltIn(path, favoritesBuiltInCopy(),
                             {QStringLiteral("[INFO] Connections file: %1"),
                              QStringLiteral("[INFO] Connections file was not found. Creating ..."),
                              QStringLiteral("[ERROR] %1 Failed to create new connections file.")});
}
