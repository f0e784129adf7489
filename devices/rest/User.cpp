#include "devices/rest/User.h"

#include "core/log/Log.h"

#include <QBuffer>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonValue>

namespace {
constexpr qint64 kMaxImagePixels = 4096 * 4096;
}

using utils::gui::TimeConverter;

namespace {

const QString kDateTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");
const QString kTimeFormat = QStringLiteral("hh:mm:ss");

} // namespace

User::User(const QJsonObject &json, QObject *parent)
    : QObject(parent)
{
    read(json);
}

User::User(QObject *parent)
    : QObject(parent)
{
}

User::~User() = default;

void User::read(const QJsonObject &json)
{
    QStringList tokens;
    const QJsonArray tokenArray = json.value(QLatin1String("access_tokens")).toArray();
    for (const QJsonValue &token : tokenArray)
        tokens << token.toString();
    setAccessTokens(tokens);

    setFirstName(json.value(QLatin1String("first_name")).toString());
    setLastName(json.value(QLatin1String("last_name")).toString());
    setUserName(json.value(QLatin1String("username")).toString());

    if (json.contains(QLatin1String("hash_password"))) {
        m_hashPassword = QByteArray::fromBase64(json.value(QLatin1String("hash_password")).toString().toLatin1());
        m_hashSalt = QByteArray::fromBase64(json.value(QLatin1String("hash_salt")).toString().toLatin1());
        m_additionalHashIterations = json.value(QLatin1String("hash_iterations")).toInt(0);
    } else {
        setPassword(json.value(QLatin1String("password")).toString());
    }

    setDemoUser(json.value(QLatin1String("demo")).toBool(false));

    QImage image;
    if (json.contains(QLatin1String("image"))) {
        QByteArray png = QByteArray::fromBase64(json.value(QLatin1String("image")).toString().toUtf8());
        QBuffer buffer(&png);
        QImageReader reader(&buffer, "PNG");
        // A few hundred bytes of PNG can announce gigabytes of pixels: decode only a picture's size.
        const QSize size = reader.size();
        if (size.isValid() && qint64(size.width()) * size.height() > kMaxImagePixels)
            LOG_WRN(QStringLiteral("User image of %1x%2 pixels is too large, ignored.").arg(size.width()).arg(size.height()));
        else
            image = reader.read();
    }
    setImage(image);

    setDefaultPermission(permissionFromString(json.value(QLatin1String("default_permission")).toString()));
    m_lastUpdateTime = json.value(QLatin1String("last_change_timestamp")).toString();

    QStringList mails;
    const QJsonArray mailArray = json.value(QLatin1String("mails")).toArray();
    for (const QJsonValue &mail : mailArray)
        mails << mail.toString();
    if (mails.isEmpty())
        mails << QString();
    setMails(mails);

    const bool currentFormat = json.contains(QLatin1String("settings_version"))
        && json.value(QLatin1String("settings_version")).toInt() == 1;

    m_availableCubes.clear();
    const QJsonArray cubes = json.value(QLatin1String("available_cubes")).toArray();
    if (currentFormat) {
        m_availableCubes = permissionsFromArray(cubes);
    } else {
        // Older blocks list only the cube ids, each with full access.
        for (const QJsonValue &id : cubes)
            m_availableCubes.append({id.toInt(), Permissions::Write});
    }

    m_availableDashboards = permissionsFromArray(json.value(QLatin1String("available_dashboards")).toArray());

    if (json.contains(QLatin1String("role"))) {
        const QString role = json.value(QLatin1String("role")).toString();
        if (role == QLatin1String("superadmin"))
            setRole(Role::SuperAdmin);
        else if (role == QLatin1String("admin"))
            setRole(Role::Admin);
        else if (role == QLatin1String("analyst"))
            setRole(Role::Analyst);
        else
            setRole(Role::Viewer);
    }

    m_timeSettings.clear();
    const QJsonValue windows = json.value(QLatin1String("time_settings"));
    if (windows.isArray()) {
        const QJsonArray array = windows.toArray();
        for (const QJsonValue &value : array) {
            const QJsonObject object = value.toObject();
            TimeSettings window;
            for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
                const QString key = it.key();
                if (key == QLatin1String("FromDate"))
                    window.fromDate = it.value().toString();
                else if (key == QLatin1String("FromTime"))
                    window.fromTime = it.value().toString();
                else if (key == QLatin1String("ToDate"))
                    window.toDate = it.value().toString();
                else if (key == QLatin1String("ToTime"))
                    window.toTime = it.value().toString();
                else if (key == QLatin1String("Recurrence"))
                    window.recurrence = it.value().toBool(false);
                else if (key == QLatin1String("Days"))
                    window.days = it.value().toString();
            }
            m_timeSettings.push_back(window);
        }
    }

    if (json.contains(QLatin1String("unlimited")))
        setUnlimited(json.value(QLatin1String("unlimited")).toBool());
}

