#pragma once

#include <QtGlobal>

#include <cstddef>

namespace kvr::tracker::common {

// The ordered conditions of an isValid_impl. Chain the calls with && so that the first failing
// condition ends the test and later ones are never evaluated:
//
//     ValidityChain v(skipWrn, Q_FUNC_INFO);
//     return v(getA() >= 0, "getA() >= 0")
//         && v(!hasB() || getB().isValid(skipWrn), "!hasB() || getB().isValid(skipWrn)");
//
// A failed condition logs "Condition is false: " + its text at warning level under the calling
// function's name, unless skipWrn is set. Texts must be string literals.
class ValidityChain
{
public:
    ValidityChain(bool skipWrn, const char *function)
        : m_function(function)
        , m_skipWrn(skipWrn)
    {
    }

    template <std::size_t N>
    bool operator()(bool condition, const char (&text)[N]) const
    {
        if (Q_LIKELY(condition))
            return true;
        fail(text, int(N - 1));
        return false;
    }

    // Every element passes `test` (in order); the first that fails is logged with `text`.
    template <class List, class Test, std::size_t N>
    bool each(const List &list, Test test, const char (&text)[N]) const
    {
        for (const auto &element : list) {
            if (!test(element)) {
                fail(text, int(N - 1));
                return false;
            }
        }
        return true;
    }

    bool skipWrn() const { return m_skipWrn; }

private:
    void fail(const char *text, int length) const;

    const char *m_function;
    bool m_skipWrn;
};

} // namespace kvr::tracker::common
