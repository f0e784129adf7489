#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

class FavoriteDeviceModel;
class QFileSystemWatcher;

// "--live-favorite-list": reloads the favourites model whenever another program rewrites the
// file. GUI thread; the model must outlive the watcher.
class FavoritesWatcher : public QObject
{
    Q_OBJECT

public:
    FavoritesWatcher(FavoriteDeviceModel *model, const QString &path, QObject *parent = nullptr);

private:
    void reload();

    FavoriteDeviceModel *m_model;
    QString m_path;
    QFileSystemWatcher *m_watcher;
    QDateTime m_modified;
};
