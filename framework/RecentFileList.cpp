#include "framework/RecentFileList.h"

#include "framework/Profile.h"

#include <algorithm>

CRecentFileList::CRecentFileList(std::size_t size, std::string section, std::string entryFormat)
    : m_size(size), m_section(std::move(section)), m_entryFormat(std::move(entryFormat))
{
}

void CRecentFileList::Add(const std::string& path)
{
    if (path.empty() || m_size == 0)
        return;
    auto same = std::find(m_files.begin(), m_files.end(), path);
    if (same != m_files.end())
        m_files.erase(same);
    m_files.insert(m_files.begin(), path);
    if (m_files.size() > m_size)
        m_files.resize(m_size);
}

void CRecentFileList::Remove(std::size_t index)
{
    if (index < m_files.size())
        m_files.erase(m_files.begin() + std::ptrdiff_t(index));
}

std::string CRecentFileList::MenuText(std::size_t index) const
{
    if (index >= m_files.size())
        return {};
    std::string text = "&" + std::to_string(index + 1) + " ";
    for (char c : m_files[index]) {
        // A single ampersand would make the next letter a shortcut.
        if (c == '&')
            text += '&';
        text += c;
    }
    return text;
}

void CRecentFileList::ReadList()
{
    m_files.clear();
    for (std::size_t i = 0; i < m_size; ++i) {
        std::string path = GetProfileString(m_section, m_entryFormat + std::to_string(i + 1));
        if (!path.empty() && std::find(m_files.begin(), m_files.end(), path) == m_files.end())
            m_files.push_back(path);
    }
}

void CRecentFileList::WriteList() const
{
    for (std::size_t i = 0; i < m_size; ++i) {
        const std::string entry = m_entryFormat + std::to_string(i + 1);
        WriteProfileString(m_section, entry.c_str(), i < m_files.size() ? m_files[i].c_str() : "");
    }
}
