#pragma once

#include "observation/settings/ClientGlobal.h"

#include <QMetaType>
#include <QString>

// One named entry of a settings section, matched against the page's search text.
class SourceSettingsProxy
{
    Q_GADGET

public:
    int section = kvr::QMTClient::UnknownSection; // a SourceSettingsSection
    QString name;
    bool enabled = false;
};

Q_DECLARE_METATYPE(SourceSettingsProxy)
