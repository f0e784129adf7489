#pragma once

#include <QSharedData>

namespace restservice {

// Base of the payload classes of a reply body; shared explicitly between copies of a record.
class BaseData : public QSharedData
{
public:
    BaseData() = default;
    BaseData(const BaseData &) = default;
    virtual ~BaseData();
};

} // namespace restservice
