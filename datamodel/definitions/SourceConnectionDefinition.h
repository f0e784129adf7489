#pragma once

#include "core/data/SourceData.h"
#include "datamodel/definitions/ConnectionParams.h"
#include "datamodel/definitions/SourceDefinition.h"

#include <memory>

namespace kvr::tracker::common {

// A source definition together with the connection to the node that serves it.
class SourceConnectionDefinition : public SourceData
{
    Q_GADGET
    Q_PROPERTY(kvr::tracker::common::ConnectionParams connectionParams READ getConnectionParams WRITE setConnectionParams)
    Q_PROPERTY(QVariant trackType READ getTrackType WRITE setTrackType)

public:
    SourceConnectionDefinition();

    // Built by the definition factory from the stored map on every call; never null (a base
    // definition of type Unknown when absent).
    std::shared_ptr<SourceDefinition> getSourceDefinition() const;
    void setSourceDefinition(const SourceDefinition &definition);
    ConnectionParams getConnectionParams() const;
    void setConnectionParams(const ConnectionParams &params);
    // "track_type", kept as the JSON gave it.
    QVariant getTrackType() const;
    void setTrackType(const QVariant &trackType);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceConnectionDefinition)
