#include "observation/xdev/XDevObjectManager.h"

#include "core/log/Log.h"
#include "core/property/AssignProperty.h"
#include "devices/rest/BlockResponse.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtDebug>

#include <limits>

XDevObjectManager::XDevObjectManager(QObject *parent)
    : QObject(parent)
{
}

void XDevObjectManager::requestXDevObjectStates()
{
}

void XDevObjectManager::setSelectedIndex(const QModelIndex &index)
{
    assignProperty(this, m_selectedIndex, index, &XDevObjectManager::selectedIndexChanged);
}

void XDevObjectManager::handleXDevObjectStates(std::shared_ptr<restservice::BlockResponse> response)
{
    // An empty body is a null document: it says nothing about the devices, so the rows stay.
    const QJsonDocument *document = response ? response->responseDataToJson() : nullptr;
    if (!document || document->isNull()) {
        qWarning() << "[FATAL]" << Q_FUNC_INFO << "Cannot convert data to JSON!";
        return;
    }
    const QJsonObject root = document->object();
    m_model.clear();
    const QJsonValue states = root.value(QStringLiteral("states"));
    if (!states.isArray())
        return;
    for (const QJsonValue &element : states.toArray()) {
        XDevObject object;
        object.read(element.toObject()); // kept even when it fails, as a placeholder row
        // An int product overflows for ids beyond +-2147; such an id cannot be told apart.
        const qint64 id = qint64(object.id) * kIdFactor;
        if (id > std::numeric_limits<int>::max() || id < std::numeric_limits<int>::min()) {
            LOG_WRN(QStringLiteral("External device id %1 is out of range; the device is skipped.").arg(object.id));
            continue;
        }
        object.id = int(id);
        m_model.append(object);
    }
    emit modelReset();
}
