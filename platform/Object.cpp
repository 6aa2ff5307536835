#include "platform/Object.h"

#include <map>
#include <mutex>
#include <string>

namespace {

struct ClassRegistry {
    std::mutex lock;
    std::map<std::string, const CRuntimeClass*, std::less<>> byName;
};

ClassRegistry& Registry()
{
    static ClassRegistry registry;
    return registry;
}

} // namespace

const CRuntimeClass CObject::classCObject = {"CObject", NON_SERIAL_SCHEMA, nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

void CObject::Serialize(CArchive&) {}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == base)
            return true;
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(std::string_view name)
{
    ClassRegistry& r = Registry();
    std::lock_guard guard(r.lock);
    auto it = r.byName.find(name);
    return it == r.byName.end() ? nullptr : it->second;
}

CClassRegistration::CClassRegistration(const CRuntimeClass* cls)
{
    ClassRegistry& r = Registry();
    std::lock_guard guard(r.lock);
    r.byName.emplace(cls->m_lpszClassName, cls);
}
