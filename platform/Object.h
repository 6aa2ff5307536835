// Root of the stored-object hierarchy: every class that is written to an
// archive by reference derives from CObject and carries a CRuntimeClass record
// (its name, schema, factory and base), so that a reader can create the class
// that was stored by its name alone.
#pragma once

#include "platform/Types.h"

#include <string_view>

class CArchive;
class CObject;

// Marks a schema under which every stored version is accepted; the class then
// tells versions apart itself through its own version word.
constexpr UINT VERSIONABLE_SCHEMA = 0x80000000u;
// Schema of classes that can be identified at run time but never stored.
constexpr UINT NON_SERIAL_SCHEMA = 0xFFFFu;

struct CRuntimeClass {
    const char* m_lpszClassName;
    UINT m_wSchema;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    bool IsDerivedFrom(const CRuntimeClass* base) const;
    bool IsSerializable() const { return m_wSchema != NON_SERIAL_SCHEMA && m_pfnCreateObject; }
    bool IsVersionable() const { return (m_wSchema & VERSIONABLE_SCHEMA) != 0 && IsSerializable(); }
    // The schema as stored: the low 16 bits.
    WORD StoredSchema() const { return WORD(m_wSchema & 0xFFFF); }

    // The registered class of that exact name, or null.
    static const CRuntimeClass* FromName(std::string_view name);
};

// Registers a creatable class by name; instantiated by IMPLEMENT_DYNCREATE and IMPLEMENT_SERIAL.
struct CClassRegistration {
    explicit CClassRegistration(const CRuntimeClass* cls);
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual void Serialize(CArchive& ar);

    bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }
    bool IsSerializable() const { return GetRuntimeClass()->IsSerializable(); }

    static const CRuntimeClass classCObject;
    static const CRuntimeClass* GetThisClass() { return &classCObject; }

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(cls) (&cls::class##cls)

#define DECLARE_DYNAMIC(cls)                                                   \
public:                                                                        \
    static const CRuntimeClass class##cls;                                     \
    static const CRuntimeClass* GetThisClass() { return &class##cls; }         \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(cls)                                                 \
    DECLARE_DYNAMIC(cls)                                                       \
    static CObject* CreateObject();

#define DECLARE_SERIAL(cls) DECLARE_DYNCREATE(cls)

#define MX_IMPLEMENT_RUNTIMECLASS(cls, base, schema, factory)                  \
    const CRuntimeClass cls::class##cls = {#cls, (schema), (factory), RUNTIME_CLASS(base)}; \
    const CRuntimeClass* cls::GetRuntimeClass() const { return RUNTIME_CLASS(cls); }

#define IMPLEMENT_DYNAMIC(cls, base)                                           \
    MX_IMPLEMENT_RUNTIMECLASS(cls, base, NON_SERIAL_SCHEMA, nullptr)

#define IMPLEMENT_DYNCREATE(cls, base)                                         \
    CObject* cls::CreateObject() { return new cls; }                           \
    MX_IMPLEMENT_RUNTIMECLASS(cls, base, NON_SERIAL_SCHEMA, &cls::CreateObject) \
    static const CClassRegistration s_registration_##cls(RUNTIME_CLASS(cls));

#define IMPLEMENT_SERIAL(cls, base, schema)                                    \
    CObject* cls::CreateObject() { return new cls; }                           \
    MX_IMPLEMENT_RUNTIMECLASS(cls, base, (schema), &cls::CreateObject)         \
    static const CClassRegistration s_registration_##cls(RUNTIME_CLASS(cls));
