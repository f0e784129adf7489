#pragma once

#include "observation/status/CMClientInfoWrapper.h"

#include <QJsonObject>
#include <QObject>
#include <QString>

// The runtime status of one camera ("camera_info" of the cameras poll): its connection texts,
// its source's client state and whether it reports usable PTZ coordinates.
class SourceInfo : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString connectionString READ connectionString NOTIFY connectionStringChanged)
    Q_PROPERTY(QString onvifConnectionString READ onvifConnectionString NOTIFY onvifConnectionStringChanged)
    Q_PROPERTY(CMClientInfoWrapper *cmClientInfo READ cmClientInfo CONSTANT)
    Q_PROPERTY(bool PTZCoordsEmpty READ PTZCoordsEmpty NOTIFY PTZCoordsEmptyChanged)

public:
    explicit SourceInfo(QObject *parent = nullptr);

    QString connectionString() const { return m_connectionString; }
    QString onvifConnectionString() const { return m_onvifConnectionString; }
    // The member object; it lives as long as this one.
    CMClientInfoWrapper *cmClientInfo() { return &m_cmClientInfo; }
    bool PTZCoordsEmpty() const { return m_PTZCoordsEmpty; }

    // Each part that changed signals on its own, on this object or on cmClientInfo.
    void read(const QJsonObject &object);

public slots:
    void setConnectionString(QString connectionString);
    void setOnvifConnectionString(QString onvifConnectionString);
    void setCMClientInfo(kvr::CMClientInfo cmClientInfo);

signals:
    void connectionStringChanged(QString cstring);
    void onvifConnectionStringChanged(QString ocstring);
    void PTZCoordsEmptyChanged(bool PTZCoordsEmpty);

private slots:
    void updatePTZCoordsEmpty();

private:
    QString m_connectionString;
    QString m_onvifConnectionString;
    CMClientInfoWrapper m_cmClientInfo;
    bool m_PTZCoordsEmpty = true;
};
