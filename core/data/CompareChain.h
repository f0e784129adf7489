#pragma once

#include "core/data/CompareParams.h"
#include "core/data/CompareResult.h"
#include "core/data/SourceData.h"

#include <QtGlobal>

#include <algorithm>
#include <cstddef>

namespace kvr::tracker::common {

// The ordered tests of a compare_logic, holding the result. Each call answers whether the
// comparison goes on: true when the test held, or when all differences are asked for.
// Chain the calls with && so that a difference ends the comparison:
//
//     CompareChain c(params, Q_FUNC_INFO);
//     if (c.disabledAsDefault(*this, other))    // only where the class's rules say so
//         return c;
//     const Foo *otherSD = c.sameClass<Foo>(other);
//     if (!otherSD)
//         return c;
//     c(getA() == otherSD->getA(), "getA() == otherSD->getA()")
//         && c(getB().compare(otherSD->getB(), params), "getB().compare(otherSD->getB(), compareParams)")
//         && c.lists(getCs(), otherSD->getCs());
//     return c;
//
// A difference clears the equality flag and logs "Condition is false: " + its text at warning
// level under the calling function's name unless the params ask for silence. Texts must be
// string literals.
class CompareChain
{
public:
    CompareChain(const CompareParams &params, const char *function)
        : m_params(params)
        , m_function(function)
    {
    }

    template <std::size_t N>
    bool operator()(bool equal, const char (&text)[N])
    {
        if (Q_LIKELY(equal))
            return true;
        return differ(text, int(N - 1));
    }

    // A nested comparison: a difference also carries its first flag into the result.
    template <std::size_t N>
    bool operator()(const CompareResult &nested, const char (&text)[N])
    {
        if (Q_LIKELY(nested.equal))
            return true;
        m_result.first = m_result.first || nested.first;
        return differ(text, int(N - 1));
    }

    // `other` as T, or nullptr after making the result unequal in both flags and logging
    // "Comparing different types!" (unless silent).
    template <class T>
    const T *sameClass(const SourceData &other)
    {
        const T *cast = dynamic_cast<const T *>(&other);
        if (!cast)
            differentTypes();
        return cast;
    }

    // A disabled side that holds values compares as a default-constructed T. Returns true when
    // that decided the result (then return it), false when the comparison goes on.
    template <class T>
    bool disabledAsDefault(const T &self, const SourceData &other)
    {
        if (!self.getEnabled() && !self.valueMap().isEmpty()) {
            m_result = T().compare(other, m_params);
            return true;
        }
        if (!other.getEnabled() && !other.valueMap().isEmpty()) {
            m_result = self.compare(T(), m_params);
            return true;
        }
        return false;
    }

    // Two lists of records: "aC.size() == bC.size()", then pair by pair up to the smaller size
    // "aC[i].compare(bC[i], compareParams)".
    template <class Container>
    bool lists(const Container &aC, const Container &bC)
    {
        return lists(aC, bC, "aC.size() == bC.size()", "aC[i].compare(bC[i], compareParams)");
    }

    // The same with the texts of a Part that names its lists differently.
    template <class Container, std::size_t N1, std::size_t N2>
    bool lists(const Container &aC, const Container &bC, const char (&sizeText)[N1],
               const char (&elementText)[N2])
    {
        if (!(*this)(aC.size() == bC.size(), sizeText))
            return false;
        const auto count = std::min(aC.size(), bC.size());
        for (auto i = decltype(aC.size())(0); i < count; ++i) {
            if (!(*this)(aC[i].compare(bC[i], m_params), elementText))
                return false;
        }
        return true;
    }

    // Raises the first flag (a reference frame whose image signature differs).
    void setFirst() { m_result.first = true; }

    const CompareParams &params() const { return m_params; }
    const CompareResult &result() const { return m_result; }
    bool isEqual() const { return m_result.equal; }
    operator CompareResult() const { return m_result; }

private:
    bool differ(const char *text, int length);
    void differentTypes();

    CompareParams m_params;
    const char *m_function;
    CompareResult m_result;
};

} // namespace kvr::tracker::common
