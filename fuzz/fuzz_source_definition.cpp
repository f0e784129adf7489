// A definition or frame format as a block sends it: through the definition factory (read,
// validate, write) and back. What was written must read back as the same class.

#include "FuzzSupport.h"

#include "datamodel/definitions/SourceDefinition.h"
#include "datamodel/frames/SourceFrameFormatDefinition.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstddef>
#include <cstdint>

using namespace kvr::tracker::common;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool once = (silenceMessages(), true);
    Q_UNUSED(once)
    if (size > 1 << 20)
        return 0;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size)));
    if (!document.isObject())
        return 0;
    const QJsonObject object = document.object();

    const auto definition = SourceDefinition::createFromJson(object);
    if (!definition)
        fuzzFailure("the factory returned no definition");
    definition->isValid(false);
    const QJsonObject written = definition->toJsonObject();
    const auto back = SourceDefinition::createFromJson(written);
    if (back->className() != definition->className())
        fuzzFailure("a written definition reads back as another class");
    back->compare(*definition, CompareParams::logic(false, true));
    SourceDefinition::createFromQVariant(object.toVariantMap())->compare(*definition, CompareParams::logic(false, true));

    SourceFrameFormatDefinition format;
    format.read(object);
    format.isValid(false);
    SourceFrameFormatDefinition formatBack;
    formatBack.read(format.toJsonObject());
    formatBack.compare(format, CompareParams::logic(false, true));
    return 0;
}