User::Permissions User::permissionFromString(const QString &text)
{
    if (text == QLatin1String("read"))
        return Permissions::Read;
    if (text == QLatin1String("write"))
        return Permissions::Write;
    return Permissions::NoAccess;
}

QVector<User::ObjectPermissions> User::permissionsFromArray(const QJsonArray &array)
{
    QVector<ObjectPermissions> out;
    for (const QJsonValue &value : array) {
        const QJsonObject object = value.toObject();
        out.append({object.value(QLatin1String("id")).toInt(),
                    permissionFromString(object.value(QLatin1String("permissions")).toString())});
    }
    return out;
}

QVector<int> User::availableCubesIds() const
{
    QVector<int> ids;
    for (const ObjectPermissions &cube : m_availableCubes) {
        if (cube.permission != Permissions::NoAccess)
            ids << cube.id;
    }
    return ids;
}

QVector<int> User::availableDashboardsIds() const
{
    QVector<int> ids;
    for (const ObjectPermissions &dashboard : m_availableDashboards) {
        if (dashboard.permission != Permissions::NoAccess)
            ids << dashboard.id;
    }
    return ids;
}

QString User::accessTokensString() const
{
    return m_accessTokens.join(QLatin1Char(','));
}

QString User::roleToString(int role) const
{
    switch (static_cast<Role>(role)) {
    case Role::Viewer: return QStringLiteral("viewer");
    case Role::Analyst: return QStringLiteral("analyst");
    case Role::Admin: return QStringLiteral("admin");
    case Role::SuperAdmin: return QStringLiteral("superadmin");
    }
    return QStringLiteral("NoAccess");
}

void User::setCubePermissions(int cubeId, Permissions permissions)
{
    for (ObjectPermissions &cube : m_availableCubes) {
        if (cube.id == cubeId) {
            cube.permission = permissions;
            return;
        }
    }
    m_availableCubes.append({cubeId, permissions});
}

void User::checkPermissions()
{
    if (m_role != Role::Viewer)
        return;
    for (ObjectPermissions &cube : m_availableCubes) {
        if (cube.permission == Permissions::Write)
            cube.permission = Permissions::Read;
    }
}

bool User::canViewCube(int cubeId) const
{
    if (m_role == Role::Admin || m_role == Role::SuperAdmin)
        return true;
    for (const ObjectPermissions &cube : m_availableCubes) {
        if (cube.id == cubeId)
            return cube.permission == Permissions::Read || cube.permission == Permissions::Write;
    }
    return false;
}

bool User::canEditCube(int cubeId) const
{
    if (m_role == Role::Admin || m_role == Role::SuperAdmin)
        return true;
    for (const ObjectPermissions &cube : m_availableCubes) {
        if (cube.id == cubeId)
            return cube.permission == Permissions::Write;
    }
    return false;
}

