#pragma once

#include "devices/rest/BaseData.h"

#include <QJsonDocument>

namespace restservice {

// An "application/json" body; an empty body gives an empty document.
class DataQJsonDocument : public BaseData
{
public:
    explicit DataQJsonDocument(QJsonDocument value = QJsonDocument()) : data(std::move(value)) {}

    QJsonDocument data;
};

} // namespace restservice
