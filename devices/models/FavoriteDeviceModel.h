#pragma once

#include "devices/entries/FavoriteDevice.h"
#include "devices/models/DeviceListModel.h"
#include "devices/models/FavoriteDeviceFile.h"
#include "devices/models/ListModelBase.h"

#include <QPersistentModelIndex>
#include <QStringList>
#include <QVector>

#include <utility>

// The saved connections (favourite devices) and their file. Also offers typed-ahead suggestions
// for the log-in address field, per-entry shortcuts and records the kind of block that answered.
// The model never saves by itself: the shell calls save(). GUI thread only.
class FavoriteDeviceModel : public ListModelBase<FavoriteDevice, DeviceListModel>
{
    Q_OBJECT
    Q_PROPERTY(FavoriteDevice currentDevice READ currentDevice WRITE setCurrentDevice)
    Q_PROPERTY(FavoriteDevice lastDevice READ lastDevice WRITE setLastDevice)
    Q_PROPERTY(QStringList suggestions READ suggestions WRITE setSuggestions NOTIFY suggestionsChanged)

public:
    enum DisplayRoles { TypeRole = 0, NameRole = 1, DeviceRole = 2 };
    Q_ENUM(DisplayRoles)

    explicit FavoriteDeviceModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role) const override;
    // Replaces a whole row from DeviceRole; anything else is refused.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QHash<int, QByteArray> roleNames() const override;

    // A missing or unreadable file leaves the model as it is (FavoriteDeviceFile).
    void load(const QString &path);
    // Writes atomically: a failed save leaves the old file whole and logs an error.
    bool save(const QString &path);

    Q_INVOKABLE FavoriteDevice createDevice(const QString &address = QString(), const QString &username = QString(),
                                            const QString &password = QString()) const;
    Q_INVOKABLE int addDevice(const FavoriteDevice &device);
    Q_INVOKABLE void removeDevice(const QModelIndex &index);
    Q_INVOKABLE void handleDevice(const QString &address, const QString &username, const QString &password, int kind);
    Q_INVOKABLE void updateSuggestions(const QString &text, bool force = false);
    Q_INVOKABLE void acceptSuggestion(int index);
    Q_INVOKABLE void acceptDevice(const QModelIndex &index);
    Q_INVOKABLE bool credentialsExist(const QString &address, const QString &username) const;
    Q_INVOKABLE QString parseAddress(const QString &pattern) const;
    Q_INVOKABLE QModelIndex deviceShortcut(Qt::Key key, Qt::KeyboardModifiers modifiers) const;
    Q_INVOKABLE bool checkShortcut(Qt::Key key, Qt::KeyboardModifiers modifiers) const;

    FavoriteDevice currentDevice() const { return m_currentDevice; }
    FavoriteDevice lastDevice() const { return m_lastDevice; }
    QStringList suggestions() const { return m_suggestions; }

    // The address-pattern rule: (address part, name part) of a typed address or suggestion text.
    std::pair<QString, QString> splitAddressPattern(const QString &pattern) const;

public slots:
    void setCurrentDevice(const FavoriteDevice &device = FavoriteDevice());
    void setLastDevice(const FavoriteDevice &device = FavoriteDevice());
    void setSuggestions(const QStringList &suggestions);

signals:
    void suggestionsChanged();

private:
    int m_lastId = 0;
    FavoriteDevice m_currentDevice;
    FavoriteDevice m_lastDevice;
    // Persistent so that a suggestion shown before a row was removed never names another row.
    QVector<QPersistentModelIndex> m_suggestionRows;
    QStringList m_suggestions;
    FavoriteDeviceFile m_file;
};
