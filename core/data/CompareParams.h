#pragma once

namespace kvr::tracker::common {

// SourceData::ContentType: what a comparison looks at.
enum class SourceDataContentType {
    Data = 0,  // the value maps, entry by entry
    Logic = 1, // the meaning: enabled state, validity and each class's compare_logic
};

// Options of SourceData::compare; passed unchanged to nested comparisons.
struct CompareParams
{
    int number = 0; // caller's own tag; the comparisons do not look at it
    SourceDataContentType contentType = SourceDataContentType::Logic;
    bool silent = false;         // no log lines
    bool allDifferences = false; // go on after the first difference so that every one is logged

    static CompareParams logic(bool silent = false, bool allDifferences = false)
    {
        return {0, SourceDataContentType::Logic, silent, allDifferences};
    }
    static CompareParams data(bool silent = false)
    {
        return {0, SourceDataContentType::Data, silent, false};
    }
};

} // namespace kvr::tracker::common