bool User::isExpired() const
{
    if (m_role == Role::Admin || m_role == Role::SuperAdmin || m_unlimited)
        return false;
    if (m_timeSettings.empty())
        return true;

    for (const TimeSettings &window : m_timeSettings) {
        QString fromDate = window.fromDate;
        QString fromTime = window.fromTime;
        QString toDate = window.toDate;
        QString toTime = window.toTime;
        TimeConverter::processTimeFormat(fromDate, fromTime, toDate, toTime, true);
        const QDateTime from = QDateTime::fromString(fromDate + QLatin1Char(' ') + fromTime, kDateTimeFormat);
        const QDateTime to = QDateTime::fromString(toDate + QLatin1Char(' ') + toTime, kDateTimeFormat);
        const QDateTime now = TimeConverter::currentDateTime();
        if (from <= now && now <= to)
            return false;
        if (window.recurrence) {
            const int day = now.date().dayOfWeek();
            if (window.days.size() == 7 && window.days.at(day - 1) == QLatin1Char('1')) {
                const QTime start = QTime::fromString(fromTime, kTimeFormat);
                const QTime end = QTime::fromString(toTime, kTimeFormat);
                const QTime current = now.time();
                if (start <= current && current <= end)
                    return false;
            }
        }
    }
    return true;
}

void User::clear()
{
    m_role = Role::Viewer;
    m_accessTokens.clear();
    m_userName.clear();
    m_mails = QStringList{QString()};
    m_firstName.clear();
    m_lastName.clear();
    m_password.clear();
    m_defaultPermission = Permissions::NoAccess;
    m_availableCubes.clear();
    m_availableDashboards.clear();
    m_lastUpdateTime.clear();
    m_image = QImage();
    m_unlimited = true;
    m_timeSettings.clear();
    storeOrig();
}

void User::copyFields(const User &from, User &to)
{
    to.m_role = from.m_role;
    to.m_accessTokens = from.m_accessTokens;
    to.m_userName = from.m_userName;
    to.m_mails = from.m_mails;
    to.m_firstName = from.m_firstName;
    to.m_lastName = from.m_lastName;
    to.m_password = from.m_password;
    to.m_image = from.m_image;
    to.m_defaultPermission = from.m_defaultPermission;
    to.m_availableCubes = from.m_availableCubes;
    to.m_availableDashboards = from.m_availableDashboards;
    to.m_lastUpdateTime = from.m_lastUpdateTime;
    to.m_unlimited = from.m_unlimited;
    to.m_timeSettings = from.m_timeSettings;
}

void User::storeOrig()
{
    if (!m_stored)
        m_stored = std::make_shared<User>();
    copyFields(*this, *m_stored);
}

void User::restoreOrig()
{
    if (!m_stored)
        m_stored = std::make_shared<User>();
    copyFields(*m_stored, *this);
}

bool User::hasSnapshot(const char *function) const
{
    if (m_stored)
        return true;
    LOG_WRN(QStringLiteral("[Warning] %1 failed, call storeOrig method first").arg(QString::fromLatin1(function)));
    return false;
}

ICompare::ChangeType User::compareFields(bool withPassword) const
{
    const User &s = *m_stored;
    const bool changed = m_role != s.m_role || m_accessTokens != s.m_accessTokens || m_userName != s.m_userName
        || m_mails != s.m_mails || m_firstName != s.m_firstName || m_lastName != s.m_lastName
        || (withPassword && m_password != s.m_password) || m_image != s.m_image
        || m_defaultPermission != s.m_defaultPermission || m_availableCubes != s.m_availableCubes
        || m_availableDashboards != s.m_availableDashboards || m_unlimited != s.m_unlimited
        || !TimeConverter::compareTimeSettings(m_timeSettings, s.m_timeSettings);
    return changed ? Changed : NoChange;
}

ICompare::ChangeType User::compare()
{
    if (!hasSnapshot(Q_FUNC_INFO))
        return NoChange;
    return compareFields(true);
}

ICompare::ChangeType User::compareNoPassword()
{
    if (!hasSnapshot(Q_FUNC_INFO))
        return NoChange;
    return compareFields(false);
}

ICompare::ChangeType User::comparePassword()
{
    if (!hasSnapshot(Q_FUNC_INFO))
        return NoChange;
    return m_password != m_stored->m_password ? Changed : NoChange;
}

QString User::getStoredUserName()
{
    if (!hasSnapshot(Q_FUNC_INFO))
        return QString();
    return m_stored->m_userName;
}

