#pragma once

#include "app/services/TimeConverter.h"
#include "devices/rest/ICompare.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QStringList>
#include <QVector>

#include <memory>
#include <vector>

// The account a block returns on log-in ("/users/auth"). GUI thread only; shared between the
// log-in handler and QML through a shared pointer.
class User : public QObject, public ICompare
{
    Q_OBJECT
    Q_PROPERTY(bool modified READ modified WRITE setModified NOTIFY modifiedChanged)
    Q_PROPERTY(Role role READ role WRITE setRole NOTIFY roleChanged)
    Q_PROPERTY(QString roleName READ roleName WRITE setRoleName NOTIFY roleNameChanged)
    Q_PROPERTY(QString translatedRoleName READ translatedRoleName WRITE setTranslatedRoleName
                   NOTIFY translatedRoleNameChanged)
    Q_PROPERTY(QString firstName READ firstName WRITE setFirstName NOTIFY firstNameChanged)
    Q_PROPERTY(QString lastName READ lastName WRITE setLastName NOTIFY lastNameChanged)
    Q_PROPERTY(QStringList mails READ mails WRITE setMails NOTIFY mailsChanged)
    Q_PROPERTY(QString userName READ userName WRITE setUserName NOTIFY userNameChanged)
    Q_PROPERTY(QString password READ password WRITE setPassword NOTIFY passwordChanged)
    Q_PROPERTY(QImage image READ image WRITE setImage NOTIFY imageChanged)
    Q_PROPERTY(Permissions defaultPermission READ defaultPermission WRITE setDefaultPermission
                   NOTIFY defaultPermissionChanged)
    Q_PROPERTY(bool demoUser READ demoUser WRITE setDemoUser NOTIFY demoUserChanged)
    Q_PROPERTY(QStringList accessTokens READ accessTokens WRITE setAccessTokens NOTIFY accessTokensChanged)
    Q_PROPERTY(bool unlimited READ unlimited WRITE setUnlimited NOTIFY unlimitedChanged)
    Q_PROPERTY(std::vector<utils::gui::TimeConverter::TimeSettings> timeSettings READ timeSettings
                   WRITE setTimeSettings NOTIFY timeSettingsChanged)
    Q_PROPERTY(QVector<int> availableCubesIds READ availableCubesIds NOTIFY availableCubesChanged)
    Q_PROPERTY(QVector<int> availableDashboardsIds READ availableDashboardsIds NOTIFY availableDashboardsChanged)
    Q_PROPERTY(QString accessTokensString READ accessTokensString NOTIFY accessTokensStringChanged)
    Q_PROPERTY(bool isSuperAdmin READ isSuperAdmin NOTIFY roleChanged)
    Q_PROPERTY(bool isAdmin READ isAdmin NOTIFY roleChanged)
    Q_PROPERTY(bool isAnalyst READ isAnalyst NOTIFY roleChanged)
    Q_PROPERTY(bool isViewer READ isViewer NOTIFY roleChanged)

public:
    enum class Role { Viewer = 0, Analyst = 1, Admin = 2, SuperAdmin = 3 };
    Q_ENUM(Role)
    enum class Permissions { NoAccess = 0, Read = 1, Write = 2 };
    Q_ENUM(Permissions)

    struct ObjectPermissions
    {
        qint32 id = 0;
        Permissions permission = Permissions::NoAccess;

        bool operator==(const ObjectPermissions &other) const
        {
            return id == other.id && permission == other.permission;
        }
        bool operator!=(const ObjectPermissions &other) const { return !(*this == other); }
    };
    using TimeSettings = utils::gui::TimeConverter::TimeSettings;

    explicit User(const QJsonObject &json, QObject *parent = nullptr);
    explicit User(QObject *parent = nullptr);
    ~User() override;

    bool modified() const { return m_modified; }
    Role role() const { return m_role; }
    QString roleName() const { return m_roleName; }
    QString translatedRoleName() const { return m_translatedRoleName; }
    QString firstName() const { return m_firstName; }
    QString lastName() const { return m_lastName; }
    QStringList mails() const { return m_mails; }
    QString userName() const { return m_userName; }
    QString password() const { return m_password; }
    QByteArray hashPassword() const { return m_hashPassword; }
    QByteArray hashSalt() const { return m_hashSalt; }
    int additionalHashIterations() const { return m_additionalHashIterations; }
    QImage image() const { return m_image; }
    Permissions defaultPermission() const { return m_defaultPermission; }
    bool demoUser() const { return m_demoUser; }
    QVector<ObjectPermissions> availableCubes() const { return m_availableCubes; }
    QVector<ObjectPermissions> availableDashboards() const { return m_availableDashboards; }
    QStringList accessTokens() const { return m_accessTokens; }
    QString lastUpdateTime() const { return m_lastUpdateTime; }
    bool unlimited() const { return m_unlimited; }
    std::vector<TimeSettings> timeSettings() const { return m_timeSettings; }

