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
class ValidMapMemo
{
public:
    bool knownValid(const QVariantMap &map) const;
    void remember(const QVariantMap &map);

private:
    static constexpr std::size_t kSize = 8;
    std::array<QVariantMap, kSize> m_maps;
    std::size_t m_next = 0;
};

} // namespace kvr::tracker::common
