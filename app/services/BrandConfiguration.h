#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

// The product's branding. Built-in values stand until a brand package replaces them.
// Process-wide; lives in the GUI thread.
class BrandConfiguration : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString productName READ productName NOTIFY brandChanged)
    Q_PROPERTY(QString deviceName READ deviceName NOTIFY brandChanged)
    Q_PROPERTY(QString trackerName READ trackerName NOTIFY brandChanged)
    Q_PROPERTY(QString applicationName READ applicationName NOTIFY brandChanged)
    Q_PROPERTY(QString demoKitName READ demoKitName NOTIFY brandChanged)
    Q_PROPERTY(QString logoPath READ logoPath NOTIFY brandChanged)
    Q_PROPERTY(QString iconPath READ iconPath NOTIFY brandChanged)
    Q_PROPERTY(QString headingColor READ headingColor NOTIFY brandChanged)
    Q_PROPERTY(QVariantMap helpLinks READ helpLinks NOTIFY brandChanged)
    Q_PROPERTY(QVariantMap aboutLinks READ aboutLinks NOTIFY brandChanged)
    Q_PROPERTY(bool isCustom READ isCustom NOTIFY brandChanged)

public:
    static BrandConfiguration *instance();

    QString productName() const { return m_productName; }
    QString deviceName() const { return m_deviceName; }
    QString trackerName() const { return m_trackerName; }
    QString applicationName() const { return m_applicationName; }
    QString demoKitName() const { return m_demoKitName; }
    QString logoPath() const { return m_logoPath; }
    QString iconPath() const { return m_iconPath; }
    QString headingColor() const { return m_headingColor; }
    QVariantMap helpLinks() const { return m_helpLinks; }
    QVariantMap aboutLinks() const { return m_aboutLinks; }
    bool isCustom() const { return m_custom; }
    QString packagePath() const { return m_packagePath; }

    // Takes a brand package. Returns false, keeping the built-in brand, when it cannot be read.
    bool loadPackage(const QString &path);

signals:
    void brandChanged();

private:
    explicit BrandConfiguration(QObject *parent = nullptr);

    QString m_productName;
    QString m_deviceName;
    QString m_trackerName;
    QString m_applicationName;
    QString m_demoKitName;
    QString m_logoPath;
    QString m_iconPath;
    QString m_headingColor;
    QVariantMap m_helpLinks;
    QVariantMap m_aboutLinks;
    QString m_packagePath;
    bool m_custom = false;
};
