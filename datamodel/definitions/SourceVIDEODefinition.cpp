#include "datamodel/definitions/SourceVIDEODefinition.h"

#include "core/data/CompareChain.h"
#include "core/data/RecordComparator.h"
#include "core/data/ValidityChain.h"
#include "core/data/ValidMapMemo.h"
#include "datamodel/params/DEP_SourceDefinitionStabParams.h"

#include <cmath>

namespace kvr::tracker::common {

namespace {

const QString kInput = QStringLiteral("input_parameters");
const QString kPTZ = QStringLiteral("ptz_parameters");
const QString kGroundPrediction = QStringLiteral("ground_prediction_parameters");
const QString kCamera = QStringLiteral("camera_parameters");
const QString kFilter = QStringLiteral("filter_parameters");
const QString kTracker = QStringLiteral("tracker_parameters");
const QString kPostProcessor = QStringLiteral("postproc_parameters");
const QString kEvidence = QStringLiteral("evidence_parameters");
const QString kForegroundDetection = QStringLiteral("foreground_detection_parameters");
const QString kVisibility = QStringLiteral("visibility_parameters");
const QString kFarDistance = QStringLiteral("far_distance_vehicle_detector_parameters");
const QString kCortex = QStringLiteral("cortex_parameters");

// Older forms only.
const QString kStabParams = QStringLiteral("stab_parameters");
const QString kConnectionString = QStringLiteral("connection_string");
const QString kImageCrop = QStringLiteral("image_crop");
const QString kImageSignature = QStringLiteral("image_signature");
const QString kStabilisationImageSignature = QStringLiteral("stabilisation_image_signature");
const QString kTimeWindow = QStringLiteral("time_window_ms");
const QString kFilterDefinition = QStringLiteral("filter_definition");

// The flat form's window: any whole number, not only a 32-bit one, so that an oversized window
// reads as the tracker's cap rather than as 0. A fraction or a text gives 0.
qint64 wholeNumberFromJson(const QJsonValue &value)
{
    const double number = value.toDouble();
    return value.isDouble() && std::fabs(number) < 9.2e18 && number == std::trunc(number) ? qint64(number) : 0;
}

template <class T>
struct Block
{
    using Type = T;
};

// The blocks in their key order: f(Block<Class>{}, key) for each.
template <class F>
void forEachBlock(F &&f)
{
    f(Block<SourceDefinitionInputParams>{}, kInput);
    f(Block<SourceDefinitionPTZParams>{}, kPTZ);
    f(Block<SourceDefinitionGroundPredictionParams>{}, kGroundPrediction);
    f(Block<SourceDefinitionCameraParams>{}, kCamera);
    f(Block<SourceDefinitionFilterParams>{}, kFilter);
    f(Block<SourceDefinitionTrackerParams>{}, kTracker);
    f(Block<SourceDefinitionPostProcessorParams>{}, kPostProcessor);
    f(Block<SourceDefinitionEvidenceParams>{}, kEvidence);
    f(Block<SourceDefinitionForegroundDetectionParams>{}, kForegroundDetection);
    f(Block<SourceDefinitionVisibilityParams>{}, kVisibility);
    f(Block<SourceDefinitionFarDistanceVehicleDetectorParams>{}, kFarDistance);
    f(Block<SourceDefinitionCortexParams>{}, kCortex);
}

} // namespace

SourceVIDEODefinition::SourceVIDEODefinition()
    : SourceDefinition(SourceDefinitionType::Video)
{
    registerRecordComparator<SourceVIDEODefinition>(Q_FUNC_INFO);
}

SourceDefinitionInputParams SourceVIDEODefinition::getInputParams() const { return getRecord<SourceDefinitionInputParams>(kInput); }
void SourceVIDEODefinition::setInputParams(const SourceDefinitionInputParams &params) { setRecord(kInput, params); }
SourceDefinitionPTZParams SourceVIDEODefinition::getPTZParams() const { return getRecord<SourceDefinitionPTZParams>(kPTZ); }
void SourceVIDEODefinition::setPTZParams(const SourceDefinitionPTZParams &params) { setRecord(kPTZ, params); }
SourceDefinitionGroundPredictionParams SourceVIDEODefinition::getGroundPredictionParams() const { return getRecord<SourceDefinitionGroundPredictionParams>(kGroundPrediction); }
void SourceVIDEODefinition::setGroundPredictionParams(const SourceDefinitionGroundPredictionParams &params) { setRecord(kGroundPrediction, params); }
SourceDefinitionCameraParams SourceVIDEODefinition::getCameraParams() const { return getRecord<SourceDefinitionCameraParams>(kCamera); }
void SourceVIDEODefinition::setCameraParams(const SourceDefinitionCameraParams &params) { setRecord(kCamera, params); }
SourceDefinitionFilterParams SourceVIDEODefinition::getFilterParams() const { return getRecord<SourceDefinitionFilterParams>(kFilter); }
void SourceVIDEODefinition::setFilterParams(const SourceDefinitionFilterParams &params) { setRecord(kFilter, params); }
SourceDefinitionTrackerParams SourceVIDEODefinition::getTrackerParams() const { return getRecord<SourceDefinitionTrackerParams>(kTracker); }
void SourceVIDEODefinition::setTrackerParams(const SourceDefinitionTrackerParams &params) { setRecord(kTracker, params); }
SourceDefinitionPostProcessorParams SourceVIDEODefinition::getPostProcessorParams() const { return getRecord<SourceDefinitionPostProcessorParams>(kPostProcessor); }
void SourceVIDEODefinition::setPostProcessorParams(const SourceDefinitionPostProcessorParams &params) { setRecord(kPostProcessor, params); }
SourceDefinitionEvidenceParams SourceVIDEODefinition::getEvidenceParams() const { return getRecord<SourceDefinitionEvidenceParams>(kEvidence); }
void SourceVIDEODefinition::setEvidenceParams(const SourceDefinitionEvidenceParams &params) { setRecord(kEvidence, params); }
SourceDefinitionForegroundDetectionParams SourceVIDEODefinition::getForegroundDetectionParams() const { return getRecord<SourceDefinitionForegroundDetectionParams>(kForegroundDetection); }
void SourceVIDEODefinition::setForegroundDetectionParams(const SourceDefinitionForegroundDetectionParams &params) { setRecord(kForegroundDetection, params); }
SourceDefinitionVisibilityParams SourceVIDEODefinition::getVisibilityParams() const { return getRecord<SourceDefinitionVisibilityParams>(kVisibility); }
void SourceVIDEODefinition::setVisibilityParams(const SourceDefinitionVisibilityParams &params) { setRecord(kVisibility, params); }
SourceDefinitionFarDistanceVehicleDetectorParams SourceVIDEODefinition::getFarDistanceVehicleDetectorParams() const { return getRecord<SourceDefinitionFarDistanceVehicleDetectorParams>(kFarDistance); }
void SourceVIDEODefinition::setFarDistanceVehicleDetectorParams(const SourceDefinitionFarDistanceVehicleDetectorParams &params) { setRecord(kFarDistance, params); }
SourceDefinitionCortexParams SourceVIDEODefinition::getCortexParams() const { return getRecord<SourceDefinitionCortexParams>(kCortex); }
void SourceVIDEODefinition::setCortexParams(const SourceDefinitionCortexParams &params) { setRecord(kCortex, params); }

bool SourceVIDEODefinition::hasPTZParams() const { return hasEnabledRecord<SourceDefinitionPTZParams>(kPTZ); }
bool SourceVIDEODefinition::hasCameraParams() const { return hasEnabledRecord<SourceDefinitionCameraParams>(kCamera); }
bool SourceVIDEODefinition::hasFilterParams() const { return hasEnabledRecord<SourceDefinitionFilterParams>(kFilter); }
bool SourceVIDEODefinition::hasTrackerParams() const { return hasEnabledRecord<SourceDefinitionTrackerParams>(kTracker); }
bool SourceVIDEODefinition::hasPostProcessorParams() const { return hasEnabledRecord<SourceDefinitionPostProcessorParams>(kPostProcessor); }
bool SourceVIDEODefinition::hasEvidenceParams() const { return hasEnabledRecord<SourceDefinitionEvidenceParams>(kEvidence); }
bool SourceVIDEODefinition::hasVisibilityParams() const { return hasEnabledRecord<SourceDefinitionVisibilityParams>(kVisibility); }
bool SourceVIDEODefinition::hasCortexParams() const { return hasEnabledRecord<SourceDefinitionCortexParams>(kCortex); }
bool SourceVIDEODefinition::hasGroundPredictionParams() const { return true; }

bool SourceVIDEODefinition::hasForegroundDetectionParams() const
{
    if (!contains(kForegroundDetection))
        return false;
    const auto params = getForegroundDetectionParams();
    return params.getEnabled() && !params.getStateWatchers().isEmpty();
}

bool SourceVIDEODefinition::hasFarDistanceVehicleDetectorParams() const
{
    if (!contains(kFarDistance))
        return false;
    const auto params = getFarDistanceVehicleDetectorParams();
    return params.getEnabled() && !params.getDetectorZones().isEmpty();
}

bool SourceVIDEODefinition::isValid_impl(bool skipWrn) const
{
    // A pass logs nothing, so a map known to pass needs no second look.
    thread_local ValidMapMemo memo;
    if (memo.knownValid(valueMap()))
        return true;
    ValidityChain v(skipWrn, Q_FUNC_INFO);
    const bool valid = v(SourceDefinition::isValid_impl(skipWrn), "SourceDefinition::isValid_impl(skipWrn)")
        && v(getType() == SourceDefinitionType::Video, "getType() == SourceDefinitionType::Video")
        && v(getInputParams().isValid(skipWrn), "getInputParams().isValid(skipWrn)")
        && v((!hasPTZParams() || getPTZParams().isValid(skipWrn)), "(!hasPTZParams() || getPTZParams().isValid(skipWrn))")
        && v((!hasGroundPredictionParams() || getGroundPredictionParams().isValid(skipWrn)),
             "(!hasGroundPredictionParams() || getGroundPredictionParams().isValid(skipWrn))")
        && v((!hasCameraParams() || getCameraParams().isValid(skipWrn)), "(!hasCameraParams() || getCameraParams().isValid(skipWrn))")
        && v((!hasFilterParams() || getFilterParams().isValid(skipWrn)), "(!hasFilterParams() || getFilterParams().isValid(skipWrn))")
        && v((!hasTrackerParams() || getTrackerParams().isValid(skipWrn)), "(!hasTrackerParams() || getTrackerParams().isValid(skipWrn))")
        && v((!hasPostProcessorParams() || getPostProcessorParams().isValid(skipWrn)),
             "(!hasPostProcessorParams() || getPostProcessorParams().isValid(skipWrn))")
        && v((!hasEvidenceParams() || getEvidenceParams().isValid(skipWrn)), "(!hasEvidenceParams() || getEvidenceParams().isValid(skipWrn))")
        && v((!hasForegroundDetectionParams() || getForegroundDetectionParams().isValid(skipWrn)),
             "(!hasForegroundDetectionParams() || getForegroundDetectionParams().isValid(skipWrn))")
        && v((!hasCortexParams() || getCortexParams().isValid(skipWrn)), "(!hasCortexParams() || getCortexParams().isValid(skipWrn))")
        && v((hasForegroundDetectionParams() && getInputParams().getObstacle()) || (!hasForegroundDetectionParams()),
             "(hasForegroundDetectionParams() && getInputParams().getObstacle()) || (!hasForegroundDetectionParams())")
        && v((!hasVisibilityParams() || getVisibilityParams().isValid(skipWrn)),
             "(!hasVisibilityParams() || getVisibilityParams().isValid(skipWrn))")
        && v((!hasFarDistanceVehicleDetectorParams() || getFarDistanceVehicleDetectorParams().isValid(skipWrn)),
             "(!hasFarDistanceVehicleDetectorParams() || getFarDistanceVehicleDetectorParams().isValid(skipWrn))");
    if (valid)
        memo.remember(valueMap());
    return valid;
}

void SourceVIDEODefinition::read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options)
{
    DEP_SourceDefinitionStabParams legacy;
    SourceDefinition::read_impl(data, version, options);
    if (version == 0) {
        readFlatLegacy(data, options, legacy);
        foldLegacyStabParams(legacy, Q_FUNC_INFO);
        return;
    }
    if (version == 1) {
        readIfPresent(data, kStabParams, [&](const QJsonValue &value) { legacy.read(value.toObject(), options); });
    }
    // A current record's "stab_parameters" is left alone: the legacy block stays empty.
    foldLegacyStabParams(legacy, Q_FUNC_INFO);
    forEachBlock([&](auto block, const QString &key) {
        readRecord<typename decltype(block)::Type>(data, key, options);
    });
}

