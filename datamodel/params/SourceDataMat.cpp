#include "datamodel/params/SourceDataMat.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/log/Log.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <exception>
#include <string>

namespace kvr::tracker::common {

namespace {

const QString kData = QStringLiteral("data");
const char *const kNode = "data";

const QString kOpenFailed = QStringLiteral("File storage memory failed to be opened!");

// Element-wise equality that never throws: matrices of different size, type or channel count
// are different, multi-channel ones are compared channel by channel.
bool sameElements(const cv::Mat &a, const cv::Mat &b)
{
    if (a.empty() || b.empty() || a.size != b.size || a.type() != b.type())
        return false;
    try {
        const cv::Mat flatA = a.reshape(1, int(a.total()));
        const cv::Mat flatB = b.reshape(1, int(b.total()));
        return cv::countNonZero(flatA != flatB) == 0;
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace

SourceDataMat::SourceDataMat()
    : SourceData(1)
{
    registerRecordComparator<SourceDataMat>(Q_FUNC_INFO);
}

SourceDataMat::SourceDataMat(const cv::Mat &mat)
    : SourceData(1)
{
    registerRecordComparator<SourceDataMat>(Q_FUNC_INFO);
    setMat(mat);
}

SourceDataMat::SourceDataMat(const QVariant &data)
    : SourceData(1)
{
    registerRecordComparator<SourceDataMat>(Q_FUNC_INFO);
    setQVariantData(data);
}

cv::Mat SourceDataMat::getMat() const
{
    const QString text = value(kData).toString();
    if (text.isEmpty())
        return cv::Mat();
    // OpenCV throws on text it cannot parse (no document, an empty or mis-sized data node, an
    // unknown element type); a stored file must never take the caller down with it.
    try {
        cv::FileStorage storage(text.toStdString(), cv::FileStorage::READ | cv::FileStorage::MEMORY);
        if (!storage.isOpened()) {
            LOG_ERR(kOpenFailed);
            return cv::Mat();
        }
        cv::Mat mat;
        cv::read(storage[kNode], mat, cv::Mat());
        return mat;
    } catch (const std::exception &e) {
        LOG_ERR(QStringLiteral("Matrix could not be read: ") + QString::fromLocal8Bit(e.what()).simplified());
        return cv::Mat();
    }
}

void SourceDataMat::setMat(const cv::Mat &mat)
{
    std::string written;
    try {
        cv::FileStorage storage("file.json", cv::FileStorage::WRITE | cv::FileStorage::MEMORY);
        if (!storage.isOpened()) {
            LOG_ERR(kOpenFailed);
            return;
        }
        storage << kNode << mat;
        written = storage.releaseAndGetString();
    } catch (const std::exception &e) {
        LOG_ERR(QStringLiteral("Matrix could not be written: ") + QString::fromLocal8Bit(e.what()).simplified());
        return;
    }
    // Compact text: the matrix holds no strings with blanks, so every blank can go.
    QString text = QString::fromLatin1(written.data(), int(written.size())).simplified();
    text.remove(QLatin1Char(' '));
    setValue(kData, text);
}

bool SourceDataMat::isValid_impl(bool /*skipWrn*/) const
{
    return !value(kData).toString().isEmpty();
}

void SourceDataMat::read_impl(const QJsonObject &data, quint32 /*version*/, const SourceDataReadOptions & /*options*/)
{
    readIfPresent(data, kData, [this](const QJsonValue &value) {
        setValue(kData, QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    });
}

void SourceDataMat::write_impl(QJsonObject &data, const SourceDataWriteOptions & /*options*/) const
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(value(kData).toString().toUtf8(), &error);
    if (error.error != QJsonParseError::NoError) {
        LOG_ERR(QStringLiteral("JSON Error: ") + error.errorString());
        return;
    }
    data.insert(kData, document.object());
}

CompareResult SourceDataMat::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<SourceDataMat>(other);
    if (!otherSD)
        return c;
    c(sameElements(getMat(), otherSD->getMat()),
      "thisMat.empty() || otherMat.empty() ? false : cv::countNonZero(getMat() != otherSD->getMat()) == 0");
    return c;
}

} // namespace kvr::tracker::common
