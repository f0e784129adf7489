#pragma once

#include "core/data/SourceData.h"
#include "datamodel/params/SourceDefinitionReferenceFrameParams.h"

#include <QJsonObject>
#include <QVariant>

#include <memory>

namespace kvr::tracker::common {

class SourceVIDEODefinition;
class SourceCUBEDefinition;

// Base of the source definitions (class version 2). Keys "source_definition_name",
// "source_definition_type" (the type's key text) and "reference_frame_parameters".
class SourceDefinition : public SourceData, public std::enable_shared_from_this<SourceDefinition>
{
    Q_GADGET

public:
    enum class SourceDefinitionType { Unknown = 0, Video = 1, Cube = 2, QMT = 3, Radar = 4 };
    Q_ENUM(SourceDefinitionType)

    // Stores the type's key text; a typed definition passes its own type.
    explicit SourceDefinition(SourceDefinitionType type = SourceDefinitionType::Unknown);

    // "source_definition_type"; Unknown when absent or not a key text.
    SourceDefinitionType getType() const;
    QString getName() const;
    void setName(const QString &name);

    // A default (disabled) block when absent; a copy: set it back to change it.
    SourceDefinitionReferenceFrameParams getReferenceFrameParams() const;
    void setReferenceFrameParams(const SourceDefinitionReferenceFrameParams &params);
    // The key is present and the stored reference-frame parameters are enabled (their
    // default is disabled).
    Q_INVOKABLE bool hasReferenceFrameParams() const;

    // --- Factory ---
    using CreateFunction = std::shared_ptr<SourceDefinition> (*)();
    // May replace a definition after it has read its data (a video definition that names a
    // recording file becomes a QMT definition); returns the definition to hand out.
    using AdjustFunction = std::shared_ptr<SourceDefinition> (*)(std::shared_ptr<SourceDefinition>);

    // Makes `create` the class of `type` for both factory functions. Thread-safe; a later
    // registration of the same type replaces the earlier one. Unknown always gives the base.
    static void registerCreator(SourceDefinitionType type, CreateFunction create, AdjustFunction adjust = nullptr);
    static void unregisterCreator(SourceDefinitionType type);

    // The type is looked up in the object where a definition's read finds it; the registered
    // class of that type then reads the object with the caller's options. A type without a
    // registered class gives the base definition. Never null.
    static std::shared_ptr<SourceDefinition> createFromJson(const QJsonObject &object,
                                                            const SourceDataReadOptions &options = SourceDataReadOptions());
    // The same from a variant map (setQVariantData).
    static std::shared_ptr<SourceDefinition> createFromQVariant(const QVariant &data);
    // Registers the video, cube, QMT and radar classes (with the recording rule of the video
    // class) again, replacing other registrations of those types. The factory starts with them.
    static void registerDefaultCreators();

    // Type-checked downcasts: null when this is not a definition of that class. A definition
    // owned by a shared pointer is handed out as itself; any other as a copy (sharing the map).
    std::shared_ptr<const SourceVIDEODefinition> toVIDEOSrcDefCPtr() const;
    std::shared_ptr<SourceVIDEODefinition> toVIDEODefinitionPtr();
    std::shared_ptr<SourceCUBEDefinition> toCUBEDefinitionPtr();

protected:
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceDefinition)
Q_DECLARE_METATYPE(std::shared_ptr<kvr::tracker::common::SourceDefinition>)
