// A storage of a compound file: a folder of named streams and storages.
// Names are up to 31 UTF-16 characters, none of '/', '\\', ':' or '!', and
// are matched without regard to case, as the file format orders them.
#pragma once

#include "platform/StorageStream.h"
#include "platform/Types.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CStorage;

// One element of a storage as EnumElements lists it.
struct CStorageElementInfo {
    enum Type { stream = 2, storage = 1 };
    std::string name; // UTF-8
    Type type = stream;
    std::uint64_t size = 0; // bytes of a stream; 0 for a storage
};

class CStorage {
public:
    // Streams of a storage with a slot go ahead to the slot's pending file as they grow.
    explicit CStorage(std::string name = {}, std::shared_ptr<CPendingSlot> slot = nullptr);
    ~CStorage();
    CStorage(const CStorage&) = delete;
    CStorage& operator=(const CStorage&) = delete;

    const std::string& GetName() const { return m_name; }

    // Creates an empty stream, replacing any element of that name (a stream
    // or a whole storage). Throws CFileException(badPath) for an invalid name.
    std::unique_ptr<CStorageStream> CreateStream(std::string_view name);
    // The stream of that name, positioned at its start; null when there is
    // none (or the element is a storage).
    std::unique_ptr<CStorageStream> OpenStream(std::string_view name);
    // Creates an empty storage, replacing any element of that name. The
    // storage belongs to this one.
    CStorage* CreateStorage(std::string_view name);
    // The storage of that name, or null.
    CStorage* OpenStorage(std::string_view name);
    // Removes the element of that name with everything under it; false when
    // there is none. Pointers to a removed storage become invalid.
    bool DestroyElement(std::string_view name);
    // Renames an element; false when the old name is missing or the new one
    // is taken by another element.
    bool RenameElement(std::string_view oldName, std::string_view newName);
    bool HasElement(std::string_view name) const;
    // The elements in the file's directory order (shorter names first, then
    // by upper-case characters).
    std::vector<CStorageElementInfo> EnumElements() const;

    // Class id and state bits stored with a storage (used by embedded objects).
    const CLSID& GetClassId() const { return m_clsid; }
    void SetClassId(const CLSID& clsid) { m_clsid = clsid; }
    DWORD GetStateBits() const { return m_stateBits; }
    void SetStateBits(DWORD bits) { m_stateBits = bits; }

    // Whether a name may be stored (1 to 31 UTF-16 units, no '/', '\\', ':', '!').
    static bool IsValidName(std::string_view name);

private:
    friend class CCompoundFile;
    friend class CCompoundFileReader;
    friend class CCompoundFileWriter;

    // Orders names as the file format's directory does: by length in UTF-16
    // units, then by upper-case code units.
    struct NameLess {
        bool operator()(const std::u16string& a, const std::u16string& b) const;
    };
    struct Element {
        std::string name;           // UTF-8, as given
        std::u16string name16;      // as stored
        std::unique_ptr<CStorage> storage;       // for a storage
        std::shared_ptr<CStreamData> data;       // for a stream
    };
    using ElementMap = std::map<std::u16string, Element, NameLess>; // keyed by upper case

    static std::u16string KeyOf(const std::u16string& name16);
    // Converts and checks a name; throws CFileException(badPath) when invalid.
    static std::u16string CheckedName(std::string_view name);
    Element* Find(std::string_view name);
    const Element* Find(std::string_view name) const;
    Element& Replace(std::string_view name);

    std::string m_name;
    std::shared_ptr<CPendingSlot> m_slot;
    ElementMap m_elements;
    CLSID m_clsid;
    DWORD m_stateBits = 0;
    FILETIME m_created;
    FILETIME m_modified;
};
