#pragma once

#include <QString>
#include <QtGlobal>

namespace kvr::tracker::common {

// Options of SourceData::read and read_impl. The defaults clear the map, validate after reading
// and touch no heavy-data files.
struct SourceDataReadOptions
{
    bool keepExisting = false;     // keep the values already held instead of clearing the map
    bool skipValidation = false;   // no isValid() after reading
    bool heavyData = false;        // resolve the heavy-data directory (and read heavy files)
    QString heavyDataPathPrefix;   // in read_impl: the resolved heavy-data directory, empty for none
    QString heavyDataPath;         // used when the record holds no "heavy_data_path"
    quint32 elementIndex = 0;      // position in a list counted from 1, 0 for no list element
    bool flat = false;             // fields at the top level instead of under "data"
    bool noVersion = false;        // the data carries no "version": take the class version
};

} // namespace kvr::tracker::common
