#include "observation/video/SourceMatch.h"

using kvr::tracker::common::CompareParams;
using kvr::tracker::common::SourceDefinition;
using kvr::tracker::common::SourceFrameFormatDefinition;

bool SourceMatch::sameDefinition(const std::shared_ptr<SourceDefinition> &a, const std::shared_ptr<SourceDefinition> &b)
{
    if (!a || !b)
        return false;
    if (a == b)
        return true;
    return a->getType() == b->getType() && a->compare(*b, CompareParams::logic(true)).equal;
}

bool SourceMatch::sameFormat(const SourceFrameFormatDefinition &a, const SourceFrameFormatDefinition &b)
{
    return a.compare(b, CompareParams::logic(true)).equal;
}
