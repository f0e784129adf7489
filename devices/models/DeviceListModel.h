#pragma once

#include "devices/models/TrackedIndex.h"

#include <QAbstractListModel>
#include <QString>

// The state QML keeps on a device list (current and log-in row, page and reconnect flags, the
// row count) and the shortcut key texts, shared by the favourite and the discovered devices.
// The models only store and signal this state. GUI thread only.
class DeviceListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(QModelIndex currentIndex READ currentIndex WRITE setCurrentIndex NOTIFY currentIndexChanged)
    Q_PROPERTY(QModelIndex loginIndex READ loginIndex WRITE setLoginIndex NOTIFY loginIndexChanged)
    Q_PROPERTY(bool pageFlag READ pageFlag WRITE setPageFlag NOTIFY pageFlagChanged)
    Q_PROPERTY(bool reconnectFlag READ reconnectFlag WRITE setReconnectFlag NOTIFY reconnectFlagChanged)
    Q_PROPERTY(int dataCount READ dataCount WRITE setDataCount NOTIFY dataCountChanged)

public:
    explicit DeviceListModel(QObject *parent = nullptr);

    Q_INVOKABLE QString keyString(Qt::Key key, bool trim = false) const;
    Q_INVOKABLE Qt::Key keyEnum(const QString &text) const;
    Q_INVOKABLE QString modifiersString(Qt::KeyboardModifiers modifiers, bool trim = false) const;
    Q_INVOKABLE Qt::KeyboardModifiers modifiersEnum(const QString &text) const;

    QModelIndex currentIndex() const { return m_currentIndex.index(); }
    QModelIndex loginIndex() const { return m_loginIndex.index(); }
    bool pageFlag() const { return m_pageFlag; }
    bool reconnectFlag() const { return m_reconnectFlag; }
    int dataCount() const { return m_dataCount; }

public slots:
    void setCurrentIndex(const QModelIndex &index = QModelIndex());
    void setLoginIndex(const QModelIndex &index = QModelIndex());
    void setPageFlag(bool flag);
    void setReconnectFlag(bool flag);
    void setDataCount(int count);

signals:
    void currentIndexChanged();
    void loginIndexChanged();
    void pageFlagChanged();
    void reconnectFlagChanged();
    void dataCountChanged();
    // The models emit the four-argument form; `device` carries the row's name.
    void autoconnect(const QString &address, const QString &username = QString(), const QString &password = QString(),
                     const QString &device = QString());

private:
    void announceStoredIndexes();

    // Persistent: rows come and go while QML keeps its choice (an entry is removed, a service
    // leaves); a stored index follows its row or becomes invalid with it, never naming another.
    TrackedIndex m_currentIndex;
    TrackedIndex m_loginIndex;
    bool m_pageFlag = false;
    bool m_reconnectFlag = false;
    int m_dataCount = 0;
};