void SourceVIDEODefinition::readFlatLegacy(const QJsonObject &data, const SourceDataReadOptions &options,
                                           DEP_SourceDefinitionStabParams &legacy)
{
    SourceDefinitionInputParams input;
    input.setConnectionString(data.value(kConnectionString).toString());
    readIfPresent(data, kImageCrop, [&](const QJsonValue &value) {
        const QJsonObject crop = value.toObject();
        SourceDefinitionInputParamsImageCrop imageCrop;
        imageCrop.setRectangle(QRectF(crop.value(QLatin1String("x")).toDouble(), crop.value(QLatin1String("y")).toDouble(),
                                      crop.value(QLatin1String("width")).toDouble(),
                                      crop.value(QLatin1String("height")).toDouble()));
        imageCrop.setEnabled(true);
        input.setImageCrop(imageCrop);
    });
    setInputParams(input);

    const QString signature = data.value(kImageSignature).toString();
    if (!signature.isEmpty()) {
        legacy.setEnabled(true);
        legacy.setImageSignature(signature);
    } else if (data.contains(kStabilisationImageSignature)) {
        legacy.setEnabled(true);
        legacy.setImageSignature(data.value(kStabilisationImageSignature).toString());
    }

    readIfPresent(data, kTimeWindow, [&](const QJsonValue &value) {
        SourceDefinitionTrackerParams tracker;
        tracker.setTimeWindowMS(wholeNumberFromJson(value));
        setTrackerParams(tracker);
    });
    readIfPresent(data, kFilterDefinition, [&](const QJsonValue &value) {
        SourceDefinitionFilterParams filter;
        filter.read(value.toObject(), options); // the filter knows its own older forms
        filter.setEnabled(true);
        setFilterParams(filter);
    });
}

