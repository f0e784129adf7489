#pragma once

#include "core/data/SourceData.h"
#include "datamodel/definitions/ReferenceFrame.h"
#include "datamodel/definitions/TransformationParams.h"

namespace kvr::tracker::common {

class DEP_SourceDefinitionStabParams;

// A source's reference image, whether stabilisation against it is on, and its georegistration.
// Disabled unless its JSON says "enabled": true.
class SourceDefinitionReferenceFrameParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(kvr::tracker::common::ReferenceFrame referenceFrame READ getReferenceFrame WRITE setReferenceFrame)
    Q_PROPERTY(bool stabilizationFlag READ getStabilizationFlag WRITE setStabilizationFlag)
    Q_PROPERTY(kvr::tracker::common::TransformationParams georegistrationParams READ getGeoregistrationParams WRITE setGeoregistrationParams)

public:
    SourceDefinitionReferenceFrameParams();

    ReferenceFrame getReferenceFrame() const;               // a copy; set it back to change it
    void setReferenceFrame(const ReferenceFrame &referenceFrame);
    Q_INVOKABLE bool hasReferenceFrame() const;             // present and enabled
    bool getStabilizationFlag() const;                      // false when absent
    void setStabilizationFlag(bool stabilizationFlag);
    TransformationParams getGeoregistrationParams() const;
    void setGeoregistrationParams(const TransformationParams &georegistrationParams);
    bool hasGeoregistrationParams() const;                  // present and enabled

    // Folds a legacy stabilisation block read from an older video definition into these
    // parameters; the warnings are logged under `function` (the reader's name). Returns whether
    // anything was taken over, i.e. whether the caller must store the parameters back.
    bool foldLegacyStabParams(const DEP_SourceDefinitionStabParams &legacy, const char *function);

protected:
    bool defaultEnabled() const override;
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionReferenceFrameParams)
