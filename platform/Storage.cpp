#include "platform/Storage.h"

#include "platform/CodePage.h"
#include "platform/Exceptions.h"

namespace {

// Upper case of one UTF-16 unit for name comparison: ASCII, Latin-1, Greek
// and Cyrillic letters, the ranges that names in practice use.
char16_t UpperUnit(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        return char16_t(c - 0x20);
    if (c < 0x80)
        return c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return char16_t(c - 0x20);
    if (c == 0xFF)
        return 0x178;
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
        // Latin Extended-A pairs: upper case at even code points up to U+0137,
        // at odd ones from U+0139 to U+0148 and again from U+0179.
        bool oddUpper = (c >= 0x139 && c <= 0x148) || c >= 0x179;
        bool isLower = oddUpper ? (c % 2 == 0) : (c % 2 == 1);
        return isLower ? char16_t(c - 1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)
        return char16_t(c - 0x20);
    if (c >= 0x430 && c <= 0x44F)
        return char16_t(c - 0x20);
    if (c >= 0x450 && c <= 0x45F)
        return char16_t(c - 0x50);
    return c;
}

} // namespace

CStorage::CStorage(std::string name, std::shared_ptr<CPendingSlot> slot)
    : m_name(std::move(name))
    , m_slot(std::move(slot))
{
}

CStorage::~CStorage() = default;

bool CStorage::NameLess::operator()(const std::u16string& a, const std::u16string& b) const
{
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

std::u16string CStorage::KeyOf(const std::u16string& name16)
{
    std::u16string key = name16;
    for (char16_t& c : key)
        c = UpperUnit(c);
    return key;
}

bool CStorage::IsValidName(std::string_view name)
{
    if (name.empty())
        return false;
    std::u16string name16 = Utf8ToUtf16(name);
    if (name16.size() > 31)
        return false;
    for (char16_t c : name16) {
        if (c == u'/' || c == u'\\' || c == u':' || c == u'!' || c == 0)
            return false;
    }
    return true;
}

std::u16string CStorage::CheckedName(std::string_view name)
{
    if (!IsValidName(name))
        throw CFileException(CFileException::badPath, 0, std::string(name));
    return Utf8ToUtf16(name);
}

CStorage::Element* CStorage::Find(std::string_view name)
{
    // Names read from a file are found even when this program would not
    // create them, so that every element listed can be opened.
    auto it = m_elements.find(KeyOf(Utf8ToUtf16(name)));
    return it == m_elements.end() ? nullptr : &it->second;
}

const CStorage::Element* CStorage::Find(std::string_view name) const
{
    return const_cast<CStorage*>(this)->Find(name);
}

CStorage::Element& CStorage::Replace(std::string_view name)
{
    std::u16string name16 = CheckedName(name);
    Element& e = m_elements[KeyOf(name16)];
    e.name = std::string(name);
    e.name16 = std::move(name16);
    e.storage.reset();
    e.data.reset();
    return e;
}

std::unique_ptr<CStorageStream> CStorage::CreateStream(std::string_view name)
{
    Element& e = Replace(name);
    e.data = std::make_shared<CStreamData>();
    return std::make_unique<CStorageStream>(e.data, e.name, m_slot);
}

std::unique_ptr<CStorageStream> CStorage::OpenStream(std::string_view name)
{
    Element* e = Find(name);
    if (!e || !e->data)
        return nullptr;
    return std::make_unique<CStorageStream>(e->data, e->name, m_slot);
}

CStorage* CStorage::CreateStorage(std::string_view name)
{
    Element& e = Replace(name);
    e.storage = std::make_unique<CStorage>(e.name, m_slot);
    return e.storage.get();
}

CStorage* CStorage::OpenStorage(std::string_view name)
{
    Element* e = Find(name);
    return e ? e->storage.get() : nullptr;
}

bool CStorage::DestroyElement(std::string_view name)
{
    return m_elements.erase(KeyOf(Utf8ToUtf16(name))) > 0;
}

bool CStorage::RenameElement(std::string_view oldName, std::string_view newName)
{
    if (!IsValidName(newName))
        return false;
    auto from = m_elements.find(KeyOf(Utf8ToUtf16(oldName)));
    if (from == m_elements.end())
        return false;
    std::u16string name16 = Utf8ToUtf16(newName);
    std::u16string key = KeyOf(name16);
    if (key != from->first && m_elements.count(key))
        return false;
    Element e = std::move(from->second);
    m_elements.erase(from);
    e.name = std::string(newName);
    e.name16 = std::move(name16);
    if (e.storage)
        e.storage->m_name = e.name;
    m_elements.emplace(std::move(key), std::move(e));
    return true;
}

bool CStorage::HasElement(std::string_view name) const
{
    return Find(name) != nullptr;
}

std::vector<CStorageElementInfo> CStorage::EnumElements() const
{
    std::vector<CStorageElementInfo> out;
    out.reserve(m_elements.size());
    for (const auto& [key, e] : m_elements) {
        CStorageElementInfo info;
        info.name = e.name;
        info.type = e.storage ? CStorageElementInfo::storage : CStorageElementInfo::stream;
        info.size = e.data ? e.data->Size() : 0;
        out.push_back(std::move(info));
    }
    return out;
}