void SourceVIDEODefinition::foldLegacyStabParams(const DEP_SourceDefinitionStabParams &legacy, const char *function)
{
    SourceDefinitionReferenceFrameParams params = getReferenceFrameParams();
    if (params.foldLegacyStabParams(legacy, function))
        setReferenceFrameParams(params);
}

void SourceVIDEODefinition::write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const
{
    SourceDefinition::write_impl(data, options);
    forEachBlock([&](auto block, const QString &key) {
        writeRecord<typename decltype(block)::Type>(data, key, options);
    });
}

CompareResult SourceVIDEODefinition::compare_logic(const SourceData &other, const CompareParams &params) const
{
    CompareChain c(params, Q_FUNC_INFO);
    if (!c(SourceDefinition::compare_logic(other, params), "SourceDefinition::compare_logic(other, compareParams)"))
        return c;
    const auto *otherSD = c.sameClass<SourceVIDEODefinition>(other);
    if (!otherSD)
        return c;
    const auto evidenceEqual = [&] {
        if (!hasEvidenceParams() && !otherSD->hasEvidenceParams())
            return CompareResult{false, true};
        if (hasEvidenceParams() != otherSD->hasEvidenceParams())
            return CompareResult{false, false};
        return getEvidenceParams().compare(otherSD->getEvidenceParams(), params);
    };
    c(getInputParams().compare(otherSD->getInputParams(), params), "getInputParams().compare(otherSD->getInputParams(), compareParams)")
        && c(getPTZParams().compare(otherSD->getPTZParams(), params), "getPTZParams().compare(otherSD->getPTZParams(), compareParams)")
        && c(getGroundPredictionParams().compare(otherSD->getGroundPredictionParams(), params),
             "getGroundPredictionParams().compare(otherSD->getGroundPredictionParams(), compareParams)")
        && c(getCameraParams().compare(otherSD->getCameraParams(), params), "getCameraParams().compare(otherSD->getCameraParams(), compareParams)")
        && c(getFilterParams().compare(otherSD->getFilterParams(), params), "getFilterParams().compare(otherSD->getFilterParams(), compareParams)")
        && c(getTrackerParams().compare(otherSD->getTrackerParams(), params), "getTrackerParams().compare(otherSD->getTrackerParams(), compareParams)")
        && c(getPostProcessorParams().compare(otherSD->getPostProcessorParams(), params),
             "getPostProcessorParams().compare(otherSD->getPostProcessorParams(), compareParams)")
        && c(evidenceEqual(),
             "!hasEvidenceParams() && !otherSD->hasEvidenceParams() || ( hasEvidenceParams() == otherSD->hasEvidenceParams() && getEvidenceParams().compare(otherSD->getEvidenceParams(), compareParams) )")
        && c(getForegroundDetectionParams().compare(otherSD->getForegroundDetectionParams(), params),
             "getForegroundDetectionParams().compare(otherSD->getForegroundDetectionParams(), compareParams)")
        && c(getVisibilityParams().compare(otherSD->getVisibilityParams(), params),
             "getVisibilityParams().compare(otherSD->getVisibilityParams(), compareParams)")
        && c(getFarDistanceVehicleDetectorParams().compare(otherSD->getFarDistanceVehicleDetectorParams(), params),
             "getFarDistanceVehicleDetectorParams().compare(otherSD->getFarDistanceVehicleDetectorParams(), compareParams)")
        && c(getCortexParams().compare(otherSD->getCortexParams(), params), "getCortexParams().compare(otherSD->getCortexParams(), compareParams)");
    return c;
}

} // namespace kvr::tracker::common
