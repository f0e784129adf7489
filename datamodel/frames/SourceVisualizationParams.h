#pragma once

#include "core/data/SourceData.h"
#include "datamodel/frames/SourceVisualizationClass.h"
#include "datamodel/frames/SourceVisualizationSpatialElement.h"
#include "datamodel/frames/SourceVisualizationTimestamp.h"

#include <QColor>
#include <QSet>
#include <QStringList>
#include <QVector>

namespace kvr::tracker::common {

// What a node draws over the frames of a frame format: the annotations of tracked objects,
// their colours and line widths, track tails, selected trajectories, colours per class, gates
// and zones, and the time stamp.
class SourceVisualizationParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(bool hideNonSelectedTrajectories READ getHideNonSelectedTrajectories WRITE setHideNonSelectedTrajectories)
    Q_PROPERTY(QVector<kvr::tracker::common::SourceVisualizationClass> sourceVisualizationClasses
                   READ getSourceVisualizationClasses WRITE setSourceVisualizationClasses)
    Q_PROPERTY(bool showClasses READ getShowClasses WRITE setShowClasses)
    Q_PROPERTY(bool showColor READ getShowColor WRITE setShowColor)
    Q_PROPERTY(bool showLP READ getShowLP WRITE setShowLP)
    Q_PROPERTY(bool showBBX READ getShowBBX WRITE setShowBBX)
    Q_PROPERTY(bool showScore READ getShowScore WRITE setShowScore)
    Q_PROPERTY(bool showTTails READ getShowTTails WRITE setShowTTails)
    Q_PROPERTY(uint TTailsSizeMS READ getTTailsSizeMS WRITE setTTailsSizeMS)
    Q_PROPERTY(float TTailsLineWidth READ getTTailsLineWidth WRITE setTTailsLineWidth)
    Q_PROPERTY(float BBXLineWidth READ getBBXLineWidth WRITE setBBXLineWidth)
    Q_PROPERTY(QColor BBXColor READ getBBXColor WRITE setBBXColor)
    Q_PROPERTY(QColor flagColor READ getFlagColor WRITE setFlagColor)
    Q_PROPERTY(ushort visualizationMultiplier READ getVisualizationMultiplier WRITE setVisualizationMultiplier)
    Q_PROPERTY(kvr::tracker::common::SourceVisualizationTimestamp visualizationTimestamp
                   READ getSourceVisualizationTimestamp WRITE setSourceVisualizationTimestamp)
    Q_PROPERTY(qlonglong trackIdOffset READ getTrackIdOffset WRITE setTrackIdOffset)

public:
    static constexpr uint TTAILS_SIZE_MS_MAX = 4000;
    static constexpr quint16 VISUALIZATION_MULTIPLIER_MAX = 1000;

    // "show_classes", "show_color", "show_lp", "show_id", "show_bbx", "show_ttails", "show_score".
    static const QStringList &defaultShowFlags();

    SourceVisualizationParams();

    QSet<qint64> getSelectedTrajectoryIDs() const;
    void setSelectedTrajectoryIDs(const QSet<qint64> &ids);
    bool getHideNonSelectedTrajectories() const;   // true when absent
    void setHideNonSelectedTrajectories(bool hide);
    QVector<SourceVisualizationClass> getSourceVisualizationClasses() const;
    void setSourceVisualizationClasses(const QVector<SourceVisualizationClass> &classes);

    QStringList getShowFlags() const;              // defaultShowFlags() when absent
    void setShowFlags(const QStringList &flags);   // stored sorted, duplicates kept
    bool hasShowFlag(const QString &flag) const;
    // Adds or removes one flag; stores only when the set of flags changes.
    void setShowFlag(const QString &flag, bool on);
    bool getShowClasses() const;
    void setShowClasses(bool show);
    bool getShowColor() const;
    void setShowColor(bool show);
    bool getShowLP() const;
    void setShowLP(bool show);
    bool getShowBBX() const;
    void setShowBBX(bool show);
    bool getShowScore() const;
    void setShowScore(bool show);
    bool getShowTTails() const;
    void setShowTTails(bool show);

    uint getTTailsSizeMS() const;                  // 2000 when absent
    void setTTailsSizeMS(uint sizeMS);
    float getTTailsLineWidth() const;              // 1 when absent
    void setTTailsLineWidth(float width);
    float getBBXLineWidth() const;                 // 1 when absent
    void setBBXLineWidth(float width);
    QColor getBBXColor() const;                    // red when absent
    void setBBXColor(const QColor &color);
    QColor getFlagColor() const;                   // red when absent
    void setFlagColor(const QColor &color);
    QColor getFlagSelectedColor() const;           // orange when absent; set only by reading
    quint16 getVisualizationMultiplier() const;    // 100 when absent
    void setVisualizationMultiplier(quint16 multiplier);
    qlonglong getTrackIdOffset() const;            // 0 when absent
    void setTrackIdOffset(qlonglong offset);
    QVector<SourceVisualizationSpatialElement> getSpatialElements() const;
    void setSpatialElements(const QVector<SourceVisualizationSpatialElement> &elements);
    SourceVisualizationTimestamp getSourceVisualizationTimestamp() const; // disabled default when absent
    void setSourceVisualizationTimestamp(const SourceVisualizationTimestamp &timestamp);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceVisualizationParams)
