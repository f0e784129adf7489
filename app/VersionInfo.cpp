#include "app/VersionInfo.h"

#include <QRegularExpression>

VersionInfo::VersionInfo()
    : VersionInfo(QString(), {}, false)
{
}

VersionInfo::VersionInfo(QString name, QVector<QUrl> downloadLinks, bool downloaded)
    : m_id(idForName(name))
    , m_name(std::move(name))
    , m_downloadLinks(std::move(downloadLinks))
    , m_downloaded(downloaded)
{
}

int VersionInfo::idForName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*v?(\\d{1,3})(?:\\.(\\d{1,3}))?(?:\\.(\\d{1,3}))?"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return -1;
    return match.captured(1).toInt() * 1000000 + match.captured(2).toInt() * 1000 + match.captured(3).toInt();
}

bool VersionInfo::operator==(const VersionInfo &other) const
{
    return m_id == other.m_id && m_name == other.m_name && m_downloadLinks == other.m_downloadLinks
        && m_downloaded == other.m_downloaded;
}
