#include "core/data/SourceInfoDynamic.h"

#include "core/data/EnumKeys.h"
#include "core/data/RecordComparator.h"

#include <array>

namespace kvr::tracker::common {

namespace {

const QString kRecordingFlag = QStringLiteral("recording_flag");
const QString kRecordingMessage = QStringLiteral("recording_message");
const QString kDetectorFps = QStringLiteral("detector_fps");
const QString kTrackerFps = QStringLiteral("tracker_fps");
const QString kPtzPan = QStringLiteral("ptz_pan");
const QString kPtzTilt = QStringLiteral("ptz_tilt");
const QString kPtzZoom = QStringLiteral("ptz_zoom");
const QString kStabilizationState = QStringLiteral("stabilization_state");
const QString kPtzPositionState = QStringLiteral("ptz_position_state");
const QString kPtzControlState = QStringLiteral("ptz_control_state");

const std::array<SourceDataField, 8> &fields()
{
    static const std::array<SourceDataField, 8> table{{
        {QStringLiteral("source_id"), SourceDataField::Type::UInt},
        {kRecordingFlag, SourceDataField::Type::Bool},
        {kRecordingMessage, SourceDataField::Type::String},
        {kDetectorFps, SourceDataField::Type::Double},
        {kTrackerFps, SourceDataField::Type::Double},
        {kPtzPan, SourceDataField::Type::Float},
        {kPtzTilt, SourceDataField::Type::Float},
        {kPtzZoom, SourceDataField::Type::Float},
    }};
    return table;
}

} // namespace

SourceInfoDynamic::SourceInfoDynamic()
    : SourceData(1)
{
    registerRecordComparator<SourceInfoDynamic>(Q_FUNC_INFO);
}

bool SourceInfoDynamic::getRecordingFlag() const
{
    return valueAs<bool>(kRecordingFlag, false);
}

void SourceInfoDynamic::setRecordingFlag(bool recording)
{
    setValue(kRecordingFlag, recording);
}

QString SourceInfoDynamic::getRecordingMessage() const
{
    return valueAs<QString>(kRecordingMessage);
}

void SourceInfoDynamic::setRecordingMessage(const QString &message)
{
    setValue(kRecordingMessage, message);
}

double SourceInfoDynamic::getDetectorFPS() const
{
    return valueAs<double>(kDetectorFps, 0.0);
}

void SourceInfoDynamic::setDetectorFPS(double fps)
{
    setValue(kDetectorFps, fps);
}

double SourceInfoDynamic::getTrackerFPS() const
{
    return valueAs<double>(kTrackerFps, 0.0);
}

void SourceInfoDynamic::setTrackerFPS(double fps)
{
    setValue(kTrackerFps, fps);
}

float SourceInfoDynamic::getPTZPan() const
{
    return valueAs<float>(kPtzPan, 0.0f);
}

void SourceInfoDynamic::setPTZPan(float pan)
{
    setValue(kPtzPan, pan);
}

float SourceInfoDynamic::getPTZTilt() const
{
    return valueAs<float>(kPtzTilt, 0.0f);
}

void SourceInfoDynamic::setPTZTilt(float tilt)
{
    setValue(kPtzTilt, tilt);
}

float SourceInfoDynamic::getPTZZoom() const
{
    return valueAs<float>(kPtzZoom, 0.0f);
}

void SourceInfoDynamic::setPTZZoom(float zoom)
{
    setValue(kPtzZoom, zoom);
}

SourceInfoDynamic::StabilizationState SourceInfoDynamic::getStabilizationState() const
{
    return enumFromVariant(value(kStabilizationState), StabilizationState::Off);
}

void SourceInfoDynamic::setStabilizationState(StabilizationState state)
{
    setValue(kStabilizationState, enumToKey(state));
}

SourceInfoDynamic::PTZPositionState SourceInfoDynamic::getPTZPositionState() const
{
    return enumFromVariant(value(kPtzPositionState), PTZPositionState::In);
}

void SourceInfoDynamic::setPTZPositionState(PTZPositionState state)
{
    setValue(kPtzPositionState, enumToKey(state));
}

SourceInfoDynamic::PTZControlState SourceInfoDynamic::getPTZControlState() const
{
    return enumFromVariant(value(kPtzControlState), PTZControlState::Idle);
}

void SourceInfoDynamic::setPTZControlState(PTZControlState state)
{
    setValue(kPtzControlState, enumToKey(state));
}

void SourceInfoDynamic::read_impl(const QJsonObject &data, quint32, const SourceDataReadOptions &)
{
    readFields(data, fields());
    readEnumKey(*this, data, kStabilizationState, StabilizationState::Off);
    readEnumKey(*this, data, kPtzPositionState, PTZPositionState::In);
    readEnumKey(*this, data, kPtzControlState, PTZControlState::Idle);
}

void SourceInfoDynamic::write_impl(QJsonObject &data, const SourceDataWriteOptions &) const
{
    writeFields(data, fields());
    writeEnumKey(*this, data, kStabilizationState, getStabilizationState());
    writeEnumKey(*this, data, kPtzPositionState, getPTZPositionState());
    writeEnumKey(*this, data, kPtzControlState, getPTZControlState());
}

} // namespace kvr::tracker::common
