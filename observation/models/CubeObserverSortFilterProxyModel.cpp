#include "observation/models/CubeObserverSortFilterProxyModel.h"

#include "app/services/OrvaGlobal.h"
#include "observation/models/CubeObserverModel.h"
#include "observation/status/AnalyticInfo.h"
#include "observation/status/CMClientInfoWrapper.h"
#include "observation/status/SourceInfo.h"

namespace {

enum StateFilter { AllCameras = 0, Online, Offline, Enabled, Disabled, Processing, Idle };

} // namespace

CubeObserverSortFilterProxyModel::CubeObserverSortFilterProxyModel(QObject *parent)
    : ListSortFilterProxyModel(parent)
{
    initializeTypes();
}

void CubeObserverSortFilterProxyModel::initializeTypes()
{
    const QMap<int, QString> dictionary{{AllCameras, tr("All cameras")}, {Online, tr("Online")},
                                        {Offline, tr("Offline")},        {Enabled, tr("Enabled")},
                                        {Disabled, tr("Disabled")},      {Processing, tr("Processing")},
                                        {Idle, tr("Idle")}};
    setTypeDictionary(dictionary);
    setAvailableTypes(dictionary.values());
}

bool CubeObserverSortFilterProxyModel::acceptsSourceIndex(const QModelIndex &sourceIndex) const
{
    const int type = qMax(filteredType(), 0);
    if (type == AllCameras)
        return ListSortFilterProxyModel::acceptsSourceIndex(sourceIndex);
    const bool enabled = sourceIndex.data(CubeObserverModel::CubeEnabledRole).toBool();
    const auto *analytics = sourceIndex.data(CubeObserverModel::AnalyticInfoRole).value<AnalyticInfo *>();
    auto *source = sourceIndex.data(CubeObserverModel::SourceInfoRole).value<SourceInfo *>();

    bool accepted = true;
    if (type == Enabled) {
        accepted = enabled;
    } else if (type == Disabled) {
        accepted = !enabled;
    } else {
        const bool online = enabled && source && source->cmClientInfo()
                            && source->cmClientInfo()->sourceState().endsWith(QLatin1String("running"));
        const int processing = analytics ? int(analytics->state().processingState()) : int(kvr::orva::Unknown);
        switch (type) {
        case Online: accepted = online; break;
        case Offline: accepted = !online; break;
        case Processing: accepted = online && processing == int(kvr::orva::Processing); break;
        case Idle: accepted = online && processing == int(kvr::orva::Idle); break;
        default: accepted = true; break;
        }
    }
    return accepted && ListSortFilterProxyModel::acceptsSourceIndex(sourceIndex);
}
