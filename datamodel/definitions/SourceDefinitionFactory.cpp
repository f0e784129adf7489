#include "datamodel/definitions/SourceDefinitionFactory.h"

#include "datamodel/definitions/SourceCUBEDefinition.h"
#include "datamodel/definitions/SourceQMTDefinition.h"
#include "datamodel/definitions/SourceRADARDefinition.h"
#include "datamodel/definitions/SourceVIDEODefinition.h"

namespace kvr::tracker::common {

namespace {

template <class T>
std::shared_ptr<SourceDefinition> create()
{
    return std::make_shared<T>();
}

} // namespace

const std::vector<DefaultCreator> &defaultCreators()
{
    using Type = SourceDefinition::SourceDefinitionType;
    static const std::vector<DefaultCreator> creators{
        {Type::Video, &create<SourceVIDEODefinition>, &replaceRecordingByQMT},
        {Type::Cube, &create<SourceCUBEDefinition>, nullptr},
        {Type::QMT, &create<SourceQMTDefinition>, nullptr},
        {Type::Radar, &create<SourceRADARDefinition>, nullptr},
    };
    return creators;
}

bool namesRecordingFile(const QString &connectionString)
{
    const QString path = connectionString.trimmed();
    return !path.contains(QLatin1Char('@'))
        && (path.endsWith(QLatin1String(".tlg")) || path.endsWith(QLatin1String(".tlgx")));
}

std::shared_ptr<SourceDefinition> replaceRecordingByQMT(std::shared_ptr<SourceDefinition> definition)
{
    const auto video = std::dynamic_pointer_cast<SourceVIDEODefinition>(definition);
    if (!video)
        return definition;
    const QString connectionString = video->getInputParams().getConnectionString();
    if (!namesRecordingFile(connectionString))
        return definition;
    auto qmt = std::make_shared<SourceQMTDefinition>();
    qmt->setLogFilePath(connectionString.trimmed());
    return qmt;
}

} // namespace kvr::tracker::common
