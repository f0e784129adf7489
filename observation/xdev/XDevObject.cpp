#include "observation/xdev/XDevObject.h"

namespace {

const QString kId = QStringLiteral("id");
const QString kType = QStringLiteral("type");
const QString kName = QStringLiteral("name");
const QString kManufacturer = QStringLiteral("manufacturer");
const QString kSerialNumber = QStringLiteral("serial_number");
const QString kProduct = QStringLiteral("product");
const QString kModel = QStringLiteral("model");
const QString kSwVersion = QStringLiteral("sw_version");
const QString kFwVersion = QStringLiteral("fw_version");
const QString kHwVersion = QStringLiteral("hw_version");
const QString kState = QStringLiteral("state");

} // namespace

bool XDevObject::read(const QJsonObject &json)
{
    for (const QString &key : {kId, kType, kName, kManufacturer, kSerialNumber, kState}) {
        if (!json.contains(key))
            return false;
    }
    id = json.value(kId).toInt(0);
    type = json.value(kType).toString();
    name = json.value(kName).toString();
    manufacturer = json.value(kManufacturer).toString();
    serialNumber = json.value(kSerialNumber).toString();
    product = json.value(kProduct).toString();
    model = json.value(kModel).toString();
    swVersion = json.value(kSwVersion).toString();
    fwVersion = json.value(kFwVersion).toString();
    hwVersion = json.value(kHwVersion).toString();
    state.read(json.value(kState).toObject());
    return true;
}

QJsonObject XDevObject::write() const
{
    return QJsonObject{
        {kId, id},
        {kType, type},
        {kName, name},
        {kManufacturer, manufacturer},
        {kSerialNumber, serialNumber},
        {kProduct, product},
        {kModel, model},
        {kSwVersion, swVersion},
        {kFwVersion, fwVersion},
        {kHwVersion, hwVersion},
        {kState, state.write()},
    };
}