    QVector<int> availableCubesIds() const;
    QVector<int> availableDashboardsIds() const;
    QString accessTokensString() const;
    bool isSuperAdmin() const { return m_role == Role::SuperAdmin; }
    bool isAdmin() const { return m_role == Role::Admin; }
    bool isAnalyst() const { return m_role == Role::Analyst; }
    bool isViewer() const { return m_role == Role::Viewer; }

    Q_INVOKABLE QString roleToString(int role) const;

    void setHashPassword(const QByteArray &value) { m_hashPassword = value; }
    void setHashSalt(const QByteArray &value) { m_hashSalt = value; }
    void setAdditionalHashIterations(int value) { m_additionalHashIterations = value; }
    void setLastUpdateTime(const QString &value) { m_lastUpdateTime = value; }

    // First entry with the id gets the permission, else one is appended. No signal.
    void setCubePermissions(int cubeId, Permissions permissions);
    // A Viewer may only read: every Write becomes Read. No signal.
    void checkPermissions();
    bool canViewCube(int cubeId) const;
    bool canEditCube(int cubeId) const;
    // At TimeConverter's clock: admins and unlimited accounts never expire; otherwise one of the
    // time windows must admit the current moment.
    bool isExpired() const;

    virtual void clear();

    void storeOrig() override;
    ChangeType compare() override;
    void restoreOrig() override;
    virtual ChangeType comparePassword();
    virtual ChangeType compareNoPassword();
    virtual QString getStoredUserName();
    virtual QVector<ObjectPermissions> getStoredPermissions();
    virtual Permissions getStoredDefaultPermission();

public slots:
    void setModified(bool modified);
    void setRole(User::Role role);
    void setFirstName(const QString &firstName);
    void setLastName(const QString &lastName);
    void setMails(const QStringList &mails);
    void setUserName(const QString &userName);
    void setPassword(const QString &password);
    void setImage(const QImage &image);
    void setDefaultPermission(User::Permissions permission);
    void setDemoUser(bool demoUser);
    void setUnlimited(bool unlimited);
    void setTimeSettings(const std::vector<utils::gui::TimeConverter::TimeSettings> &timeSettings);
    void setAvailableCubes(const QVector<User::ObjectPermissions> &cubes);
    void setAvailableDashboards(const QVector<User::ObjectPermissions> &dashboards);
    void setAccessTokens(const QStringList &tokens);
    void setRoleName(const QString &roleName);
    void setTranslatedRoleName(const QString &translatedRoleName);
    void handleChanges();

signals:
    void modifiedChanged();
    void roleChanged();
    void roleNameChanged();
    void translatedRoleNameChanged();
    void firstNameChanged();
    void lastNameChanged();
    void mailsChanged();
    void userNameChanged();
    void passwordChanged();
    void imageChanged();
    void defaultPermissionChanged();
    void demoUserChanged();
    void availableCubesChanged();
    void availableDashboardsChanged();
    void accessTokensChanged(QStringList accessTokens);
    void accessTokensStringChanged(QString accessTokensString);
    void unlimitedChanged();
    void timeSettingsChanged();

private:
    void read(const QJsonObject &json);
    bool hasSnapshot(const char *function) const;
    ChangeType compareFields(bool withPassword) const;
    static Permissions permissionFromString(const QString &text);
    static QVector<ObjectPermissions> permissionsFromArray(const QJsonArray &array);
    static void copyFields(const User &from, User &to);

    bool m_modified = false;
    Role m_role = Role::Viewer;
    QString m_roleName;
    QString m_translatedRoleName;
    QString m_firstName;
    QString m_lastName;
    QStringList m_mails{QString()};
    QString m_userName;
    QString m_password;
    QByteArray m_hashPassword;
    QByteArray m_hashSalt;
    qint32 m_additionalHashIterations = -1;
    QImage m_image;
    Permissions m_defaultPermission = Permissions::NoAccess;
    bool m_demoUser = false;
    QVector<ObjectPermissions> m_availableCubes;
    QVector<ObjectPermissions> m_availableDashboards;
    QStringList m_accessTokens;
    QString m_lastUpdateTime;
    bool m_unlimited = true;
    std::vector<TimeSettings> m_timeSettings;
    std::shared_ptr<User> m_stored; // snapshot for the ICompare side, owned here alone
};

Q_DECLARE_METATYPE(std::vector<utils::gui::TimeConverter::TimeSettings>)
Q_DECLARE_METATYPE(User::ObjectPermissions)
