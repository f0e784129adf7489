#pragma once

#include "devices/entries/FavoriteDevice.h"
#include "devices/models/ListModelBase.h"
#include "devices/models/TrackedIndex.h"

#include <QPersistentModelIndex>
#include <QStringList>

#include <utility>

// The saved connections (favourite devices) and their file. Also offers typed-ahead suggestions
// for the log-in address field, per-entry shortcuts and records the kind of block that answered.
// The model never saves by itself: the shell calls save(). GUI thread only.
class FavoriteDeviceModel : public ListModelBase<FavoriteDevice>
{
    Q_OBJECT
    Q_PROPERTY(QModelIndex currentIndex READ currentIndex WRITE setCurrentIndex NOTIFY currentIndexChanged)
    Q_PROPERTY(QModelIndex loginIndex READ loginIndex WRITE setLoginIndex NOTIFY loginIndexChanged)
    Q_PROPERTY(FavoriteDevice currentDevice READ currentDevice WRITE setCurrentDevice)
    Q_PROPERTY(FavoriteDevice lastDevice READ lastDevice WRITE setLastDevice)
    Q_PROPERTY(bool pageFlag READ pageFlag WRITE setPageFlag NOTIFY pageFlagChanged)
    Q_PROPERTY(bool reconnectFlag READ reconnectFlag WRITE setReconnectFlag NOTIFY reconnectFlagChanged)
    Q_PROPERTY(int dataCount READ dataCount WRITE setDataCount NOTIFY dataCountChanged)
    Q_PROPERTY(QStringList suggestions READ suggestions WRITE setSuggestions NOTIFY suggestionsChanged)

public:
    enum DisplayRoles { TypeRole = 0, NameRole = 1, DeviceRole = 2 };
    Q_ENUM(DisplayRoles)

    explicit FavoriteDeviceModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role) const override;
    // Replaces a whole row from DeviceRole; anything else is refused.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QHash<int, QByteArray> roleNames() const override;

    // A missing file leaves the model as it is. A file that exists but cannot be read is
    // logged and copied aside before the next save() to that path replaces it.
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
    Q_INVOKABLE QString keyString(Qt::Key key, bool trim = false) const;
    Q_INVOKABLE Qt::Key keyEnum(const QString &text) const;
    Q_INVOKABLE QString modifiersString(Qt::KeyboardModifiers modifiers, bool trim = false) const;
    Q_INVOKABLE Qt::KeyboardModifiers modifiersEnum(const QString &text) const;

    QModelIndex currentIndex() const { return m_currentIndex.index(); }
    QModelIndex loginIndex() const { return m_loginIndex.index(); }
    FavoriteDevice currentDevice() const { return m_currentDevice; }
    FavoriteDevice lastDevice() const { return m_lastDevice; }
    bool pageFlag() const { return m_pageFlag; }
    bool reconnectFlag() const { return m_reconnectFlag; }
    int dataCount() const { return m_dataCount; }
    QStringList suggestions() const { return m_suggestions; }

    // The address-pattern rule: (address part, name part) of a typed address or suggestion text.
    std::pair<QString, QString> splitAddressPattern(const QString &pattern) const;

public slots:
    void setCurrentIndex(const QModelIndex &index = QModelIndex());
    void setLoginIndex(const QModelIndex &index = QModelIndex());
    void setCurrentDevice(const FavoriteDevice &device = FavoriteDevice());
    void setLastDevice(const FavoriteDevice &device = FavoriteDevice());
    void setPageFlag(bool flag);
    void setReconnectFlag(bool flag);
    void setDataCount(int count);
    void setSuggestions(const QStringList &suggestions);

signals:
    void currentIndexChanged();
    void loginIndexChanged();
    void pageFlagChanged();
    void reconnectFlagChanged();
    void dataCountChanged();
    void suggestionsChanged();
    // The model emits the four-argument form; `device` carries the entry's name.
    void autoconnect(const QString &address, const QString &username = QString(), const QString &password = QString(),
                     const QString &device = QString());

private:
    void announceStoredIndexes();
    bool keepUnreadableCopy(const QString &path);

    int m_lastId = 0;
    // Persistent: rows come and go while QML keeps its choice (an entry is removed, a service
    // leaves); a stored index follows its row or becomes invalid with it, never naming another.
    TrackedIndex m_currentIndex;
    TrackedIndex m_loginIndex;
    // What QML was last told, to announce a stored index that moved or went away.
    FavoriteDevice m_currentDevice;
    FavoriteDevice m_lastDevice;
    bool m_pageFlag = false;
    bool m_reconnectFlag = false;
    int m_dataCount = 0;
    // Persistent so that a suggestion shown before a row was removed never names another row.
    QVector<QPersistentModelIndex> m_suggestionRows;
    QStringList m_suggestions;
    // A file that load() could not read; copied aside before save() replaces it.
    QString m_unreadablePath;
};
