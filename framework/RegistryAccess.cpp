#include "framework/RegistryAccess.h"

#include <cstring>

namespace {

void PutLong(std::vector<BYTE>& out, LONG v)
{
    auto u = std::uint32_t(v);
    out.insert(out.end(), {BYTE(u), BYTE(u >> 8), BYTE(u >> 16), BYTE(u >> 24)});
}

LONG GetLong(const BYTE* p)
{
    return LONG(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
                | std::uint32_t(p[3]) << 24);
}

std::vector<BYTE> TextBytes(const char* text, std::size_t length)
{
    std::vector<BYTE> data(text, text + length);
    data.push_back(0);
    return data;
}

constexpr std::size_t kLogFontBytes = 60;
constexpr std::size_t kRectBytes = 16;

} // namespace

// ---- roots ------------------------------------------------------------------

CSettingsStore* HKEY::GetStore() const
{
    switch (hive) {
    case currentUser:
    case classesRoot:
        return &CSettingsStore::User();
    case localMachine:
        return &CSettingsStore::Machine();
    case store:
        return pStore;
    default:
        return nullptr;
    }
}

std::string HKEY::GetPath() const
{
    if (hive == classesRoot)
        return "Software\\Classes";
    return path;
}

HKEY MakeRegistryRoot(CSettingsStore& store, std::string keyPath)
{
    HKEY root;
    root.hive = HKEY::store;
    root.pStore = &store;
    root.path = std::move(keyPath);
    return root;
}

// ---- CRegistryValue -----------------------------------------------------------

CRegistryValue::CRegistryValue(DWORD value)
    : m_data{BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)}, m_type(REG_DWORD)
{
}

CRegistryValue::CRegistryValue(const char* text, bool expand)
    : m_data(TextBytes(text ? text : "", text ? std::strlen(text) : 0)), m_type(expand ? REG_EXPAND_SZ : REG_SZ)
{
}

CRegistryValue::CRegistryValue(const std::string& text, bool expand)
    : m_data(TextBytes(text.data(), text.size())), m_type(expand ? REG_EXPAND_SZ : REG_SZ)
{
}

CRegistryValue::CRegistryValue(const void* data, DWORD length)
    : m_data(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + (data ? length : 0)),
      m_type(REG_BINARY)
{
}

CRegistryValue::CRegistryValue(const std::vector<BYTE>& block)
{
    if (!block.empty())
        Assign(REG_BINARY, block);
}

CRegistryValue::CRegistryValue(const std::vector<std::string>& texts) : m_type(REG_MULTI_SZ)
{
    for (const std::string& t : texts) {
        // A NUL inside a text would end the list early when read back.
        std::size_t n = std::min(t.size(), t.find('\0'));
        m_data.insert(m_data.end(), t.begin(), t.begin() + std::ptrdiff_t(n));
        m_data.push_back(0);
    }
    if (m_data.empty())
        m_data.push_back(0);
    m_data.push_back(0);
}

CRegistryValue::CRegistryValue(const LOGFONT& font) : m_type(REG_BINARY)
{
    m_data.reserve(kLogFontBytes);
    PutLong(m_data, font.lfHeight);
    PutLong(m_data, font.lfWidth);
    PutLong(m_data, font.lfEscapement);
    PutLong(m_data, font.lfOrientation);
    PutLong(m_data, font.lfWeight);
    m_data.insert(m_data.end(), {font.lfItalic, font.lfUnderline, font.lfStrikeOut, font.lfCharSet,
                                 font.lfOutPrecision, font.lfClipPrecision, font.lfQuality, font.lfPitchAndFamily});
    char face[LF_FACESIZE] = {};
    std::size_t n = strnlen(font.lfFaceName, LF_FACESIZE - 1);
    std::memcpy(face, font.lfFaceName, n);
    m_data.insert(m_data.end(), face, face + LF_FACESIZE);
}

CRegistryValue::CRegistryValue(const RECT& rect) : m_type(REG_BINARY)
{
    PutLong(m_data, rect.left);
    PutLong(m_data, rect.top);
    PutLong(m_data, rect.right);
    PutLong(m_data, rect.bottom);
}

