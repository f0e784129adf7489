#include "datamodel/params/SourceDefinitionCameraParams.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"

#include <QJsonObject>

namespace kvr::tracker::common {

namespace {

const QString kFrameSize = QStringLiteral("frame_size");
const QString kCameraMat = QStringLiteral("camera_mat");
const QString kNewCameraMat = QStringLiteral("new_camera_mat");
const QString kDistortionCoeffs = QStringLiteral("distortion_coeffs");

cv::Mat normalisedCameraMatrix()
{
    cv::Mat mat = cv::Mat::zeros(3, 3, CV_64FC1);
    mat.at<double>(0, 0) = 0.5;
    mat.at<double>(0, 2) = 0.5;
    mat.at<double>(1, 1) = 0.5;
    mat.at<double>(1, 2) = 0.5;
    mat.at<double>(2, 2) = 1.0;
    return mat;
}

// Width and height as QVariant converts them: numbers and numeric texts, anything else 0.
QSize frameSizeFromJson(const QJsonValue &value)
{
    const QJsonObject object = value.toObject();
    QSize size;
    size.setWidth(object.value(QLatin1String("width")).toVariant().toInt());
    size.setHeight(object.value(QLatin1String("height")).toVariant().toInt());
    return size;
}

// The stored map as a matrix record, or nothing when there is no map or it is empty.
bool storedMat(const QVariant &stored, SourceDataMat &mat)
{
    if (!stored.isValid() || stored.toMap().isEmpty())
        return false;
    mat.setQVariantData(stored);
    return true;
}

bool hasShape(const SourceDataMat &tmpSrcMat, int rows, int cols, bool skipWrn)
{
    if (!tmpSrcMat.isValid(skipWrn))
        return false;
    const cv::Mat tmpMat = tmpSrcMat.getMat();
    return tmpMat.size() == cv::Size(cols, rows) && tmpMat.type() == CV_64FC1;
}

} // namespace

SourceDefinitionCameraParams::SourceDefinitionCameraParams()
    : SourceData(1)
{
    registerRecordComparator<SourceDefinitionCameraParams>(Q_FUNC_INFO);
}

SourceDataMat SourceDefinitionCameraParams::getCameraMat() const
{
    SourceDataMat mat;
    return storedMat(value(kCameraMat), mat) ? mat : SourceDataMat(normalisedCameraMatrix());
}

void SourceDefinitionCameraParams::setCameraMat(const SourceDataMat &mat) { setRecord(kCameraMat, mat); }

SourceDataMat SourceDefinitionCameraParams::getNewCameraMat() const
{
    SourceDataMat mat;
    return storedMat(value(kNewCameraMat), mat) ? mat : getCameraMat();
}

void SourceDefinitionCameraParams::setNewCameraMat(const SourceDataMat &mat) { setRecord(kNewCameraMat, mat); }

SourceDataMat SourceDefinitionCameraParams::getDistortionCoefficients() const
{
    SourceDataMat mat;
    return storedMat(value(kDistortionCoeffs), mat) ? mat : SourceDataMat(cv::Mat::zeros(14, 1, CV_64FC1));
}

void SourceDefinitionCameraParams::setDistortionCoefficients(const SourceDataMat &mat)
{
    setRecord(kDistortionCoeffs, mat);
}

QSize SourceDefinitionCameraParams::getFrameSize() const { return valueAs<QSize>(kFrameSize, QSize()); }
void SourceDefinitionCameraParams::setFrameSize(const QSize &frameSize) { setValue(kFrameSize, frameSize); }

bool SourceDefinitionCameraParams::defaultEnabled() const
{
    return false;
}

bool SourceDefinitionCameraParams::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(hasShape(getCameraMat(), 3, 3, skipWrn),
             "tmpSrcMat.isValid(skipWrn) && tmpMat.size() == cv::Size(3,3) && tmpMat.type() == CV_64FC1")
        && v(hasShape(getNewCameraMat(), 3, 3, skipWrn),
             "tmpSrcMat.isValid(skipWrn) && tmpMat.size() == cv::Size(3,3) && tmpMat.type() == CV_64FC1")
        && v(hasShape(getDistortionCoefficients(), 14, 1, skipWrn),
             "tmpSrcMat.isValid(skipWrn) && tmpMat.size() == cv::Size(1,14) && tmpMat.type() == CV_64FC1");
}

void SourceDefinitionCameraParams::read_impl(const QJsonObject &data, quint32 /*version*/,
                                             const SourceDataReadOptions &options)
{
    readIfPresent(data, kFrameSize, [this](const QJsonValue &value) { setFrameSize(frameSizeFromJson(value)); });
    readRecord<SourceDataMat>(data, kCameraMat, options);
    readRecord<SourceDataMat>(data, kNewCameraMat, options);
    readRecord<SourceDataMat>(data, kDistortionCoeffs, options);
}

void SourceDefinitionCameraParams::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    if (contains(kFrameSize)) {
        const QSize size = getFrameSize();
        data.insert(kFrameSize, QJsonObject{{QStringLiteral("width"), size.width()},
                                            {QStringLiteral("height"), size.height()}});
    }
    // Through the getters: a key held with an empty map is written with its default matrix.
    if (contains(kCameraMat))
        data.insert(kCameraMat, getCameraMat().toJsonObject(options));
    if (contains(kNewCameraMat))
        data.insert(kNewCameraMat, getNewCameraMat().toJsonObject(options));
    if (contains(kDistortionCoeffs))
        data.insert(kDistortionCoeffs, getDistortionCoefficients().toJsonObject(options));
}

CompareResult SourceDefinitionCameraParams::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (c.disabledAsDefault(*this, other))
        return c;
    const auto *otherSD = c.sameClass<SourceDefinitionCameraParams>(other);
    if (!otherSD)
        return c;
    c(getCameraMat().compare(otherSD->getCameraMat(), params),
      "getCameraMat().compare(otherSD->getCameraMat(), compareParams)")
        && c(getNewCameraMat().compare(otherSD->getNewCameraMat(), params),
             "getNewCameraMat().compare(otherSD->getNewCameraMat(), compareParams)")
        && c(getDistortionCoefficients().compare(otherSD->getDistortionCoefficients(), params),
             "getDistortionCoefficients().compare(otherSD->getDistortionCoefficients(), compareParams)");
    return c;
}

} // namespace kvr::tracker::common
