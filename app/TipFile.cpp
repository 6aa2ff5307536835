#include "app/TipFile.h"

#include "framework/Profile.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <ctime>
#include <sys/stat.h>

namespace {
constexpr const char* kSection = "Tip";
} // namespace

std::string CTipFile::PathForProgram(const std::string& programPath)
{
    std::size_t slash = programPath.find_last_of('/');
    std::string dir = slash == std::string::npos ? std::string() : programPath.substr(0, slash + 1);
    return dir + "tips.txt";
}

std::string CTipFile::FileTimeStamp(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    char buf[64] = {};
    std::time_t t = st.st_mtime;
    if (!::ctime_r(&t, buf))
        return {};
    std::string text = buf;
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r' || text.back() == '\t'))
        text.pop_back();
    return text;
}

bool CTipFile::ShowAtStartup() { return GetProfileInt(kSection, "StartUp", 0) <= 0; }

CTipFile::CTipFile(const std::string& path)
{
    m_bStartup = ShowAtStartup();
    long offset = GetProfileInt(kSection, "FilePos", 0);
    m_file = std::fopen(path.c_str(), "r");
    if (!m_file) {
        m_strTip = LoadString(IDS_TIP_FILE_ABSENT);
        return;
    }
    std::string stamp = FileTimeStamp(path);
    if (stamp != GetProfileString(kSection, "TimeStamp")) {
        offset = 0;
        WriteProfileString(kSection, "TimeStamp", stamp.c_str());
    }
    if (offset < 0 || std::fseek(m_file, offset, SEEK_SET) != 0) {
        m_strTip = LoadString(IDS_TIP_FILE_TROUBLE);
        return;
    }
    m_bHasTips = true;
    GetNextTip();
}

CTipFile::~CTipFile()
{
    if (!m_file)
        return;
    long pos = std::ftell(m_file);
    if (pos >= 0)
        WriteProfileInt(kSection, "FilePos", static_cast<int>(pos));
    std::fclose(m_file);
}

void CTipFile::SaveShowAtStartup() const { WriteProfileInt(kSection, "StartUp", m_bStartup ? 0 : 1); }

bool CTipFile::ReadLine(std::string& line)
{
    line.clear();
    bool any = false;
    for (int c; (c = std::fgetc(m_file)) != EOF;) {
        any = true;
        if (line.size() < kMaxTip)
            line += static_cast<char>(c);
        if (c == '\n')
            break;
    }
    return any;
}

void CTipFile::GetNextTip()
{
    if (!m_file)
        return;
    bool wrapped = false;
    std::string line;
    for (;;) {
        if (!ReadLine(line)) {
            // At the end: back to the start, once; a second end means there is no tip at all.
            if (wrapped || std::fseek(m_file, 0, SEEK_SET) != 0) {
                m_bHasTips = false;
                m_strTip = LoadString(IDS_TIP_FILE_TROUBLE);
                return;
            }
            wrapped = true;
            continue;
        }
        char first = line[0];
        if (first == ' ' || first == '\t' || first == '\n' || first == '\r' || first == ';')
            continue;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        m_strTip = line;
        m_bHasTips = true;
        return;
    }
}
