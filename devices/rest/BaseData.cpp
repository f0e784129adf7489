#include "devices/rest/BaseData.h"

namespace restservice {

// Anchors the vtable of the payload family in one object file.
BaseData::~BaseData() = default;

} // namespace restservice
