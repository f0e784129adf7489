#pragma once

#include <QMetaType>
#include <QString>

#include <memory>

class VersionInfoModel;

// A release branch of the client applications with the model of its versions. Copies share
// the version model.
class VersionBranch
{
public:
    VersionBranch();
    VersionBranch(int id, QString name, std::shared_ptr<VersionInfoModel> versions = {});

    int id() const { return m_id; }
    QString name() const { return m_name; }
    // Never null: a branch without versions holds an empty model.
    VersionInfoModel *versions() const { return m_versions.get(); }
    std::shared_ptr<VersionInfoModel> sharedVersions() const { return m_versions; }

    bool operator==(const VersionBranch &other) const;
    bool operator!=(const VersionBranch &other) const { return !(*this == other); }

private:
    int m_id = -1;
    QString m_name;
    std::shared_ptr<VersionInfoModel> m_versions;
};

Q_DECLARE_METATYPE(VersionBranch)