void CRegistryValue::Assign(DWORD type, std::vector<BYTE> data)
{
    m_type = type;
    m_data = std::move(data);
}

void CRegistryValue::Free()
{
    m_data.clear();
    m_data.shrink_to_fit();
}

bool CRegistryValue::GetDWORD(DWORD& value) const
{
    // Only a value of exactly four bytes is a number; the big-endian kind is
    // stored most significant byte first.
    if (m_data.size() != 4)
        return false;
    const BYTE* d = m_data.data();
    if (m_type == REG_DWORD)
        value = DWORD(d[0]) | DWORD(d[1]) << 8 | DWORD(d[2]) << 16 | DWORD(d[3]) << 24;
    else if (m_type == REG_DWORD_BIG_ENDIAN)
        value = DWORD(d[3]) | DWORD(d[2]) << 8 | DWORD(d[1]) << 16 | DWORD(d[0]) << 24;
    else
        return false;
    return true;
}

bool CRegistryValue::GetString(std::string& text) const
{
    if (m_type != REG_SZ && m_type != REG_EXPAND_SZ && m_type != REG_LINK)
        return false;
    // A value written by hand may lack its NUL; it then ends with its bytes.
    auto begin = reinterpret_cast<const char*>(m_data.data());
    text.assign(begin, strnlen(begin, m_data.size()));
    return true;
}

bool CRegistryValue::GetStringArray(std::vector<std::string>& texts) const
{
    if (m_type != REG_MULTI_SZ)
        return false;
    texts.clear();
    auto p = reinterpret_cast<const char*>(m_data.data());
    std::size_t left = m_data.size();
    while (left > 0) {
        std::size_t n = strnlen(p, left);
        if (n == 0)
            break; // the empty text ends the list
        texts.emplace_back(p, n);
        std::size_t used = std::min(left, n + 1);
        p += used;
        left -= used;
    }
    return true;
}

bool CRegistryValue::GetBinary(void* data, DWORD length) const
{
    if (m_type != REG_BINARY && m_type != REG_RESOURCE_LIST && m_type != REG_FULL_RESOURCE_DESCRIPTOR)
        return false;
    if (length != m_data.size())
        return false;
    if (length)
        std::memcpy(data, m_data.data(), length);
    return true;
}

bool CRegistryValue::GetGlobal(std::vector<BYTE>& block) const
{
    if (m_type != REG_BINARY)
        return false;
    block = m_data;
    return true;
}

bool CRegistryValue::GetLogFont(LOGFONT& font) const
{
    if (m_type != REG_BINARY || m_data.size() != kLogFontBytes)
        return false;
    const BYTE* d = m_data.data();
    font.lfHeight = GetLong(d);
    font.lfWidth = GetLong(d + 4);
    font.lfEscapement = GetLong(d + 8);
    font.lfOrientation = GetLong(d + 12);
    font.lfWeight = GetLong(d + 16);
    font.lfItalic = d[20];
    font.lfUnderline = d[21];
    font.lfStrikeOut = d[22];
    font.lfCharSet = d[23];
    font.lfOutPrecision = d[24];
    font.lfClipPrecision = d[25];
    font.lfQuality = d[26];
    font.lfPitchAndFamily = d[27];
    std::memcpy(font.lfFaceName, d + 28, LF_FACESIZE);
    font.lfFaceName[LF_FACESIZE - 1] = 0; // a stored name need not end in NUL
    return true;
}

bool CRegistryValue::GetRect(RECT& rect) const
{
    if (m_type != REG_BINARY || m_data.size() != kRectBytes)
        return false;
    const BYTE* d = m_data.data();
    rect.left = GetLong(d);
    rect.top = GetLong(d + 4);
    rect.right = GetLong(d + 8);
    rect.bottom = GetLong(d + 12);
    return true;
}

// ---- CRegistryAccess ----------------------------------------------------------

