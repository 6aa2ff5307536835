// One section of a property set: a format id, its values in order and a
// dictionary of property names.
#pragma once

#include "framework/PropertyStoreValue.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CPropertyStoreSection : public CObject {
    DECLARE_DYNAMIC(CPropertyStoreSection)
public:
    CPropertyStoreSection() = default;
    explicit CPropertyStoreSection(const FMTID& formatId) : m_formatId(formatId) {}

    // Replaces the value of that id or appends a new one; false for an unsupported type.
    bool Set(DWORD id, const void* value, DWORD type);
    // Copies the value's data (after any count word) into buffer; false when
    // the value is missing or empty or bufferSize is too small.
    bool Get(DWORD id, void* buffer, std::size_t bufferSize) const;
    // The value's data and size, or null.
    const BYTE* Get(DWORD id, std::size_t* size) const;
    const CPropertyStoreValue* GetValue(DWORD id) const;
    void Remove(DWORD id);
    void RemoveAll();

    const FMTID& GetFormatId() const { return m_formatId; }
    void SetFormatId(const FMTID& formatId) { m_formatId = formatId; }
    DWORD GetCount() const { return DWORD(m_values.size()); }
    // Size in bytes as last read or written.
    DWORD GetSize() const { return m_size; }

    // Enters a property name (kept in lower case); false when it is already there.
    bool SetName(DWORD id, std::string_view name);
    // Finds a name's id without regard to case.
    bool GetId(std::string_view name, DWORD* id) const;
    void SetSectionName(std::string_view name) { m_sectionName = std::string(name); }
    const std::string& GetSectionName() const { return m_sectionName; }

    // Appends the section to out; property 0 (always written) holds the dictionary.
    void WriteToStream(std::vector<BYTE>& out);
    // Reads the section at data (size bytes to the end of the stream); false on any damage.
    bool ReadFromStream(const BYTE* data, std::size_t size);

    // Longest dictionary name in bytes without its terminating zero.
    static constexpr std::size_t kMaxNameBytes = 254;

private:
    FMTID m_formatId;
    DWORD m_size = 0;
    std::vector<std::unique_ptr<CPropertyStoreValue>> m_values;
    std::map<std::string, DWORD> m_names; // lower-case name -> id
    std::string m_sectionName;
};
