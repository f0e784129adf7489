#pragma once

#include "core/data/SourceData.h"
#include "datamodel/params/SourceStateWatcher.h"

#include <QList>

namespace kvr::tracker::common {

// The state watchers of a source ("state_watchers"), in order. Base of the cortex and
// foreground-detection blocks, which call these operations before their own rules.
class SourceStateWatcherParams : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QList<kvr::tracker::common::SourceStateWatcher> stateWatchers READ getStateWatchers WRITE setStateWatchers)

public:
    SourceStateWatcherParams();

    QList<SourceStateWatcher> getStateWatchers() const;
    void setStateWatchers(const QList<SourceStateWatcher> &stateWatchers);

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceStateWatcherParams)
