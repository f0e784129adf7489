#pragma once

#include "core/data/SourceData.h"

#include <QColor>
#include <QPointF>

namespace kvr::tracker::common {

// The time stamp the overlay prints into a frame: format, place, font, colours and size.
// Disabled when "enabled" is absent. The position counts only while the location is Undefined.
class SourceVisualizationTimestamp : public SourceData
{
    Q_GADGET
    Q_PROPERTY(QString format READ getFormat WRITE setFormat)
    Q_PROPERTY(Location location READ getLocation WRITE setLocation)
    Q_PROPERTY(QPointF position READ getPosition WRITE setPosition)
    Q_PROPERTY(FontType fontType READ getFontType WRITE setFontType)
    Q_PROPERTY(QColor textColor READ getTextColor WRITE setTextColor)
    Q_PROPERTY(QColor backroundColor READ getBackroundColor WRITE setBackroundColor)
    Q_PROPERTY(ushort textThickness READ getTextThickness WRITE setTextThickness)
    Q_PROPERTY(ushort textSizeMultiplier READ getTextSizeMultiplier WRITE setTextSizeMultiplier)

public:
    // OpenCV's font faces with OpenCV's codes.
    enum class FontType {
        FONT_HERSHEY_SIMPLEX = 0,
        FONT_HERSHEY_PLAIN = 1,
        FONT_HERSHEY_DUPLEX = 2,
        FONT_HERSHEY_COMPLEX = 3,
        FONT_HERSHEY_TRIPLEX = 4,
        FONT_HERSHEY_COMPLEX_SMALL = 5,
        FONT_HERSHEY_SCRIPT_SIMPLEX = 6,
        FONT_HERSHEY_SCRIPT_COMPLEX = 7,
        FONT_ITALIC = 16,
    };
    Q_ENUM(FontType)
    enum class Location { Undefined = 0, TopLeft = 1, TopRight = 2, BottomRight = 3, BottomLeft = 4, Center = 5 };
    Q_ENUM(Location)

    static constexpr quint16 TEXT_SIZE_MULTIPLIER_MAX = 10000;

    SourceVisualizationTimestamp();

    QString getFormat() const;           // "yyyy-MM-ddTHH:mm:ss.zzz" when absent
    void setFormat(const QString &format);
    Location getLocation() const;        // BottomRight when absent, Undefined for an unknown text
    void setLocation(Location location);
    QPointF getPosition() const;         // (0, 0) when absent; normalised to the frame
    void setPosition(const QPointF &position);
    FontType getFontType() const;        // FONT_HERSHEY_DUPLEX when absent or unknown
    void setFontType(FontType fontType);
    QColor getTextColor() const;         // black when absent
    void setTextColor(const QColor &color);
    QColor getBackroundColor() const;    // opaque grey #ffb7b7b7 when absent
    void setBackroundColor(const QColor &color);
    quint16 getTextThickness() const;    // 1 when absent
    void setTextThickness(quint16 thickness);
    quint16 getTextSizeMultiplier() const; // 70 when absent
    void setTextSizeMultiplier(quint16 multiplier);

    static FontType fontTypeFromText(const QString &text); // unknown text: FONT_HERSHEY_DUPLEX
    static Location locationFromText(const QString &text); // unknown text: Undefined

protected:
    bool defaultEnabled() const override;
    bool isValid_impl(bool skipWrn) const override;
    void read_impl(const QJsonObject &data, quint32 version, const SourceDataReadOptions &options) override;
    void write_impl(QJsonObject &data, const SourceDataWriteOptions &options) const override;
    CompareResult compare_logic(const SourceData &other, const CompareParams &params) const override;
};

} // namespace kvr::tracker::common

Q_DECLARE_METATYPE(kvr::tracker::common::SourceVisualizationTimestamp)
