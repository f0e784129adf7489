#pragma once

#include "core/data/SourceData.h"

#include <QColor>
#include <QPolygonF>
#include <QStringList>

namespace kvr::tracker::common {

// One named polygon of a frame format that the node anonymizes, with the objects it applies
// to, the method, its intensity and the fill colour.
class SourceAnonymizationZone : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QString name READ getName WRITE setName)
    Q_PROPERTY(QPolygonF zone READ getZone WRITE setZone)
    Q_PROPERTY(QStringList objectNames READ getObjectNames WRITE setObjectNames)
    Q_PROPERTY(AnonymizationMethod method READ getMethod WRITE setMethod)
    Q_PROPERTY(quint8 methodIntensity READ getMethodIntensity WRITE setMethodIntensity)
    Q_PROPERTY(QColor solidColor READ getSolidColor WRITE setSolidColor)
    Q_PROPERTY(kvr::tracker::common::SourceAnonymizationZone self READ getSelf)

public:
    enum class AnonymizationMethod { solid = 0, pixelization = 1, blur_linear = 2, blur_gauss = 3 };
    Q_ENUM(AnonymizationMethod)

    SourceAnonymizationZone();

    QString getName() const;
    void setName(const QString &name);
    QPolygonF getZone() const;               // empty when absent or not a polygon
    void setZone(const QPolygonF &zone);
    QStringList getObjectNames() const;
    void setObjectNames(const QStringList &names);
    AnonymizationMethod getMethod() const;   // solid for an absent or unknown text
    void setMethod(AnonymizationMethod method);
    quint8 getMethodIntensity() const;       // stored value bounded to 1..10; 10 when absent
    void setMethodIntensity(quint8 intensity); // stored unbounded
    QColor getSolidColor() const;            // black when absent or empty
    void setSolidColor(const QColor &color);
    SourceAnonymizationZone getSelf() const { return *this; }

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceAnonymizationZone)
