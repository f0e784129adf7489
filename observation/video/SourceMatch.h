#pragma once

#include "datamodel/definitions/SourceDefinition.h"
#include "datamodel/frames/SourceFrameFormatDefinition.h"

#include <memory>

// How the frame path decides that two source definitions or two frame formats name the same
// thing: a quiet logical comparison; definitions must also be of the same type, tested first
// because it is cheap and most frames of a shared node belong to other sources.
class SourceMatch
{
public:
    static bool sameDefinition(const std::shared_ptr<kvr::tracker::common::SourceDefinition> &a,
                               const std::shared_ptr<kvr::tracker::common::SourceDefinition> &b);
    static bool sameFormat(const kvr::tracker::common::SourceFrameFormatDefinition &a,
                           const kvr::tracker::common::SourceFrameFormatDefinition &b);
};