QVector<User::ObjectPermissions> User::getStoredPermissions()
{
    if (!hasSnapshot(Q_FUNC_INFO))
        return {};
    return m_stored->m_availableCubes;
}

User::Permissions User::getStoredDefaultPermission()
{
    if (!hasSnapshot(Q_FUNC_INFO))
        return Permissions::NoAccess;
    return m_stored->m_defaultPermission;
}

void User::handleChanges()
{
    setModified(compare() != NoChange);
}

void User::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit modifiedChanged();
}

void User::setRole(User::Role role)
{
    if (m_role == role)
        return;
    m_role = role;
    emit roleChanged();
    switch (role) {
    case Role::Viewer:
        setRoleName(QStringLiteral("Viewer"));
        setTranslatedRoleName(tr("Viewer"));
        break;
    case Role::Analyst:
        setRoleName(QStringLiteral("Analyst"));
        setTranslatedRoleName(tr("Analyst"));
        break;
    case Role::Admin:
        setRoleName(QStringLiteral("Admin"));
        setTranslatedRoleName(tr("Admin"));
        break;
    case Role::SuperAdmin:
        setRoleName(QStringLiteral("SuperAdmin"));
        setTranslatedRoleName(tr("SuperAdmin"));
        break;
    }
}

void User::setFirstName(const QString &firstName)
{
    if (m_firstName == firstName)
        return;
    m_firstName = firstName;
    emit firstNameChanged();
}

void User::setLastName(const QString &lastName)
{
    if (m_lastName == lastName)
        return;
    m_lastName = lastName;
    emit lastNameChanged();
}

void User::setMails(const QStringList &mails)
{
    if (m_mails == mails)
        return;
    m_mails = mails;
    emit mailsChanged();
}

void User::setUserName(const QString &userName)
{
    if (m_userName == userName)
        return;
    m_userName = userName;
    emit userNameChanged();
}

void User::setPassword(const QString &password)
{
    if (m_password == password)
        return;
    m_password = password;
    emit passwordChanged();
}

void User::setImage(const QImage &image)
{
    if (m_image == image)
        return;
    m_image = image;
    emit imageChanged();
}

void User::setDefaultPermission(User::Permissions permission)
{
    if (m_defaultPermission == permission)
        return;
    m_defaultPermission = permission;
    emit defaultPermissionChanged();
}

void User::setDemoUser(bool demoUser)
{
    if (m_demoUser == demoUser)
        return;
    m_demoUser = demoUser;
    emit demoUserChanged();
}

void User::setUnlimited(bool unlimited)
{
    if (m_unlimited == unlimited)
        return;
    m_unlimited = unlimited;
    emit unlimitedChanged();
}

void User::setTimeSettings(const std::vector<TimeSettings> &timeSettings)
{
    if (TimeConverter::compareTimeSettings(m_timeSettings, timeSettings))
        return;
    m_timeSettings = timeSettings;
    emit timeSettingsChanged();
}

void User::setAvailableCubes(const QVector<User::ObjectPermissions> &cubes)
{
    if (m_availableCubes == cubes)
        return;
    m_availableCubes = cubes;
    emit availableCubesChanged();
}

void User::setAvailableDashboards(const QVector<User::ObjectPermissions> &dashboards)
{
    if (m_availableDashboards == dashboards)
        return;
    m_availableDashboards = dashboards;
    emit availableDashboardsChanged();
}

void User::setAccessTokens(const QStringList &tokens)
{
    if (m_accessTokens == tokens)
        return;
    m_accessTokens = tokens;
    emit accessTokensChanged(tokens);
    emit accessTokensStringChanged(accessTokensString());
}

void User::setRoleName(const QString &roleName)
{
    if (m_roleName == roleName)
        return;
    m_roleName = roleName;
    emit roleNameChanged();
}

void User::setTranslatedRoleName(const QString &translatedRoleName)
{
    if (m_translatedRoleName == translatedRoleName)
        return;
    m_translatedRoleName = translatedRoleName;
    emit translatedRoleNameChanged();
}