CRegistryAccess::CRegistryAccess(HKEY root) : m_root(std::move(root)) {}

HKEY CRegistryAccess::SetRoot(HKEY root)
{
    HKEY previous = std::move(m_root);
    m_root = std::move(root);
    return previous;
}

std::string CRegistryAccess::FullPath(const char* keyPath) const
{
    std::string base = m_root.GetPath();
    if (!keyPath || !*keyPath)
        return base;
    return base.empty() ? std::string(keyPath) : base + '\\' + keyPath;
}

bool CRegistryAccess::Read(const char* keyPath, const char* valueName, CRegistryValue& value) const
{
    CSettingsStore* store = m_root.GetStore();
    CSettingsStore::Value stored;
    if (!store || !store->GetValue(FullPath(keyPath), valueName ? valueName : "", stored))
        return false;
    value.Assign(stored.kind, std::move(stored.data));
    return true;
}

bool CRegistryAccess::ReadDWORD(const char* keyPath, const char* valueName, DWORD& value) const
{
    CRegistryValue v;
    return Read(keyPath, valueName, v) && v.GetDWORD(value);
}

bool CRegistryAccess::ReadBinary(const char* keyPath, const char* valueName, void* data, DWORD size) const
{
    CRegistryValue v;
    return Read(keyPath, valueName, v) && v.GetBinary(data, size);
}

bool CRegistryAccess::ReadGlobal(const char* keyPath, const char* valueName, std::vector<BYTE>& block) const
{
    CRegistryValue v;
    return Read(keyPath, valueName, v) && v.GetGlobal(block);
}

bool CRegistryAccess::ReadString(const char* keyPath, const char* valueName, std::string& text) const
{
    CRegistryValue v;
    return Read(keyPath, valueName, v) && v.GetString(text);
}

bool CRegistryAccess::ReadStringArray(const char* keyPath, const char* valueName,
                                      std::vector<std::string>& texts) const
{
    CRegistryValue v;
    return Read(keyPath, valueName, v) && v.GetStringArray(texts);
}

bool CRegistryAccess::ReadLogFont(const char* keyPath, const char* valueName, LOGFONT& font) const
{
    CRegistryValue v;
    return Read(keyPath, valueName, v) && v.GetLogFont(font);
}

bool CRegistryAccess::ReadRect(const char* keyPath, const char* valueName, RECT& rect) const
{
    CRegistryValue v;
    return Read(keyPath, valueName, v) && v.GetRect(rect);
}

bool CRegistryAccess::Write(const char* keyPath, const char* valueName, const CRegistryValue& value)
{
    CSettingsStore* store = m_root.GetStore();
    return store
        && store->SetValue(FullPath(keyPath), valueName ? valueName : "",
                           CSettingsStore::Value{value.GetType(), value.Bytes()});
}

bool CRegistryAccess::WriteDWORD(const char* keyPath, const char* valueName, DWORD value)
{
    return Write(keyPath, valueName, CRegistryValue(value));
}

bool CRegistryAccess::WriteBinary(const char* keyPath, const char* valueName, const void* data, DWORD length)
{
    return Write(keyPath, valueName, CRegistryValue(data, length));
}

bool CRegistryAccess::WriteGlobal(const char* keyPath, const char* valueName, const std::vector<BYTE>& block)
{
    return !block.empty() && Write(keyPath, valueName, CRegistryValue(block));
}

bool CRegistryAccess::WriteString(const char* keyPath, const char* valueName, const char* text)
{
    return Write(keyPath, valueName, CRegistryValue(text));
}

bool CRegistryAccess::WriteStringArray(const char* keyPath, const char* valueName,
                                       const std::vector<std::string>& texts)
{
    return Write(keyPath, valueName, CRegistryValue(texts));
}

bool CRegistryAccess::WriteLogFont(const char* keyPath, const char* valueName, const LOGFONT& font)
{
    return Write(keyPath, valueName, CRegistryValue(font));
}

bool CRegistryAccess::WriteRect(const char* keyPath, const char* valueName, const RECT& rect)
{
    return Write(keyPath, valueName, CRegistryValue(rect));
}

