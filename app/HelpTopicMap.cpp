#include "app/HelpTopicMap.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

constexpr std::size_t kMaxTopic = 259;

} // namespace

const char* HelpSectionForId(DWORD id)
{
    if (id <= 0x10000)
        return "Help";
    if (id <= 0x20000)
        return "CommandHelp";
    if (id <= 0x30000)
        return "ResourceHelp";
    if (id <= 0x40000)
        return "PromptHelp";
    if (id <= 0x50000)
        return "NCAreasHelp";
    if (id <= 0x60000)
        return "ControlHelp";
    return "DispatchHelp";
}

std::string HelpKeyHex(DWORD id)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%lX", static_cast<unsigned long>(id & 0xFFFF));
    return buf;
}

std::string HelpKeyDecimal(DWORD id) { return std::to_string(id & 0xFFFF); }

bool FilterApplicationHelpId(DWORD& id)
{
    if (id >= 0x20000 && id < 0x30000)
        return false;
    if (id > 0x200000)
        id -= 0x200000;
    return true;
}

std::string CHelpTopicMap::PathForProgram(std::string_view programPath)
{
    std::size_t slash = programPath.find_last_of('/');
    std::size_t dot = programPath.find_last_of('.');
    std::string path(programPath);
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash))
        path.resize(dot);
    return path + ".ini";
}

bool CHelpTopicMap::Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream text;
    text << in.rdbuf();
    LoadText(text.str());
    return true;
}

void CHelpTopicMap::LoadText(std::string_view text)
{
    m_sections.clear();
    std::string section;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            std::size_t close = line.find(']');
            if (close != std::string_view::npos)
                section = Lower(Trim(line.substr(1, close - 1)));
            continue;
        }
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        std::string key = Lower(Trim(line.substr(0, eq)));
        std::string_view value = Trim(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        auto& entries = m_sections[section];
        if (!entries.count(key)) // the first entry of a key counts
            entries.emplace(key, std::string(value.substr(0, kMaxTopic)));
    }
}

std::string CHelpTopicMap::GetValue(std::string_view section, std::string_view key) const
{
    auto s = m_sections.find(Lower(section));
    if (s == m_sections.end())
        return {};
    auto k = s->second.find(Lower(key));
    return k == s->second.end() ? std::string() : k->second;
}

std::string CHelpTopicMap::Lookup(DWORD helpId) const
{
    const char* section = HelpSectionForId(helpId);
    std::string topic = GetValue(section, HelpKeyHex(helpId));
    if (topic.empty())
        topic = GetValue(section, HelpKeyDecimal(helpId));
    return topic;
}
