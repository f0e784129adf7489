#pragma once

#include <QString>
#include <QtGlobal>

namespace kvr::tracker::common {

// SourceData::WriteMode: how heavy data (reference images) travels.
enum class SourceDataWriteMode {
    Reduced = 0,         // heavy data is not written
    HeavyDataToJson = 1, // heavy data inside the JSON
    HeavyDataToFile = 2, // heavy data in files of the heavy-data directory
};

// Options of SourceData::write, toJsonObject and write_impl. The default keeps heavy data in the
// JSON so that nothing is lost by a plain write.
struct SourceDataWriteOptions
{
    SourceDataWriteMode writeMode = SourceDataWriteMode::HeavyDataToJson;
    QString heavyDataPathPrefix;   // in write_impl (HeavyDataToFile): the resolved directory, empty for none
    QString heavyDataPath;         // used when the record holds no "heavy_data_path"
    quint32 elementIndex = 0;      // position in a list counted from 1, 0 for no list element
    bool flat = false;             // fields at the top level instead of under "data"
    bool noVersion = false;        // do not write "version"
};

} // namespace kvr::tracker::common
