#pragma once

#include "devices/rest/BaseData.h"

#include <QString>

namespace restservice {

// A "text/plain" body, decoded as UTF-8.
class DataQString : public BaseData
{
public:
    explicit DataQString(QString value = QString()) : data(std::move(value)) {}

    QString data;
};

} // namespace restservice
