#pragma once

#include <QVariantMap>

#include <array>
#include <cstddef>

namespace kvr::tracker::common {

// Remembers value maps that passed a class's validation, so that the nested reads and
// comparisons of a cube (which validate each camera at every level) do not repeat the work.
// Each entry holds a copy of the map, so a map still shared with it has the same content; a
// changed record detaches and is validated afresh. Only passes are remembered: a failure must
// be validated again to log its lines. One instance per class and thread (not thread-safe).
// Room for the cameras of a large cube: a cube's validation walks all of its cameras before it
// comes back to the first. Holding the copies keeps up to that many dropped maps alive.
class ValidMapMemo
{
public:
    bool knownValid(const QVariantMap &map) const;
    void remember(const QVariantMap &map);

private:
    static constexpr std::size_t kSize = 32;
    std::array<QVariantMap, kSize> m_maps;
    std::size_t m_next = 0;
};

} // namespace kvr::tracker::common
