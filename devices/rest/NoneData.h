#pragma once

#include "devices/rest/BaseData.h"

namespace restservice {

// No body, a body that could not be decoded, or an unsupported Content-Type.
class NoneData : public BaseData
{
};

} // namespace restservice
