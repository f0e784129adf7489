#pragma once

#include <QJsonObject>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUrl>

// The reported state of one external field device: operational mode, map position and phases.
class XDevState
{
    Q_GADGET
    Q_PROPERTY(qint64 timestamp MEMBER timestamp)
    Q_PROPERTY(QString operationalMode MEMBER operationalMode)
    Q_PROPERTY(QString operationalModeDescription MEMBER operationalModeDescription)
    Q_PROPERTY(double lat MEMBER lat)
    Q_PROPERTY(double lon MEMBER lon)
    Q_PROPERTY(QList<QString> phaseIds MEMBER phaseIds)
    Q_PROPERTY(QList<QString> phaseNames MEMBER phaseNames)
    Q_PROPERTY(QList<int> phaseStatuses MEMBER phaseStatuses)
    Q_PROPERTY(QUrl mapViewUrl MEMBER mapViewUrl)
    Q_PROPERTY(QUrl phasesViewUrl MEMBER phasesViewUrl)

public:
    // Always true. "timestamp" is a text of decimal digits (a number reads as 0); the phase
    // lists are appended to, not replaced.
    bool read(const QJsonObject &json);
    QJsonObject write() const;

    bool operator==(const XDevState &other) const;
    bool operator!=(const XDevState &other) const { return !(*this == other); }

    qint64 timestamp = 0;
    QString operationalMode;
    QString operationalModeDescription;
    double lat = 0.0; // degrees
    double lon = 0.0; // degrees
    QList<QString> phaseIds;
    QList<QString> phaseNames;
    QList<int> phaseStatuses;
    QUrl mapViewUrl;
    QUrl phasesViewUrl;
};

Q_DECLARE_METATYPE(XDevState)
