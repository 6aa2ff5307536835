// The tips of the tip-of-the-day dialog: one tip a line in the text file
// "tips.txt" beside the program. Lines that begin with a blank, a tab or ";"
// and empty lines are skipped. The profile section "Tip" remembers where the
// next tip starts ("FilePos"), which file that offset belongs to ("TimeStamp":
// the file's modification time as ctime writes it, trailing blanks removed)
// and whether tips show at start-up ("StartUp": 0 or absent shows them).
#pragma once

#include <cstdio>
#include <string>

class CTipFile {
public:
    // At most this many characters of a line make a tip; the rest of a longer
    // line is passed over, never taken for a tip of its own.
    static constexpr std::size_t kMaxTip = 999;

    // Reads the profile and opens the file; when it is new or changed, starts
    // from its first line. The first tip is read at once.
    explicit CTipFile(const std::string& path);
    ~CTipFile(); // writes "FilePos" (the next unread tip) when the file was open
    CTipFile(const CTipFile&) = delete;
    CTipFile& operator=(const CTipFile&) = delete;

    // The tips file beside a program.
    static std::string PathForProgram(const std::string& programPath);

    bool IsOpen() const { return m_file != nullptr; }
    // Whether the file offers tips (false for a missing file and for a file
    // with no tip line at all).
    bool HasTips() const { return m_bHasTips; }
    // The tip shown now, or the message that explains why there is none.
    const std::string& GetTip() const { return m_strTip; }
    // Reads the next tip, going back to the file's start at its end. A file
    // without a single tip line gives string 225 and no endless loop.
    void GetNextTip();

    bool GetShowAtStartup() const { return m_bStartup; }
    void SetShowAtStartup(bool show) { m_bStartup = show; }
    // "StartUp" = 0 when tips are to show at start-up, 1 when not.
    void SaveShowAtStartup() const;
    // Whether tips are to show when the program starts.
    static bool ShowAtStartup();

    // The file's modification time as the profile keeps it.
    static std::string FileTimeStamp(const std::string& path);

private:
    // Reads one line; false at the end of the file.
    bool ReadLine(std::string& line);

    std::FILE* m_file = nullptr;
    std::string m_strTip;
    bool m_bStartup = true;
    bool m_bHasTips = false;
};