bool CRegistryAccess::Delete(const char* keyPath, const char* valueName)
{
    CSettingsStore* store = m_root.GetStore();
    if (!store)
        return false;
    std::string path = FullPath(keyPath);
    if (valueName)
        return store->DeleteValue(path, valueName);
    // The root itself is never deleted: a stray null path must not empty the store.
    if (!keyPath || !*keyPath)
        return false;
    // Deepest first, and a key that cannot be deleted ends the whole delete:
    // listing the same first subkey again after a failure would never end.
    std::vector<std::string> subkeys;
    if (!store->GetSubkeyNames(path, subkeys))
        return false;
    for (const std::string& name : subkeys) {
        std::string child = keyPath && *keyPath ? std::string(keyPath) + '\\' + name : name;
        if (!Delete(child.c_str(), nullptr))
            return false;
    }
    return store->DeleteKey(path);
}

bool CRegistryAccess::QueryInfo(const char* keyPath, int* subkeyCount, int* valueCount) const
{
    if (subkeyCount)
        *subkeyCount = 0;
    if (valueCount)
        *valueCount = 0;
    CSettingsStore* store = m_root.GetStore();
    std::vector<std::string> keys;
    std::vector<std::pair<std::string, CSettingsStore::Value>> values;
    std::string path = FullPath(keyPath);
    if (!store || !store->GetSubkeyNames(path, keys) || !store->GetValues(path, values))
        return false;
    if (subkeyCount)
        *subkeyCount = int(keys.size());
    if (valueCount)
        *valueCount = int(values.size());
    return !keys.empty() || !values.empty();
}

bool CRegistryAccess::Connect(const char* machineName, HKEY hive)
{
    if (machineName && *machineName)
        return false; // no remote settings: the root stays as it was
    if (hive.hive == HKEY::none)
        return false;
    m_root = std::move(hive);
    return true;
}

bool CRegistryAccess::Enumerate(const char* keyPath, UINT flags)
{
    return EnumerateKey(keyPath ? std::string(keyPath) : std::string(), flags, 0);
}

bool CRegistryAccess::EnumerateKey(const std::string& relativePath, UINT flags, int depth)
{
    CSettingsStore* store = m_root.GetStore();
    if (!store)
        return false;
    std::string path = FullPath(relativePath.c_str());
    std::vector<std::string> subkeys;
    if (!store->GetSubkeyNames(path, subkeys))
        return false;
    if (flags & enumValues) {
        std::vector<std::pair<std::string, CSettingsStore::Value>> values;
        store->GetValues(path, values);
        for (auto& [name, stored] : values) {
            CRegistryValue value;
            value.Assign(stored.kind, std::move(stored.data));
            if (!OnValue(relativePath.c_str(), name.c_str(), value, depth))
                return false;
        }
    }
    for (const std::string& name : subkeys) {
        if ((flags & enumKeys) && !OnKey(name.c_str(), depth))
            return false;
        std::string child = relativePath.empty() ? name : relativePath + '\\' + name;
        // A subkey that went away meanwhile is skipped, as one that cannot be opened.
        if (!store->KeyExists(FullPath(child.c_str())))
            continue;
        if (!EnumerateKey(child, flags, depth + 1))
            return false;
    }
    return true;
}

bool CRegistryAccess::OnValue(const char*, const char*, const CRegistryValue&, int) { return false; }

bool CRegistryAccess::OnKey(const char*, int) { return false; }

bool SetClassesRootString(const char* keyPath, const char* value, const char* valueName)
{
    CRegistryAccess access(HKEY_CLASSES_ROOT);
    return keyPath && access.WriteString(keyPath, valueName ? valueName : "", value);
}

bool SetClassesRootBinary(const char* keyPath, const BYTE* data, DWORD length, const char* valueName)
{
    CRegistryAccess access(HKEY_CLASSES_ROOT);
    return keyPath && access.WriteBinary(keyPath, valueName ? valueName : "", data, length);
}
