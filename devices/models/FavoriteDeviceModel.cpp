#include "devices/models/FavoriteDeviceModel.h"

#include "core/log/Log.h"
#include "devices/entries/Configuration.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace {

const QLatin1String kConnections("connections");
// Suggestions read "address - name (user)"; only this separator splits a typed address, so a
// host name such as "block-01.local" stays whole.
const QLatin1String kSuggestionSeparator(" - ");

QString absolute(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

// One trailing ")" goes: a suggestion's name part ends with the user in parentheses.
QString cleanPiece(const QString &piece)
{
    QString cleaned = piece.trimmed();
    if (cleaned.endsWith(QLatin1Char(')'))) {
        cleaned.chop(1);
        cleaned = cleaned.trimmed();
    }
    return cleaned;
}

} // namespace

FavoriteDeviceModel::FavoriteDeviceModel(QObject *parent)
    : ListModelBase<FavoriteDevice>(parent)
{
    // Whoever changes the rows (own operations or the base's append/remove/clear), the count follows.
    auto syncCount = [this]() { setDataCount(rowCount()); };
    connect(this, &QAbstractItemModel::rowsInserted, this, syncCount);
    connect(this, &QAbstractItemModel::rowsRemoved, this, syncCount);
    connect(this, &QAbstractItemModel::modelReset, this, syncCount);
    // A stored index that moved or went away with its row is announced.
    connect(this, &QAbstractItemModel::rowsInserted, this, &FavoriteDeviceModel::announceStoredIndexes);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &FavoriteDeviceModel::announceStoredIndexes);
    connect(this, &QAbstractItemModel::rowsMoved, this, &FavoriteDeviceModel::announceStoredIndexes);
    connect(this, &QAbstractItemModel::modelReset, this, &FavoriteDeviceModel::announceStoredIndexes);
    connect(this, &QAbstractItemModel::layoutChanged, this, &FavoriteDeviceModel::announceStoredIndexes);
}

QVariant FavoriteDeviceModel::data(const QModelIndex &index, int role) const
{
    if (!isRow(index))
        return QVariant();
    const FavoriteDevice &device = m_items.at(index.row());
    switch (role) {
    case TypeRole:
        return device.type();
    case NameRole:
        return device.name();
    case DeviceRole:
        return QVariant::fromValue(device);
    default:
        return QVariant();
    }
}

bool FavoriteDeviceModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    // A value of another type would silently blank the row.
    if (!isRow(index) || role != DeviceRole || value.userType() != qMetaTypeId<FavoriteDevice>())
        return false;
    m_items[index.row()] = value.value<FavoriteDevice>();
    emit dataChanged(index, index, {DeviceRole});
    return true;
}

QHash<int, QByteArray> FavoriteDeviceModel::roleNames() const
{
    return {{TypeRole, "TypeRole"}, {NameRole, "NameRole"}, {DeviceRole, "DeviceRole"}};
}

void FavoriteDeviceModel::load(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return;
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
        return;
    }
    if (m_unreadablePath == absolute(path))
        m_unreadablePath.clear();

    clear();
    for (const QJsonValue &element : connections) {
        FavoriteDevice device;
        device.read(element.toObject());
        device.setId(++m_lastId);
        append(device);
    }
}

