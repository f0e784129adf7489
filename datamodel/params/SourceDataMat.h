#pragma once

#include "core/data/SourceData.h"

#include <opencv2/core.hpp>

namespace kvr::tracker::common {

// One OpenCV matrix held as the compact JSON text of an OpenCV storage document (node "data"),
// so that it can live in a value map and travel in a QVariant. Never throws: text OpenCV cannot
// read gives an empty matrix and an error line.
class SourceDataMat : public SourceData
{
    Q_GADGET

public:
    SourceDataMat();
    explicit SourceDataMat(const cv::Mat &mat);
    // The default record given the value map the variant holds.
    explicit SourceDataMat(const QVariant &data);

    // Parsed anew on every call; empty when there is no text or it cannot be read.
    cv::Mat getMat() const;
    // Keeps the previous text when the matrix cannot be written.
    void setMat(const cv::Mat &mat);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDataMat)
