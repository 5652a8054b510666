#include "query/branch.h"

namespace query {

void BranchRegistry::add(const QString& label, Branch branch)
{
    m_branches.insert(label, std::move(branch));
    m_notBuilt.remove(label);
}

void BranchRegistry::addNotBuilt(const QString& label)
{
    m_branches.insert(label, [](RunContext&) { return BranchResult::notBuilt(); });
    m_notBuilt.insert(label);
}

const Branch* BranchRegistry::find(const QString& label) const
{
    const auto it = m_branches.constFind(label);
    return it == m_branches.cend() ? nullptr : &it.value();
}

}  // namespace query
