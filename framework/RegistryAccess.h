// Registry-style access to the settings stores: typed value buffers, and reads,
// writes, deletes and enumeration of values below one root key.
#pragma once

#include "platform/SettingsStore.h"
#include "platform/Types.h"

#include <string>
#include <vector>

// Value kinds by their registry names.
enum : DWORD {
    REG_NONE = CSettingsStore::kindNone,
    REG_SZ = CSettingsStore::kindString,
    REG_EXPAND_SZ = CSettingsStore::kindExpandString,
    REG_BINARY = CSettingsStore::kindBinary,
    REG_DWORD = CSettingsStore::kindDword,
    REG_DWORD_BIG_ENDIAN = CSettingsStore::kindDwordBigEndian,
    REG_LINK = CSettingsStore::kindLink,
    REG_MULTI_SZ = CSettingsStore::kindMultiString,
    REG_RESOURCE_LIST = CSettingsStore::kindResourceList,
    REG_FULL_RESOURCE_DESCRIPTOR = CSettingsStore::kindFullResourceDescriptor,
};

// A root key: a key of a settings store. The predefined hives name their
// store by kind and find it when used, so that they follow the configuration
// folders of the moment; a root made from a store object uses that object.
struct HKEY {
    enum Hive { none, currentUser, localMachine, classesRoot, store };
    Hive hive = none;
    CSettingsStore* pStore = nullptr; // only for Hive store
    std::string path;                 // key path inside the store

    // The store and the key path inside it; null for no root.
    CSettingsStore* GetStore() const;
    std::string GetPath() const;
    friend bool operator==(const HKEY&, const HKEY&) = default;
};

// The per-user store; the machine-wide store (read only); and the per-user
// file-type classes, kept under "Software\Classes" of the per-user store.
inline const HKEY HKEY_CURRENT_USER{HKEY::currentUser, nullptr, {}};
inline const HKEY HKEY_LOCAL_MACHINE{HKEY::localMachine, nullptr, {}};
inline const HKEY HKEY_CLASSES_ROOT{HKEY::classesRoot, nullptr, {}};
// A root at keyPath of the given store.
HKEY MakeRegistryRoot(CSettingsStore& store, std::string keyPath = {});

// A typed value buffer: the bytes of one value and its kind.
class CRegistryValue {
public:
    CRegistryValue() = default;
    explicit CRegistryValue(DWORD value);
    // REG_SZ (or REG_EXPAND_SZ when asked): the text and its NUL; a null text is stored as an empty one.
    explicit CRegistryValue(const char* text, bool expand = false);
    explicit CRegistryValue(const std::string& text, bool expand = false);
    // REG_BINARY.
    CRegistryValue(const void* data, DWORD length);
    // REG_BINARY holding a whole memory block; nothing for an empty block.
    explicit CRegistryValue(const std::vector<BYTE>& block);
    // REG_MULTI_SZ: each text and its NUL, then one more NUL; no texts gives two NULs.
    explicit CRegistryValue(const std::vector<std::string>& texts);
    // REG_BINARY of 60 and 16 bytes, in the registry's little-endian layout.
    explicit CRegistryValue(const LOGFONT& font);
    explicit CRegistryValue(const RECT& rect);

    // Conversions; each is false when the kind (and for fixed records the size) does not fit.
    bool GetDWORD(DWORD& value) const;
    bool GetString(std::string& text) const;
    bool GetStringArray(std::vector<std::string>& texts) const;
    bool GetBinary(void* data, DWORD length) const;
    bool GetGlobal(std::vector<BYTE>& block) const;
    bool GetLogFont(LOGFONT& font) const;
    bool GetRect(RECT& rect) const;

    DWORD GetType() const { return m_type; }
    void SetType(DWORD type) { m_type = type; }
    DWORD GetSize() const { return DWORD(m_data.size()); }
    const BYTE* GetData() const { return m_data.data(); }
    void Free();

