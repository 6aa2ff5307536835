// A tree of keys holding typed values, kept in a text file: the program's
// replacement for the system registry. The per-user store lives in
// $MARLOX_CONFIG_DIR, else $XDG_CONFIG_HOME/Marlox, else ~/.config/Marlox; the
// machine-wide store in $MARLOX_SYSTEM_CONFIG_DIR, else /etc/xdg/Marlox, and
// is only ever read.
//
// Key paths are separated by backslashes and matched without regard to ASCII
// case; the empty path is the store's root. A value is a kind number (the
// registry's numbering, so that the registry-style code above keeps its
// meaning) and the bytes. The file is read once and held in memory; every
// change is written to the file at once, atomically, and every call first
// picks up a file that another process (or another store object over the
// same file) has replaced meanwhile, which a stat of the file tells.
//
// The file is plain text, one line per key header or value:
//   [Software\Brackmoor\Marlox\Preferences]
//   "LargeIcons" = dword 1
//   "Author Name" = string "A. N. Author"
//   "Placement" = binary 2C 00 00 00
//   "Filters" = multi "a.mxr" "b.mxr"
//   "Odd" = hex:5 00 00 01 00
// Texts use the escapes \\ \" \n \r \t \xHH. Lines starting with # or ; are
// comments. A line that does not parse is skipped and the rest is kept, so a
// damaged file loses only what is damaged.
#pragma once

#include "platform/Types.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class CSettingsStore {
public:
    // Value kinds, numbered as the registry numbers them.
    enum Kind : DWORD {
        kindNone = 0,
        kindString = 1,
        kindExpandString = 2,
        kindBinary = 3,
        kindDword = 4,
        kindDwordBigEndian = 5,
        kindLink = 6,
        kindMultiString = 7,
        kindResourceList = 8,
        kindFullResourceDescriptor = 9,
    };

    struct Value {
        DWORD kind = kindNone;
        std::vector<BYTE> data;
        friend bool operator==(const Value&, const Value&) = default;
    };

    // A store over the file at filePath (which need not exist yet). A read-only
    // store refuses every change.
    explicit CSettingsStore(std::string filePath, bool readOnly = false);
    ~CSettingsStore();
    CSettingsStore(const CSettingsStore&) = delete;
    CSettingsStore& operator=(const CSettingsStore&) = delete;

    // The per-user and machine-wide stores of the current configuration folders.
    // The folders are looked up at each call, so a changed environment (as tests
    // set it) gets its own store; the objects live until the program ends.
    static CSettingsStore& User();
    static CSettingsStore& Machine();
    static std::string UserConfigDir();
    static std::string SystemConfigDir();
    static constexpr const char* kFileName = "settings.conf";

    const std::string& GetFilePath() const { return m_filePath; }
    bool IsReadOnly() const { return m_readOnly; }

    bool KeyExists(std::string_view keyPath);
    // Creates the key and any missing parents; false for an invalid path or when
    // the store cannot be written.
    bool CreateKey(std::string_view keyPath);
    bool GetValue(std::string_view keyPath, std::string_view valueName, Value& value);
    // Creates the key when it is missing.
    bool SetValue(std::string_view keyPath, std::string_view valueName, const Value& value);
    // False when the key or the value is missing.
    bool DeleteValue(std::string_view keyPath, std::string_view valueName);
    // Deletes a key that has no subkeys (its values go with it); false when it
    // is missing, has subkeys, or is the root.
    bool DeleteKey(std::string_view keyPath);
    // Deletes a key with everything below it in one change.
    bool DeleteTree(std::string_view keyPath);
    // Names of the subkeys, and names and values of a key, in ascending order of
    // their case-folded names; false when the key is missing.
    bool GetSubkeyNames(std::string_view keyPath, std::vector<std::string>& names);
    bool GetValues(std::string_view keyPath, std::vector<std::pair<std::string, Value>>& values);

    // Whether a key name can be stored (not empty, no backslash, no control character).
    static bool IsValidKeyName(std::string_view name);

    // The file form of the whole tree, and the tree read from a file form
    // (lines that do not parse are skipped); exposed for the tests.
    std::string Format();
    static std::size_t CountParseErrors(std::string_view text);

    struct Node;

    // Identifies one version of the file (see Refresh).
    struct FileStamp {
        bool exists = false;
        std::uint64_t device = 0, inode = 0;
        std::int64_t size = 0, modifiedSeconds = 0, modifiedNanoseconds = 0, changedSeconds = 0,
                     changedNanoseconds = 0;
        friend bool operator==(const FileStamp&, const FileStamp&) = default;
    };
    // How many times the file's text has been parsed (for the tests).
    std::size_t GetParseCount() const { return m_reads; }

private:
    void Refresh();
    bool Save();
    template <class Change> bool Modify(Change change);

    std::string m_filePath;
    bool m_readOnly;
    std::unique_ptr<Node> m_root;
    std::string m_text; // the file form that m_root was read from or written as
    bool m_loaded = false;
    FileStamp m_stamp;
    std::size_t m_reads = 0;
    std::recursive_mutex m_mutex;
};
