#pragma once

#include <QObject>
#include <QtGlobal>

#include <functional>
#include <type_traits>
#include <utility>

// The notifying setter of a QObject property in one call: compares, assigns, emits `changed`
// (with no argument, or with the stored value) and returns whether the value changed, so a
// setter that does more on a change keeps that work in sight.
//
//     void X::setFoo(const T &foo) { assignProperty(this, m_foo, foo, &X::fooChanged); }
//
// `equal` decides what counts as no change: `==` by default (QPointF's is already fuzzy), or
// one of the fuzzy rules below where QML sends doubles that jitter in their last bits.
template <typename Sender, typename Field, typename Value, typename Signal, typename... Args,
          typename Equal = std::equal_to<>>
bool assignProperty(Sender *sender, Field &field, Value &&value, void (Signal::*changed)(Args...),
                    Equal equal = Equal())
{
    static_assert(std::is_base_of<Signal, Sender>::value, "the signal must be the sender's");
    static_assert(sizeof...(Args) <= 1, "a change signal carries at most the new value");
    if (equal(field, value))
        return false;
    field = std::forward<Value>(value);
    if constexpr (sizeof...(Args) == 0)
        Q_EMIT(sender->*changed)();
    else
        Q_EMIT(sender->*changed)(field);
    return true;
}

// Qt's relative rule: a change below 1e-12 of the smaller magnitude is none; 0 equals only 0.
inline bool fuzzyRelativeEqual(double a, double b)
{
    return qFuzzyCompare(a, b);
}

// Shifted by one, so that values near 0 compare by their absolute difference.
inline bool fuzzyShiftedEqual(double a, double b)
{
    return qFuzzyCompare(a + 1.0, b + 1.0);
}
