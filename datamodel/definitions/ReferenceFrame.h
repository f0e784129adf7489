#pragma once

#include "core/data/SourceData.h"
#include "core/data/SourceTimestamp.h"

#include <QByteArray>
#include <QSize>

namespace kvr::tracker::common {

// The reference image of a source's scene with its signature, size and time stamp. The encoded
// image is heavy data: left out, Base64 in the JSON, or the file "reference_frame.png" in the
// record's heavy-data directory, by the write mode. The bytes are never decoded here.
class ReferenceFrame : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QString imageSignature READ getImageSignature WRITE setImageSignature)
    Q_PROPERTY(kvr::tracker::common::SourceTimestamp imageTimestamp READ getImageTimestamp WRITE setImageTimestamp)

public:
    ReferenceFrame();

    // Width and height -1 when absent.
    QSize getImageSize() const;
    // Both setters warn (unless noWarning) that held image data may no longer match.
    void setImageSize(const QSize &size, bool noWarning = false);
    QString getImageSignature() const;
    void setImageSignature(const QString &signature, bool noWarning = false);
    SourceTimestamp getImageTimestamp() const;
    void setImageTimestamp(const SourceTimestamp &timestamp);
    QByteArray getImageData() const;

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;

private:
    void warnIfImageData(bool noWarning) const;
    void readImageFile(const QString &directory);
    void writeImageFile(const QString &directory) const;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::ReferenceFrame)
