#pragma once

#include "datamodel/definitions/SourceDefinition.h"

#include <QString>

#include <memory>
#include <vector>

namespace kvr::tracker::common {

// The classes the definition factory starts with, one per definition type.
struct DefaultCreator
{
    SourceDefinition::SourceDefinitionType type;
    SourceDefinition::CreateFunction create;
    SourceDefinition::AdjustFunction adjust;
};

const std::vector<DefaultCreator> &defaultCreators();

// A video input that names a recording file (trimmed, no "@", ending in ".tlg" or ".tlgx",
// case-sensitive) is played back as a QMT source.
bool namesRecordingFile(const QString &connectionString);

// The video definition itself, or a fresh QMT definition whose only own value is the trimmed
// recording path when its input names a recording file.
std::shared_ptr<SourceDefinition> replaceRecordingByQMT(std::shared_ptr<SourceDefinition> definition);

} // namespace kvr::tracker::common
