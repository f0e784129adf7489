#include "devices/models/FavoriteDeviceFile.h"

#include "core/log/Log.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

const QLatin1String kConnections("connections");

QString absolute(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

std::optional<QJsonArray> FavoriteDeviceFile::read(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return std::nullopt;
    QString problem;
    QJsonArray connections;
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
    } else {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
        const QJsonValue value = document.object().value(kConnections);
        if (error.error != QJsonParseError::NoError)
            problem = error.errorString();
        else if (!value.isArray())
            problem = QStringLiteral("no \"connections\" array");
        else
            connections = value.toArray();
    }
    if (!problem.isEmpty()) {
        m_unreadablePath = absolute(path);
        LOG_WRN(QStringLiteral("[SETTINGS] Favourite devices file %1 cannot be read (%2). The list is left as it was; "
                               "the file will be copied aside before it is saved again.").arg(path, problem));
        return std::nullopt;
    }
    if (m_unreadablePath == absolute(path))
        m_unreadablePath.clear();
    return connections;
}

bool FavoriteDeviceFile::write(const QString &path, const QJsonArray &connections)
{
    if (!m_unreadablePath.isEmpty() && m_unreadablePath == absolute(path) && !keepUnreadableCopy(path))
        return false;

    const QByteArray content = QJsonDocument(QJsonObject{{kConnections, connections}}).toJson(QJsonDocument::Indented);

    // Unbuffered: a buffered QSaveFile takes a short write (full disk, size limit) as success
    // and commits a cut-off file; written directly, the short count shows.
    QSaveFile file(path);
    QString problem;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        problem = file.errorString();
    } else {
        const qint64 written = file.write(content);
        if (written != content.size())
            problem = QStringLiteral("only %1 of %2 bytes written").arg(qMax<qint64>(written, 0)).arg(content.size());
        else if (!file.commit())
            problem = file.errorString();
    }
    if (!problem.isEmpty()) {
        file.cancelWriting();
        LOG_ERR(QStringLiteral("[ERROR] Failed to save favourite devices to %1: %2").arg(path, problem));
        return false;
    }
    return true;
}

bool FavoriteDeviceFile::keepUnreadableCopy(const QString &path)
{
    if (!QFile::exists(path)) {
        m_unreadablePath.clear();
        return true;
    }
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-hhmmsszzz"));
    QString copy = path + QStringLiteral(".unreadable-") + stamp;
    for (int n = 1; QFile::exists(copy); ++n)
        copy = path + QStringLiteral(".unreadable-") + stamp + QLatin1Char('-') + QString::number(n);
    if (!QFile::copy(path, copy)) {
        LOG_ERR(QStringLiteral("[ERROR] Favourite devices not saved: the unreadable file %1 could not be copied to %2.")
                    .arg(path, copy));
        return false;
    }
    LOG_WRN(QStringLiteral("[SETTINGS] The unreadable favourite devices file was kept as %1.").arg(copy));
    m_unreadablePath.clear();
    return true;
}
