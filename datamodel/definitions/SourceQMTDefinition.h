#pragma once

#include "datamodel/definitions/SourceDefinition.h"

namespace kvr::tracker::common {

// A recorded log file played back as a source.
class SourceQMTDefinition : public SourceDefinition
{
    Q_GADGET

public:
    SourceQMTDefinition();

    QString getLogFilePath() const;
    void setLogFilePath(const QString &path);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceQMTDefinition)
