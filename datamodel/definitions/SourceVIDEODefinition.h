#pragma once

#include "datamodel/definitions/SourceDefinition.h"
#include "datamodel/definitions/SourceDefinitionEvidenceParams.h"
#include "datamodel/params/SourceDefinitionCameraParams.h"
#include "datamodel/params/SourceDefinitionCortexParams.h"
#include "datamodel/params/SourceDefinitionFarDistanceVehicleDetectorParams.h"
#include "datamodel/params/SourceDefinitionFilterParams.h"
#include "datamodel/params/SourceDefinitionForegroundDetectionParams.h"
#include "datamodel/params/SourceDefinitionGroundPredictionParams.h"
#include "datamodel/params/SourceDefinitionInputParams.h"
#include "datamodel/params/SourceDefinitionPTZParams.h"
#include "datamodel/params/SourceDefinitionPostProcessorParams.h"
#include "datamodel/params/SourceDefinitionTrackerParams.h"
#include "datamodel/params/SourceDefinitionVisibilityParams.h"

namespace kvr::tracker::common {

class DEP_SourceDefinitionStabParams;

// A camera source: the definition base plus twelve processing blocks, each stored as its own
// value map under its key. Getters hand out copies; set a block back to change it.
// Reads the flat form (version 0), the form with a stabilisation block (1) and the current
// form (2); always writes the current form.
class SourceVIDEODefinition : public SourceDefinition
{
    Q_GADGET
    Q_PROPERTY(kvr::tracker::common::SourceDefinitionInputParams inputParams READ getInputParams WRITE setInputParams)
    Q_PROPERTY(kvr::tracker::common::SourceDefinitionPTZParams ptzParams READ getPTZParams WRITE setPTZParams)
    Q_PROPERTY(kvr::tracker::common::SourceDefinitionGroundPredictionParams groundPredictionParams READ getGroundPredictionParams WRITE setGroundPredictionParams)
    Q_PROPERTY(kvr::tracker::common::SourceDefinitionCameraParams cameraParams READ getCameraParams WRITE setCameraParams)
    Q_PROPERTY(kvr::tracker::common::SourceDefinitionFilterParams filterParams READ getFilterParams WRITE setFilterParams)
    Q_PROPERTY(kvr::tracker::common::SourceDefinitionTrackerParams trackerParams READ getTrackerParams WRITE setTrackerParams)
    Q_PROPERTY(kvr::tracker::common::SourceDefinitionPostProcessorParams postProcessorParams READ getPostProcessorParams WRITE setPostProcessorParams)
    Q_PROPERTY(kvr::tracker::common::SourceDefinitionEvidenceParams evidenceParams READ getEvidenceParams WRITE setEvidenceParams)
    Q_PROPERTY(kvr::tracker::common::SourceDefinitionForegroundDetectionParams foregroundDetectionParams READ getForegroundDetectionParams WRITE setForegroundDetectionParams)
    Q_PROPERTY(kvr::tracker::common::SourceDefinitionVisibilityParams visibilityParams READ getVisibilityParams WRITE setVisibilityParams)
    Q_PROPERTY(kvr::tracker::common::SourceDefinitionFarDistanceVehicleDetectorParams farDistanceVehicleDetectorParams READ getFarDistanceVehicleDetectorParams WRITE setFarDistanceVehicleDetectorParams)
    Q_PROPERTY(kvr::tracker::common::SourceDefinitionCortexParams cortexParams READ getCortexParams WRITE setCortexParams)
    Q_PROPERTY(kvr::tracker::common::SourceVIDEODefinition self READ self)

public:
    SourceVIDEODefinition();

    SourceDefinitionInputParams getInputParams() const;
    void setInputParams(const SourceDefinitionInputParams &params);
    SourceDefinitionPTZParams getPTZParams() const;
    void setPTZParams(const SourceDefinitionPTZParams &params);
    SourceDefinitionGroundPredictionParams getGroundPredictionParams() const;
    void setGroundPredictionParams(const SourceDefinitionGroundPredictionParams &params);
    SourceDefinitionCameraParams getCameraParams() const;
    void setCameraParams(const SourceDefinitionCameraParams &params);
    SourceDefinitionFilterParams getFilterParams() const;
    void setFilterParams(const SourceDefinitionFilterParams &params);
    SourceDefinitionTrackerParams getTrackerParams() const;
    void setTrackerParams(const SourceDefinitionTrackerParams &params);
    SourceDefinitionPostProcessorParams getPostProcessorParams() const;
    void setPostProcessorParams(const SourceDefinitionPostProcessorParams &params);
    SourceDefinitionEvidenceParams getEvidenceParams() const;
    void setEvidenceParams(const SourceDefinitionEvidenceParams &params);
    SourceDefinitionForegroundDetectionParams getForegroundDetectionParams() const;
    void setForegroundDetectionParams(const SourceDefinitionForegroundDetectionParams &params);
    SourceDefinitionVisibilityParams getVisibilityParams() const;
    void setVisibilityParams(const SourceDefinitionVisibilityParams &params);
    SourceDefinitionFarDistanceVehicleDetectorParams getFarDistanceVehicleDetectorParams() const;
    void setFarDistanceVehicleDetectorParams(const SourceDefinitionFarDistanceVehicleDetectorParams &params);
    SourceDefinitionCortexParams getCortexParams() const;
    void setCortexParams(const SourceDefinitionCortexParams &params);

    // Present and enabled.
    bool hasPTZParams() const;
    bool hasCameraParams() const;
    bool hasFilterParams() const;
    bool hasTrackerParams() const;
    bool hasPostProcessorParams() const;
    bool hasEvidenceParams() const;
    bool hasVisibilityParams() const;
    bool hasCortexParams() const;
    // Present, enabled and with at least one state watcher.
    bool hasForegroundDetectionParams() const;
    // Present, enabled and with at least one detector zone.
    bool hasFarDistanceVehicleDetectorParams() const;
    // Always: an absent block counts as its default.
    bool hasGroundPredictionParams() const;

    SourceVIDEODefinition self() const { return *this; }

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;

private:
    void readFlatLegacy(const QJsonObject &data, const SourceDataReadOptions &options,
                        DEP_SourceDefinitionStabParams &legacy);
    void foldLegacyStabParams(const DEP_SourceDefinitionStabParams &legacy, const char *function);
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceVIDEODefinition)
