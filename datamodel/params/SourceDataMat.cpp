#include "datamodel/params/SourceDataMat.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/log/Log.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QRegularExpression>

#include <exception>
#include <string>

namespace kvr::tracker::common {

namespace {

const QString kData = QStringLiteral("data");
const char *const kNode = "data";

const QString kOpenFailed = QStringLiteral("File storage memory failed to be opened!");

// OpenCV sizes a matrix from its header and allocates it before it reads a single element, so
// stored text could make it ask for any amount of memory. Far above any calibration matrix.
constexpr qint64 kMaxElements = qint64(1) << 22;
constexpr int kMaxDimensions = 32; // OpenCV's own limit

// Channels of an OpenCV element format ("d", "3u"); 0 for a format OpenCV would not size.
int formatChannels(const QString &format)
{
    static const QRegularExpression simple(QStringLiteral("^([1-9][0-9]{0,2})?[ucwsifdh]$"));
    const QRegularExpressionMatch match = simple.match(format);
    if (!match.hasMatch())
        return 0;
    const int channels = match.captured(1).isEmpty() ? 1 : match.captured(1).toInt();
    return channels <= CV_CN_MAX ? channels : 0;
}

// A matrix dimension as OpenCV would size it: a whole number, not negative.
bool readDimension(const QJsonValue &value, qint64 &dimension)
{
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number < 0 || number > double(kMaxElements) || number != double(qint64(number)))
        return false;
    dimension = qint64(number);
    return true;
}

// Why OpenCV must not be handed the stored text; empty when its header agrees with its data
// and stays within the bound.
QString sizeProblem(const QString &text)
{
    // OpenCV writes NaN and infinities as bare words that are not JSON; they count as numbers.
    static const QRegularExpression special(QStringLiteral("\\.(Nan|Inf)\\b"));
    QString json = text;
    json.replace(special, QStringLiteral("0"));
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError)
        return QStringLiteral("the text is not a matrix document (%1)").arg(error.errorString());
    const QJsonValue node = document.object().value(kData);
    if (node.isUndefined())
        return QString(); // no matrix: OpenCV gives the empty default
    const QJsonObject header = node.toObject();
    const int channels = formatChannels(header.value(QStringLiteral("dt")).toString());
    if (channels == 0)
        return QStringLiteral("unknown element type");

    QJsonArray dimensions;
    if (header.contains(QStringLiteral("sizes"))) {
        dimensions = header.value(QStringLiteral("sizes")).toArray();
        if (dimensions.isEmpty() || dimensions.size() > kMaxDimensions)
            return QStringLiteral("bad number of dimensions");
    } else {
        dimensions = {header.value(QStringLiteral("rows")), header.value(QStringLiteral("cols"))};
    }
    qint64 elements = channels;
    for (const QJsonValue &value : qAsConst(dimensions)) {
        qint64 dimension = 0;
        if (!readDimension(value, dimension))
            return QStringLiteral("bad dimension");
        elements *= dimension;
        if (elements > kMaxElements)
            return QStringLiteral("more than %1 elements declared").arg(kMaxElements);
    }
    const QJsonValue data = header.value(kData);
    if (!data.isArray() || data.toArray().size() != elements)
        return QStringLiteral("%1 elements declared, %2 given")
            .arg(elements)
            .arg(data.isArray() ? data.toArray().size() : 0);
    return QString();
}

void logUnreadable(const QString &reason, const char *function)
{
    KVR_LOG_AT(::kvr::log::ERR, ::kvr::log::functionName(function), QStringLiteral("Matrix could not be read: ") + reason);
}

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
    const QString problem = sizeProblem(text);
    if (!problem.isEmpty()) {
        logUnreadable(problem, Q_FUNC_INFO);
        return cv::Mat();
    }
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
        logUnreadable(QString::fromLocal8Bit(e.what()).simplified(), Q_FUNC_INFO);
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
