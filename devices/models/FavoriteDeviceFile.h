#pragma once

#include <QJsonArray>
#include <QString>

#include <optional>

// The favourites file: {"connections": [entry, ...]}, indented UTF-8 JSON. A file that exists
// but cannot be read is logged and copied aside before the next write to that path replaces
// it, so the operator's list is never lost to a save.
class FavoriteDeviceFile
{
public:
    // The entries; nothing for a missing file or one that cannot be read (which is logged).
    std::optional<QJsonArray> read(const QString &path);
    // Writes atomically: a failure leaves the old file whole and logs an error.
    bool write(const QString &path, const QJsonArray &connections);

private:
    bool keepUnreadableCopy(const QString &path);

    // A file that read() could not read; copied aside before write() replaces it.
    QString m_unreadablePath;
};
