#pragma once

#include "core/data/SourceData.h"

#include <QSet>
#include <QVector2D>

namespace kvr::tracker::common {

// Pairs a source zone with a destination zone of a cube (by name) and holds how the fusing
// matches objects between them: classes, directions, a duration window and three weighted
// methods (FIFO, embedding, licence plate).
class SourceCUBEDefinitionFuseZoneRule : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QString ruleName READ getRuleName WRITE setRuleName)
    Q_PROPERTY(QString sourceZoneName READ getSourceZoneName WRITE setSourceZoneName)
    Q_PROPERTY(bool sourceZoneDirectionality READ getSourceZoneDirectionality WRITE setSourceZoneDirectionality)
    Q_PROPERTY(QVector2D sourceZoneDirectionVec READ getSourceZoneDirectionVec WRITE setSourceZoneDirectionVec)
    Q_PROPERTY(double sourceZoneDirectionToleranceDeg READ getSourceZoneDirectionToleranceDeg WRITE setSourceZoneDirectionToleranceDeg)
    Q_PROPERTY(QString destinationZoneName READ getDestinationZoneName WRITE setDestinationZoneName)
    Q_PROPERTY(bool destinationZoneDirectionality READ getDestinationZoneDirectionality WRITE setDestinationZoneDirectionality)
    Q_PROPERTY(QVector2D destinationZoneDirectionVec READ getDestinationZoneDirectionVec WRITE setDestinationZoneDirectionVec)
    Q_PROPERTY(double destinationZoneDirectionToleranceDeg READ getDestinationZoneDirectionToleranceDeg WRITE setDestinationZoneDirectionToleranceDeg)
    Q_PROPERTY(QSet<QString> classes READ getClasses WRITE setClasses)
    Q_PROPERTY(uint minDurationMS READ getMinDurationMS WRITE setMinDurationMS)
    Q_PROPERTY(uint maxDurationMS READ getMaxDurationMS WRITE setMaxDurationMS)
    Q_PROPERTY(bool FIFOEnabled READ getFIFOEnabled WRITE setFIFOEnabled)
    Q_PROPERTY(double FIFOWeight READ getFIFOWeight WRITE setFIFOWeight)
    Q_PROPERTY(bool embeddingEnabled READ getEmbeddingEnabled WRITE setEmbeddingEnabled)
    Q_PROPERTY(double embeddingWeight READ getEmbeddingWeight WRITE setEmbeddingWeight)
    Q_PROPERTY(double minSourceQualityForEmbeddingUse READ getMinSourceQualityForEmbeddingUse WRITE setMinSourceQualityForEmbeddingUse)
    Q_PROPERTY(bool LPEnabled READ getLPEnabled WRITE setLPEnabled)
    Q_PROPERTY(double LPWeight READ getLPWeight WRITE setLPWeight)
    Q_PROPERTY(uint maxLPEditDistance READ getMaxLPEditDistance WRITE setMaxLPEditDistance)
    Q_PROPERTY(kvr::tracker::common::SourceCUBEDefinitionFuseZoneRule self READ self)

public:
    SourceCUBEDefinitionFuseZoneRule();

    QString getRuleName() const;
    void setRuleName(const QString &ruleName);
    QString getSourceZoneName() const;
    void setSourceZoneName(const QString &name);
    bool getSourceZoneDirectionality() const;
    void setSourceZoneDirectionality(bool directionality);
    QVector2D getSourceZoneDirectionVec() const;
    void setSourceZoneDirectionVec(const QVector2D &vector);
    double getSourceZoneDirectionToleranceDeg() const; // 180 when absent
    void setSourceZoneDirectionToleranceDeg(double degrees);
    QString getDestinationZoneName() const;
    void setDestinationZoneName(const QString &name);
    bool getDestinationZoneDirectionality() const;
    void setDestinationZoneDirectionality(bool directionality);
    QVector2D getDestinationZoneDirectionVec() const;
    void setDestinationZoneDirectionVec(const QVector2D &vector);
    double getDestinationZoneDirectionToleranceDeg() const; // 180 when absent
    void setDestinationZoneDirectionToleranceDeg(double degrees);
    QSet<QString> getClasses() const;
    void setClasses(const QSet<QString> &classes);
    uint getMinDurationMS() const; // 0 when absent
    void setMinDurationMS(uint ms);
    uint getMaxDurationMS() const; // 5000 when absent
    void setMaxDurationMS(uint ms);
    bool getFIFOEnabled() const; // true when absent
    void setFIFOEnabled(bool enabled);
    double getFIFOWeight() const; // 1 when absent
    void setFIFOWeight(double weight);
    bool getEmbeddingEnabled() const;
    void setEmbeddingEnabled(bool enabled);
    double getEmbeddingWeight() const; // 1 when absent
    void setEmbeddingWeight(double weight);
    double getMinSourceQualityForEmbeddingUse() const; // 0.5 when absent
    void setMinSourceQualityForEmbeddingUse(double quality);
    bool getLPEnabled() const;
    void setLPEnabled(bool enabled);
    double getLPWeight() const; // 1 when absent
    void setLPWeight(double weight);
    uint getMaxLPEditDistance() const; // 3 when absent
    void setMaxLPEditDistance(uint distance);

    SourceCUBEDefinitionFuseZoneRule self() const { return *this; }

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceCUBEDefinitionFuseZoneRule)
