#include "app/VersionBranch.h"

#include "app/VersionInfoModel.h"

VersionBranch::VersionBranch()
    : VersionBranch(-1, QString())
{
}

VersionBranch::VersionBranch(int id, QString name, std::shared_ptr<VersionInfoModel> versions)
    : m_id(id)
    , m_name(std::move(name))
    , m_versions(versions ? std::move(versions) : std::make_shared<VersionInfoModel>())
{
}

bool VersionBranch::operator==(const VersionBranch &other) const
{
    return m_id == other.m_id && m_name == other.m_name && m_versions == other.m_versions;
}
