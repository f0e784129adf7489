#pragma once

#include "devices/rest/BaseData.h"

#include <QByteArray>

namespace restservice {

// An "application/zip" body, kept as it came.
class DataQByteArray : public BaseData
{
public:
    explicit DataQByteArray(QByteArray value = QByteArray()) : data(std::move(value)) {}

    QByteArray data;
};

} // namespace restservice
