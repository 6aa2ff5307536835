// Help requests carry a number: a command, a dialog, a message (0x30000 + its
// string id) and so on. The topic map, an INI file beside the program, maps
// each number to a page of the help folder. Its sections follow the number's
// range; its keys are the number's low 16 bits, in hexadecimal ("0x1F4") or,
// failing that, in decimal ("500").
#pragma once

#include "platform/Types.h"

#include <map>
#include <string>
#include <string_view>

// Help commands, with the values help calls have always used.
enum : UINT { HELP_CONTEXT = 0x0001, HELP_CONTENTS = 0x0003 };

// The section for a help id: "Help" up to 0x10000, "CommandHelp" to 0x20000,
// "ResourceHelp", "PromptHelp", "NCAreasHelp", "ControlHelp", then "DispatchHelp".
const char* HelpSectionForId(DWORD helpId);
// "0x%lX" and "%lu" of the id's low 16 bits.
std::string HelpKeyHex(DWORD helpId);
std::string HelpKeyDecimal(DWORD helpId);

// The application's filter in front of the help call: ids from 0x20000 up to
// (not including) 0x30000 are ignored (false); ids above 0x200000 are reduced
// by 0x200000.
bool FilterApplicationHelpId(DWORD& helpId);

class CHelpTopicMap {
public:
    // The map of a program: its path with the extension replaced by ".ini"
    // ("marlox" gives "marlox.ini").
    static std::string PathForProgram(std::string_view programPath);

    // Reads an INI file: "[section]" lines, "key=value" lines, ";" comments.
    // Sections and keys match without regard to case; values are trimmed and
    // cut at 259 characters. False when the file cannot be read.
    bool Load(const std::string& path);
    void LoadText(std::string_view text);

    // A value of the INI, or empty.
    std::string GetValue(std::string_view section, std::string_view key) const;
    // The topic for a help id: the hexadecimal key first, then the decimal
    // one; empty when neither gives one.
    std::string Lookup(DWORD helpId) const;

private:
    std::map<std::string, std::map<std::string, std::string>> m_sections; // lower-case names
};
