#include "datamodel/definitions/ReferenceFrame.h"

#include "core/data/CompareChain.h"
#include "core/data/JsonGeometry.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"
#include "core/log/Log.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace kvr::tracker::common {

namespace {

const QString kImageSize = QStringLiteral("image_size");
const QString kImageSignature = QStringLiteral("image_signature");
const QString kSourceTimestamp = QStringLiteral("source_timestamp");
const QString kImageData = QStringLiteral("image_data");
const QString kImageFileName = QStringLiteral("reference_frame.png");

} // namespace

ReferenceFrame::ReferenceFrame()
    : SourceData(1)
{
    registerRecordComparator<ReferenceFrame>(Q_FUNC_INFO);
}

QSize ReferenceFrame::getImageSize() const { return valueAs<QSize>(kImageSize); }
QString ReferenceFrame::getImageSignature() const { return valueAs<QString>(kImageSignature); }
SourceTimestamp ReferenceFrame::getImageTimestamp() const { return getRecord<SourceTimestamp>(kSourceTimestamp); }
void ReferenceFrame::setImageTimestamp(const SourceTimestamp &timestamp) { setRecord(kSourceTimestamp, timestamp); }
QByteArray ReferenceFrame::getImageData() const { return valueAs<QByteArray>(kImageData); }

void ReferenceFrame::setImageSize(const QSize &size, bool noWarning)
{
    setValue(kImageSize, size);
    warnIfImageData(noWarning);
}

void ReferenceFrame::setImageSignature(const QString &signature, bool noWarning)
{
    setValue(kImageSignature, signature);
    warnIfImageData(noWarning);
}

void ReferenceFrame::warnIfImageData(bool noWarning) const
{
    if (!noWarning && contains(kImageData))
        LOG_WRN(QStringLiteral("Image data not empty! New stab. image signature might invalidate existing stab. image data..."));
}

bool ReferenceFrame::isValid_impl(bool skipWrn) const
{
    if (!getEnabled())
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    return v(getImageTimestamp().isValid(skipWrn), "getImageTimestamp().isValid(skipWrn)")
        && v(!getImageSignature().isEmpty(), "!getImageSignature().isEmpty()")
        && v(!getImageSize().isEmpty(), "!getImageSize().isEmpty()");
}

void ReferenceFrame::read_impl(const QJsonObject &data, quint32 /*version*/, const SourceDataReadOptions &options)
{
    const auto size = data.constFind(kImageSize);
    if (size != data.constEnd())
        setImageSize(sizeFromJson(size.value()));
    const auto signature = data.constFind(kImageSignature);
    if (signature != data.constEnd())
        setImageSignature(signature.value().toString());
    readRecord<SourceTimestamp>(data, kSourceTimestamp, options);
    const auto image = data.constFind(kImageData);
    if (image != data.constEnd())
        setValue(kImageData, QByteArray::fromBase64(image.value().toString().toLatin1()));
    // The base hands the resolved directory over only when heavy data is asked for.
    if (options.heavyData && !options.heavyDataPathPrefix.isEmpty())
        readImageFile(options.heavyDataPathPrefix);
}

void ReferenceFrame::readImageFile(const QString &directory)
{
    QFile file(QDir(directory).absoluteFilePath(kImageFileName));
    if (!file.open(QIODevice::ReadOnly)) {
        LOG_WRN(QStringLiteral("Could not open heavy data file (%1)!").arg(file.fileName()));
        return;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) {
        LOG_ERR(QStringLiteral("Heavy data from file are empty (%1)!").arg(file.fileName()));
        return;
    }
    if (!getImageData().isEmpty())
        LOG_WRN(QStringLiteral("Heavy data loaded from json and file. Using data from file only."));
    setValue(kImageData, bytes);
}

void ReferenceFrame::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    if (contains(kImageSize))
        data.insert(kImageSize, sizeToJson(getImageSize()));
    writeField(data, kImageSignature);
    writeRecord<SourceTimestamp>(data, kSourceTimestamp, options);
    if (!contains(kImageData))
        return;
    switch (options.writeMode) {
    case WriteMode::Reduced:
        break;
    case WriteMode::HeavyDataToJson:
        data.insert(kImageData, QString::fromLatin1(getImageData().toBase64()));
        break;
    case WriteMode::HeavyDataToFile:
        writeImageFile(options.heavyDataPathPrefix);
        break;
    }
}

// QSaveFile writes beside the target and renames over it only after everything was written, so
// a committed image is replaced atomically and never lost when a step fails.
void ReferenceFrame::writeImageFile(const QString &directory) const
{
    if (directory.isEmpty()) {
        LOG_WRN(QStringLiteral("Heavy data to file requested but no path specified!"));
        return;
    }
    const QString absolutePath = QDir(directory).absolutePath();
    if (!QDir().mkpath(absolutePath)) {
        LOG_ERR(QStringLiteral("Could not create the directory path for heavy data (%1)!").arg(absolutePath));
        return;
    }
    QSaveFile file(QDir(absolutePath).absoluteFilePath(kImageFileName));
    // Unbuffered: a buffered write reports success and a short flush at commit goes unnoticed,
    // which would commit a truncated image.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        LOG_ERR(QStringLiteral("Could not open the heavy data file for writing (%1)!").arg(file.fileName()));
        return;
    }
    const QByteArray bytes = getImageData();
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        file.cancelWriting();
        LOG_ERR(QStringLiteral("Failed to write all heavy data to file: %1 (size: %2, written: %3)!")
                    .arg(file.fileName())
                    .arg(bytes.size())
                    .arg(qMax<qint64>(written, 0)));
        return;
    }
    if (!file.commit())
        LOG_ERR(QStringLiteral("Unexpected error occurred while committing (renaming) heavy data file!"));
}

CompareResult ReferenceFrame::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    const auto *otherSD = c.sameClass<ReferenceFrame>(other);
    if (!otherSD)
        return c;
    // The signature stands for the image: a new one marks a new reference image.
    const bool sameSignature = getImageSignature() == otherSD->getImageSignature();
    if (!sameSignature)
        c.setFirst();
    c(sameSignature, "getImageSignature() == otherSD->getImageSignature()")
        && c(getImageSize() == otherSD->getImageSize(), "getImageSize() == otherSD->getImageSize()")
        && c(getImageTimestamp().compare(otherSD->getImageTimestamp(), params),
             "getImageTimestamp().compare(otherSD->getImageTimestamp(), compareParams)");
    return c;
}

} // namespace kvr::tracker::common