    // Replaces the bytes and the kind.
    void Assign(DWORD type, std::vector<BYTE> data);
    const std::vector<BYTE>& Bytes() const { return m_data; }

private:
    std::vector<BYTE> m_data;
    DWORD m_type = REG_NONE;
};

// Reads, writes, deletes and enumerates values below a root key; every key
// path is relative to the root. Every failure answers false and reports nothing.
class CRegistryAccess {
public:
    enum EnumFlags : UINT { enumValues = 1, enumKeys = 2 };

    explicit CRegistryAccess(HKEY root = HKEY_CURRENT_USER);
    CRegistryAccess(const CRegistryAccess&) = default;
    CRegistryAccess& operator=(const CRegistryAccess&) = default;
    virtual ~CRegistryAccess() = default;

    HKEY SetRoot(HKEY root);
    const HKEY& GetRoot() const { return m_root; }

    // Reading never creates a key.
    bool Read(const char* keyPath, const char* valueName, CRegistryValue& value) const;
    bool ReadDWORD(const char* keyPath, const char* valueName, DWORD& value) const;
    bool ReadBinary(const char* keyPath, const char* valueName, void* data, DWORD size) const;
    bool ReadGlobal(const char* keyPath, const char* valueName, std::vector<BYTE>& block) const;
    bool ReadString(const char* keyPath, const char* valueName, std::string& text) const;
    bool ReadStringArray(const char* keyPath, const char* valueName, std::vector<std::string>& texts) const;
    bool ReadLogFont(const char* keyPath, const char* valueName, LOGFONT& font) const;
    bool ReadRect(const char* keyPath, const char* valueName, RECT& rect) const;

    // Creates the key when it is missing.
    bool Write(const char* keyPath, const char* valueName, const CRegistryValue& value);
    bool WriteDWORD(const char* keyPath, const char* valueName, DWORD value);
    bool WriteBinary(const char* keyPath, const char* valueName, const void* data, DWORD length);
    bool WriteGlobal(const char* keyPath, const char* valueName, const std::vector<BYTE>& block);
    bool WriteString(const char* keyPath, const char* valueName, const char* text);
    bool WriteStringArray(const char* keyPath, const char* valueName, const std::vector<std::string>& texts);
    bool WriteLogFont(const char* keyPath, const char* valueName, const LOGFONT& font);
    bool WriteRect(const char* keyPath, const char* valueName, const RECT& rect);

    // With a value name, deletes that value; without one (null), deletes the key
    // and everything below it, deepest first, stopping at the first failure.
    // The root itself (a null or empty key path) is never deleted.
    bool Delete(const char* keyPath, const char* valueName = nullptr);
    // Both counts are zeroed first; true when the key has any subkey or value.
    bool QueryInfo(const char* keyPath, int* subkeyCount, int* valueCount) const;
    // Another machine's settings cannot be reached: true only for this machine
    // (a null or empty name), which makes the hive the root.
    bool Connect(const char* machineName, HKEY hive);
    // Visits the values (enumValues) and subkeys (enumKeys) of keyPath and,
    // recursively, of its subkeys; a null path is the root itself. A call-back
    // that answers false ends the walk with false.
    bool Enumerate(const char* keyPath, UINT flags);

protected:
    virtual bool OnValue(const char* keyPath, const char* valueName, const CRegistryValue& value, int depth);
    virtual bool OnKey(const char* keyName, int depth);

private:
    bool EnumerateKey(const std::string& relativePath, UINT flags, int depth);
    std::string FullPath(const char* keyPath) const;

    HKEY m_root;
};

// Sets a text value of the per-user file-type classes: without a value name
// the key's default value, with one the named value. True on success.
bool SetClassesRootString(const char* keyPath, const char* value, const char* valueName = nullptr);
bool SetClassesRootBinary(const char* keyPath, const BYTE* data, DWORD length, const char* valueName = nullptr);
