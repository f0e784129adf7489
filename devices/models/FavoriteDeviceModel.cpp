#include "devices/models/FavoriteDeviceModel.h"

#include "core/property/AssignProperty.h"
#include "devices/entries/Configuration.h"
#include "devices/models/AddressPattern.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>

FavoriteDeviceModel::FavoriteDeviceModel(QObject *parent)
    : ListModelBase<FavoriteDevice, DeviceListModel>(parent)
{
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
    const std::optional<QJsonArray> connections = m_file.read(path);
    if (!connections)
        return;
    clear();
    for (const QJsonValue &element : *connections) {
        FavoriteDevice device;
        device.read(element.toObject());
        device.setId(++m_lastId);
        append(device);
    }
}

bool FavoriteDeviceModel::save(const QString &path)
{
    QJsonArray connections;
    for (const FavoriteDevice &device : qAsConst(m_items)) {
        QJsonObject object;
        device.write(object);
        connections.append(object);
    }
    return m_file.write(path, connections);
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
                list.append(device.address() + AddressPattern::Separator + device.name() + QStringLiteral(" (")
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
    const QStringList pieces = AddressPattern::pieces(pattern, AddressPattern::Cut::AtFirstSeparator);
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

void FavoriteDeviceModel::setCurrentDevice(const FavoriteDevice &device)
{
    m_currentDevice = device;
}

void FavoriteDeviceModel::setLastDevice(const FavoriteDevice &device)
{
    m_lastDevice = device;
}

void FavoriteDeviceModel::setSuggestions(const QStringList &suggestions)
{
    assignProperty(this, m_suggestions, suggestions, &FavoriteDeviceModel::suggestionsChanged);
}
