#pragma once

#include <QMetaType>
#include <QString>
#include <QUrl>
#include <QVector>

// One published version of the client applications: its name ("1.19.11"), where to download
// it and whether it is on disk. The id follows from the name (-1 for a name without numbers),
// so that versions order by it.
class VersionInfo
{
public:
    VersionInfo();
    VersionInfo(QString name, QVector<QUrl> downloadLinks, bool downloaded);

    int id() const { return m_id; }
    QString name() const { return m_name; }
    QVector<QUrl> downloadLinks() const { return m_downloadLinks; }
    bool isDownloaded() const { return m_downloaded; }
    void setDownloaded(bool downloaded) { m_downloaded = downloaded; }

    // major * 1000000 + minor * 1000 + patch of a "major.minor.patch" name; -1 without numbers.
    static int idForName(const QString &name);

    bool operator==(const VersionInfo &other) const;
    bool operator!=(const VersionInfo &other) const { return !(*this == other); }

private:
    int m_id = -1;
    QString m_name;
    QVector<QUrl> m_downloadLinks;
    bool m_downloaded = false;
};

Q_DECLARE_METATYPE(VersionInfo)
