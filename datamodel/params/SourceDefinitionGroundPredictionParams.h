#pragma once

#include "core/data/SourceData.h"
#include "datamodel/definitions/SourceDefinitionGroundPredictionClass.h"

#include <QList>

namespace kvr::tracker::common {

// The ground point of each object class of a video source. Without a stored list the block
// reads as the built-in list of 23 classes, so a source always has a complete setting.
// Class version 2: data of other versions keeps the built-in list.
class SourceDefinitionGroundPredictionParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QList<kvr::tracker::common::SourceDefinitionGroundPredictionClass> groundPredictionClasses READ getGroundPredictionClasses WRITE setGroundPredictionClasses)

public:
    SourceDefinitionGroundPredictionParams();

    // The built-in list, built once on first use; every entry has "ai" false and x 0.5.
    static const QList<SourceDefinitionGroundPredictionClass> &defaultGroundPredictionClasses();

    // The stored list, or the built-in one when none is stored.
    QList<SourceDefinitionGroundPredictionClass> getGroundPredictionClasses() const;
    // An empty list removes the key, which brings the built-in list back.
    void setGroundPredictionClasses(const QList<SourceDefinitionGroundPredictionClass> &classes);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionGroundPredictionParams)
