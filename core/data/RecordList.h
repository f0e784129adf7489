#pragma once

#include "core/data/CompareChain.h"
#include "core/data/SourceData.h"
#include "core/data/ValidityChain.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kvr::tracker::common {

// A record that holds one list of records under one key (zones, watchers): valid when every
// element is, compared element by element, a disabled record comparing as a default one.
// `Derived` names itself in `Derived::ClassName` ("kvr::tracker::common::Foo"), so its log
// lines carry its own function names rather than this template's.
//     class Foo : public RecordList<Foo, FooZone>
//     { public: static constexpr const char *ClassName = "kvr::tracker::common::Foo"; ... };
template <class Derived, class Item, class List = QList<Item>>
class RecordList : public SourceData
{
protected:
    RecordList(quint32 version, const QString &key)
        : SourceData(version)
        , m_key(key)
    {
    }

    List items() const { return getList<Item, List>(m_key); }
    void setItems(const List &list) { setList(m_key, list); }

    bool isValid_impl(bool skipWrn) const override
    {
        if (!getEnabled())
            return true;
        ValidityChain v(skipWrn, functionName(IsValid));
        return v.each(items(), [skipWrn](const Item &ci) { return ci.isValid(skipWrn); }, "ci.isValid(skipWrn)");
    }

    void read_impl(const QJsonObject &data, quint32 /*version*/, const SourceDataReadOptions &options) override
    {
        readList<Item>(data, m_key, options);
    }

    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override
    {
        writeList<Item>(data, m_key, options);
    }

    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override
    {
        CompareChain c(params, functionName(CompareLogic));
        if (c.disabledAsDefault(static_cast<const Derived &>(*this), other))
            return c;
        const auto *otherSD = c.template sameClass<Derived>(other);
        if (!otherSD)
            return c;
        c.lists(items(), otherSD->items());
        return c;
    }

private:
    enum Function { IsValid, CompareLogic };

    // Built once per class: the chains keep the pointer for as long as they log.
    static const char *functionName(Function function)
    {
        static const QByteArray isValid = QByteArray(Derived::ClassName) + "::isValid_impl";
        static const QByteArray compareLogic = QByteArray(Derived::ClassName) + "::compare_logic";
        return function == IsValid ? isValid.constData() : compareLogic.constData();
    }

    QString m_key;
};

} // namespace kvr::tracker::common