bool FavoriteDeviceModel::save(const QString &path)
{
    if (!m_unreadablePath.isEmpty() && m_unreadablePath == absolute(path) && !keepUnreadableCopy(path))
        return false;

    QJsonArray connections;
    for (const FavoriteDevice &device : qAsConst(m_items)) {
        QJsonObject object;
        device.write(object);
        connections.append(object);
    }
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

bool FavoriteDeviceModel::keepUnreadableCopy(const QString &path)
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

FavoriteDevice FavoriteDeviceModel::createDevice(const QString &address, const QString &username,
                                                 const QString &password) const
{
    return FavoriteDevice(address, username, password);
}

int FavoriteDeviceModel::addDevice(const FavoriteDevice &device)
{
    FavoriteDevice added = device;
    added.setId(++m_lastId);
    append(added);
    return added.id();
}

void FavoriteDeviceModel::removeDevice(const QModelIndex &index)
{
    remove(index);
}

void FavoriteDeviceModel::handleDevice(const QString &address, const QString &username, const QString &password,
                                       int kind)
{
    m_lastDevice.setType(kind);
    m_lastDevice.setDevice(deviceTypeToString(kind));
    const qulonglong now = qulonglong(QDateTime::currentMSecsSinceEpoch());
    for (int row = 0; row < m_items.size(); ++row) {
        FavoriteDevice &device = m_items[row];
        const QString host = device.address().section(QLatin1Char(':'), 0, 0);
        if (host != address || device.username() != username)
            continue;
        device.setType(kind);
        device.setDevice(deviceTypeToString(kind));
        device.setTimestamp(now);
        const QModelIndex changed = index(row, 0);
        emit dataChanged(changed, changed, {DeviceRole});
    }
    m_lastDevice.setAddress(address);
    m_lastDevice.setUsername(username);
    m_lastDevice.setPassword(password);
}

void FavoriteDeviceModel::updateSuggestions(const QString &text, bool force)
{
    const QString typed = text.toLower();
    m_suggestionRows.clear();
    QStringList list;
    if (!typed.isEmpty()) {
        for (int row = 0; row < m_items.size(); ++row) {
            const FavoriteDevice &device = m_items.at(row);
            const QString address = device.address().toLower();
            if (address.isEmpty())
                continue;
            if (!force && typed == address) {
                // An address typed in full needs no suggestions.
                list.clear();
                m_suggestionRows.clear();
                break;
            }
            if (address.contains(typed) || device.name().toLower().contains(typed)) {
                list.append(device.address() + kSuggestionSeparator + device.name() + QStringLiteral(" (")
                            + device.username() + QLatin1Char(')'));
                m_suggestionRows.append(QPersistentModelIndex(index(row, 0)));
            }
        }
    }
    setSuggestions(list);
}

void FavoriteDeviceModel::acceptSuggestion(int index)
{
    if (index < 0 || index >= m_suggestionRows.size() || !m_suggestionRows.at(index).isValid())
        return;
    acceptDevice(m_suggestionRows.at(index));
}

void FavoriteDeviceModel::acceptDevice(const QModelIndex &index)
{
    if (!isRow(index))
        return;
    const FavoriteDevice device = at(index);
    const QString password = device.remember() && !device.password().isEmpty() ? device.password() : QString();
    emit autoconnect(device.address(), device.username(), password, device.name());
}

std::pair<QString, QString> FavoriteDeviceModel::splitAddressPattern(const QString &pattern) const
{
    QStringList pieces;
    const int separator = pattern.indexOf(kSuggestionSeparator);
    const QStringList parts = separator < 0
        ? QStringList{pattern}
        : QStringList{pattern.left(separator), pattern.mid(separator + kSuggestionSeparator.size())};
    for (const QString &part : parts) {
        const QString cleaned = cleanPiece(part);
        if (!cleaned.isEmpty())
            pieces.append(cleaned);
    }

    if (pieces.size() == 2)
        return {pieces.at(0), pieces.at(1)};
    if (pieces.size() == 1) {
        for (const FavoriteDevice &device : m_items) {
            if (device.address() == pieces.at(0))
                return {device.address(), QString()};
            if (device.name() == pieces.at(0))
                return {device.address(), device.name()};
        }
    }
    return {pattern, QString()};
}

bool FavoriteDeviceModel::credentialsExist(const QString &address, const QString &username) const
{
    const auto [addressPart, namePart] = splitAddressPattern(address);
    for (const FavoriteDevice &device : m_items) {
        // An empty name part names nothing: it must not match every entry without a name.
        const bool sameDevice = device.address() == addressPart || (!namePart.isEmpty() && device.name() == namePart);
        if (sameDevice && device.username() == username)
            return true;
    }
    return false;
}

QString FavoriteDeviceModel::parseAddress(const QString &pattern) const
{
    return splitAddressPattern(pattern).first;
}

QModelIndex FavoriteDeviceModel::deviceShortcut(Qt::Key key, Qt::KeyboardModifiers modifiers) const
{
    // A shortcut needs a modifier: a bare key is what the user types.
    return findIndex([key, modifiers](const FavoriteDevice &device) {
        return device.key() != Qt::Key_unknown && device.modifiers() != Qt::NoModifier && device.key() == key
            && device.modifiers() == modifiers;
    });
}

bool FavoriteDeviceModel::checkShortcut(Qt::Key key, Qt::KeyboardModifiers modifiers) const
{
    return deviceShortcut(key, modifiers).isValid();
}

QString FavoriteDeviceModel::keyString(Qt::Key key, bool trim) const
{
    return FavoriteDevice::keyText(key, trim);
}

Qt::Key FavoriteDeviceModel::keyEnum(const QString &text) const
{
    return FavoriteDevice::keyFromString(text);
}

QString FavoriteDeviceModel::modifiersString(Qt::KeyboardModifiers modifiers, bool trim) const
{
    return FavoriteDevice::modifiersText(modifiers, trim);
}

Qt::KeyboardModifiers FavoriteDeviceModel::modifiersEnum(const QString &text) const
{
    return FavoriteDevice::modifiersFromString(text);
}

void FavoriteDeviceModel::setCurrentIndex(const QModelIndex &index)
{
    if (m_currentIndex.set(index))
        emit currentIndexChanged();
}

void FavoriteDeviceModel::setLoginIndex(const QModelIndex &index)
{
    if (m_loginIndex.set(index))
        emit loginIndexChanged();
}

void FavoriteDeviceModel::announceStoredIndexes()
{
    if (m_currentIndex.announce())
        emit currentIndexChanged();
    if (m_loginIndex.announce())
        emit loginIndexChanged();
}

void FavoriteDeviceModel::setCurrentDevice(const FavoriteDevice &device)
{
    m_currentDevice = device;
}

void FavoriteDeviceModel::setLastDevice(const FavoriteDevice &device)
{
    m_lastDevice = device;
}

void FavoriteDeviceModel::setPageFlag(bool flag)
{
    if (m_pageFlag == flag)
        return;
    m_pageFlag = flag;
    emit pageFlagChanged();
}

void FavoriteDeviceModel::setReconnectFlag(bool flag)
{
    if (m_reconnectFlag == flag)
        return;
    m_reconnectFlag = flag;
    emit reconnectFlagChanged();
}

void FavoriteDeviceModel::setDataCount(int count)
{
    if (m_dataCount == count)
        return;
    m_dataCount = count;
    emit dataCountChanged();
}

void FavoriteDeviceModel::setSuggestions(const QStringList &suggestions)
{
    if (m_suggestions == suggestions)
        return;
    m_suggestions = suggestions;
    emit suggestionsChanged();
}
