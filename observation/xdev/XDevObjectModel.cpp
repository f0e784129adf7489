#include "observation/xdev/XDevObjectModel.h"

#include <QStringList>

XDevObjectModel::XDevObjectModel(QObject *parent)
    : ListModelBase<XDevObject>(parent)
{
}

QVariant XDevObjectModel::data(const QModelIndex &index, int role) const
{
    if (!isRow(index))
        return QVariant();
    const XDevObject &object = m_items.at(index.row());
    switch (role) {
    case GadgetRole: return QVariant::fromValue(object);
    case StateRole: return QVariant::fromValue(object.state);
    case PatternRole:
        return QStringList{object.name, object.type, object.manufacturer, object.product, object.serialNumber}
            .join(QLatin1Char(' '))
            .toLower();
    default: return QVariant();
    }
}

QHash<int, QByteArray> XDevObjectModel::roleNames() const
{
    return {{GadgetRole, "GadgetRole"}, {StateRole, "StateRole"}, {PatternRole, "PatternRole"}};
}

XDevObject XDevObjectModel::objectById(int id) const
{
    for (const XDevObject &object : m_items) {
        if (object.id == id)
            return object;
    }
    return XDevObject();
}
