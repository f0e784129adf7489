#pragma once

#include "core/data/SourceData.h"

#include <QPointF>

namespace kvr::tracker::common {

// How the ground point of one object class is set: predicted by the analytics (ai) or the
// class's fixed normalised position. Note that "ai" reads true when absent.
class SourceDefinitionGroundPredictionClass : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QString className READ getClassName WRITE setClassName)
    Q_PROPERTY(bool ai READ getAI WRITE setAI)
    Q_PROPERTY(QPointF position READ getPosition WRITE setPosition)

public:
    SourceDefinitionGroundPredictionClass();
    // Stores all three keys (the built-in default list is made this way).
    SourceDefinitionGroundPredictionClass(const QString &className, const bool &ai, const QPointF &position);

    QString getClassName() const;       // exact: case and blanks count
    void setClassName(const QString &className);
    bool getAI() const;                 // true when absent
    void setAI(const bool &ai);
    QPointF getPosition() const;        // (0, 0) when absent
    void setPosition(const QPointF &position);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinitionGroundPredictionClass)
