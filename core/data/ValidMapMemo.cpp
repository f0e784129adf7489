#include "core/data/ValidMapMemo.h"

namespace kvr::tracker::common {

bool ValidMapMemo::knownValid(const QVariantMap &map) const
{
    if (map.isEmpty())
        return false; // every empty map shares one static block
    for (const QVariantMap &held : m_maps) {
        if (held.isSharedWith(map))
            return true;
    }
    return false;
}

void ValidMapMemo::remember(const QVariantMap &map)
{
    if (map.isEmpty() || knownValid(map))
        return;
    m_maps[m_next] = map;
    m_next = (m_next + 1) % kSize;
}

} // namespace kvr::tracker::common
