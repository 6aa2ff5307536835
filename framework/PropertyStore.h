// A property set in the standard property-set stream form (byte-order mark
// 0xFFFE, 8-bit strings in the code page named by property 1): a header and
// sections addressed by format id.
#pragma once

#include "framework/PropertyStoreSection.h"

#include <memory>
#include <vector>

class CFile;

class CPropertyStore {
public:
    CPropertyStore();

    CPropertyStoreSection* GetSection(const FMTID& formatId);
    const CPropertyStoreSection* GetSection(const FMTID& formatId) const;
    // The section of that format id, added when missing.
    CPropertyStoreSection* AddSection(const FMTID& formatId);
    void RemoveSection(const FMTID& formatId);
    void RemoveAll();

    // On the section of that format id, created when missing.
    bool Set(const FMTID& formatId, DWORD id, const void* value, DWORD type);
    bool Get(const FMTID& formatId, DWORD id, void* buffer, std::size_t bufferSize) const;
    const BYTE* Get(const FMTID& formatId, DWORD id, std::size_t* size) const;
    void Remove(const FMTID& formatId, DWORD id);

    WORD GetByteOrder() const { return m_byteOrder; }
    WORD GetFormatVersion() const { return m_formatVersion; }
    void SetFormatVersion(WORD version) { m_formatVersion = version; }
    DWORD GetOSVersion() const { return m_osVersion; }
    void SetOSVersion(DWORD version) { m_osVersion = version; }
    const CLSID& GetClassId() const { return m_classId; }
    void SetClassId(const CLSID& classId) { m_classId = classId; }
    DWORD GetCount() const { return DWORD(m_sections.size()); }

    // Writes the whole set at the file's position; false when the write fails.
    bool WriteToStream(CFile& file);
    // Reads a whole set from the file's position to its end; false (and the
    // store emptied) when the bytes are not a valid set.
    bool ReadFromStream(CFile& file);
    // The stored form, as WriteToStream writes it.
    std::vector<BYTE> ToBytes();
    bool FromBytes(const BYTE* data, std::size_t size);

private:
    WORD m_byteOrder = 0xFFFE;
    WORD m_formatVersion = 0;
    DWORD m_osVersion;
    CLSID m_classId;
    std::vector<std::unique_ptr<CPropertyStoreSection>> m_sections;
};
