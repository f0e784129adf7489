#pragma once

#include "core/data/SourceData.h"

namespace kvr::tracker::common {

// Address and TCP port of the node that serves a source ("connection_params").
class ConnectionParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QString address READ getAddress WRITE setAddress)
    Q_PROPERTY(quint16 port READ getPort WRITE setPort)

public:
    ConnectionParams();

    QString getAddress() const; // "127.0.0.1" when absent
    void setAddress(const QString &address);
    // 5556 when absent; 0 (invalid) when the stored number is no port at all.
    quint16 getPort() const;
    void setPort(quint16 port);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::ConnectionParams)
