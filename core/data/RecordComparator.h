#pragma once

#include <QMetaType>

namespace kvr::tracker::common {

namespace detail {
bool registerEquals(bool alreadyRegistered, bool (*registerFunction)(), const char *constructor);
}

// Registers T's equality (SourceData::operator==) with QMetaType once per process, so that two
// QVariants holding T compare by meaning. Call from each constructor of a record class:
//     registerRecordComparator<Foo>(Q_FUNC_INFO);
// A failed registration logs "Failed to register comparator. This will result in undefined
// behaviour." at error level under the constructor's name; the record is made all the same.
// After the first call this costs one guarded static load.
template <class T>
void registerRecordComparator(const char *constructor)
{
    static const bool registered = detail::registerEquals(
        QMetaType::hasRegisteredComparators<T>(), [] { return QMetaType::registerEqualsComparator<T>(); },
        constructor);
    Q_UNUSED(registered);
}

} // namespace kvr::tracker::common
