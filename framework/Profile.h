// The application's profile: named values in sections, kept under
// "Software\<registry key>\<profile name>\<section>" of a settings store.
// The per-user profile is read and written; the machine-wide one (installed
// data filters, group folders) is only read, and its writes answer false.
#pragma once

#include "framework/RegistryAccess.h"

#include <string>
#include <string_view>
#include <vector>

class CProfile {
public:
    // A profile over the given root (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE or a
    // root made from a store object).
    explicit CProfile(HKEY root);

    // The per-user and the machine-wide profile of the program.
    static CProfile& User();
    static CProfile& Machine();

    // The maker's key (default string 108) and the profile name (default the
    // application's name) that every profile's sections lie under.
    static void SetRegistryKey(std::string key);
    static std::string GetRegistryKey();
    static void SetProfileName(std::string name);
    static std::string GetProfileName();
    // "Software\<registry key>\<profile name>\<section>".
    static std::string SectionPath(std::string_view section);

    // Reading never creates a key. A string read takes a text value (string,
    // expandable string or link); anything else, or nothing, gives the default.
    std::string GetString(std::string_view section, std::string_view entry, std::string_view defaultValue = {}) const;
    // A 32-bit number value, or a text value that is a whole decimal number
    // (as someone editing the file may leave it); else the default.
    int GetInt(std::string_view section, std::string_view entry, int defaultValue) const;
    // The bytes of a binary value; false when there is none.
    bool GetBinary(std::string_view section, std::string_view entry, std::vector<BYTE>& data) const;

    // With a null entry deletes the whole section; with a null value deletes the
    // entry; otherwise writes the text. True on success.
    bool WriteString(std::string_view section, const char* entry, const char* value);
    bool WriteInt(std::string_view section, std::string_view entry, int value);
    bool WriteBinary(std::string_view section, std::string_view entry, const void* data, std::size_t length);

private:
    CRegistryAccess m_access;
};

// The per-user profile calls, as the application's settings code uses them.
std::string GetProfileString(std::string_view section, std::string_view entry, std::string_view defaultValue = {});
int GetProfileInt(std::string_view section, std::string_view entry, int defaultValue);
bool GetProfileBinary(std::string_view section, std::string_view entry, std::vector<BYTE>& data);
bool WriteProfileString(std::string_view section, const char* entry, const char* value);
bool WriteProfileInt(std::string_view section, std::string_view entry, int value);
bool WriteProfileBinary(std::string_view section, std::string_view entry, const void* data, std::size_t length);

// The machine-wide counterparts (read only: the writes answer false).
std::string GetMachineProfileString(std::string_view section, std::string_view entry,
                                    std::string_view defaultValue = {});
int GetMachineProfileInt(std::string_view section, std::string_view entry, int defaultValue);
bool WriteMachineProfileString(std::string_view section, const char* entry, const char* value);
bool WriteMachineProfileInt(std::string_view section, std::string_view entry, int value);
