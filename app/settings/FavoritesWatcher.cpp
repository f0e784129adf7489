#include "app/settings/FavoritesWatcher.h"

#include "core/log/Log.h"
#include "devices/models/FavoriteDeviceModel.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>

FavoritesWatcher::FavoritesWatcher(FavoriteDeviceModel *model, const QString &path, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_path(path)
    , m_watcher(new QFileSystemWatcher(this))
{
    // The directory too: a save replaces the file, and the watch on the old one ends with it.
    m_watcher->addPath(QFileInfo(m_path).absolutePath());
    if (QFile::exists(m_path))
        m_watcher->addPath(m_path);
    m_modified = QFileInfo(m_path).lastModified();
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &FavoritesWatcher::reload);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &FavoritesWatcher::reload);
}

void FavoritesWatcher::reload()
{
    if (!QFile::exists(m_path))
        return;
    if (!m_watcher->files().contains(m_path))
        m_watcher->addPath(m_path);
    const QDateTime modified = QFileInfo(m_path).lastModified();
    if (modified == m_modified)
        return;
    m_modified = modified;
    m_model->load(m_path);
    LOG_INF(QStringLiteral("[INFO] Favorite devices reloaded: %1.").arg(m_model->rowCount()));
}
