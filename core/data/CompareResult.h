#pragma once

namespace kvr::tracker::common {

// Result of SourceData::compare: the first flag and the equality flag, in this order.
// The first flag is raised by a reference frame whose image signature differs and carried up
// by every record that holds one; only `equal` is acted upon outside the comparisons.
struct CompareResult
{
    bool first = false;
    bool equal = true;

    explicit operator bool() const { return equal; }
};

} // namespace kvr::tracker::common
