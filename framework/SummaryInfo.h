// The summary information of a workspace (title, author, revision, dates,
// counts ...), kept as the standard summary property set in the stream
// "\005SummaryInformation" of the workspace file.
#pragma once

#include "framework/PropertyStore.h"

#include <string>
#include <string_view>

class CStorage;

// {F29F85E0-4FF9-1068-AB91-08002B27B3D9}
extern const FMTID FMTID_SummaryInformation;

// Ids of the summary properties.
enum : DWORD {
    PIDSI_CODEPAGE = 1,
    PIDSI_TITLE = 2,
    PIDSI_SUBJECT = 3,
    PIDSI_AUTHOR = 4,
    PIDSI_KEYWORDS = 5,
    PIDSI_COMMENTS = 6,
    PIDSI_TEMPLATE = 7,
    PIDSI_LASTAUTHOR = 8,
    PIDSI_REVNUMBER = 9,
    PIDSI_EDITTIME = 10,
    PIDSI_LASTPRINTED = 11,
    PIDSI_CREATE_DTM = 12,
    PIDSI_LASTSAVE_DTM = 13,
    PIDSI_PAGECOUNT = 14,
    PIDSI_WORDCOUNT = 15,
    PIDSI_CHARCOUNT = 16,
    PIDSI_APPNAME = 18,
    PIDSI_SECURITY = 19,
};

class CSummaryInfo {
public:
    CSummaryInfo();
    virtual ~CSummaryInfo() = default;

    // Texts are UTF-8; they are stored in code page 1252.
    void SetTitle(std::string_view text) { SetText(PIDSI_TITLE, text); }
    std::string GetTitle() const { return GetText(PIDSI_TITLE); }
    void SetSubject(std::string_view text) { SetText(PIDSI_SUBJECT, text); }
    std::string GetSubject() const { return GetText(PIDSI_SUBJECT); }
    void SetAuthor(std::string_view text) { SetText(PIDSI_AUTHOR, text); }
    std::string GetAuthor() const { return GetText(PIDSI_AUTHOR); }
    void SetKeywords(std::string_view text) { SetText(PIDSI_KEYWORDS, text); }
    std::string GetKeywords() const { return GetText(PIDSI_KEYWORDS); }
    void SetComments(std::string_view text) { SetText(PIDSI_COMMENTS, text); }
    std::string GetComments() const { return GetText(PIDSI_COMMENTS); }
    void SetTemplate(std::string_view text) { SetText(PIDSI_TEMPLATE, text); }
    std::string GetTemplate() const { return GetText(PIDSI_TEMPLATE); }
    void SetLastAuthor(std::string_view text) { SetText(PIDSI_LASTAUTHOR, text); }
    std::string GetLastAuthor() const { return GetText(PIDSI_LASTAUTHOR); }
    void SetAppName(std::string_view text) { SetText(PIDSI_APPNAME, text); }
    std::string GetAppName() const { return GetText(PIDSI_APPNAME); }

    // The revision is a decimal text; a text that is no number counts as 0.
    void IncrementRevision();
    std::string GetRevision() const { return GetText(PIDSI_REVNUMBER); }

    // Counts are stored as 32-bit values and shown unsigned; "" when missing.
    void SetPageCount(LONG count) { SetLong(PIDSI_PAGECOUNT, count); }
    std::string GetPageCount() const { return GetLong(PIDSI_PAGECOUNT); }
    void SetWordCount(LONG count) { SetLong(PIDSI_WORDCOUNT, count); }
    std::string GetWordCount() const { return GetLong(PIDSI_WORDCOUNT); }
    void SetCharCount(LONG count) { SetLong(PIDSI_CHARCOUNT, count); }
    std::string GetCharCount() const { return GetLong(PIDSI_CHARCOUNT); }
    void SetSecurity(LONG value) { SetLong(PIDSI_SECURITY, value); }
    std::string GetSecurity() const { return GetLong(PIDSI_SECURITY); }

    // Dates: the current time is stamped; shown in local time, "" when missing or zero.
    void StampPrinted() { SetTime(PIDSI_LASTPRINTED, GetCurrentFileTime()); }
    void StampCreated() { SetTime(PIDSI_CREATE_DTM, GetCurrentFileTime()); }
    void StampSaved() { SetTime(PIDSI_LASTSAVE_DTM, GetCurrentFileTime()); }
    std::string GetPrinted() const { return GetDate(PIDSI_LASTPRINTED); }
    std::string GetCreated() const { return GetDate(PIDSI_CREATE_DTM); }
    std::string GetSaved() const { return GetDate(PIDSI_LASTSAVE_DTM); }

    // Editing time: the timer marks the start of the current period;
    // AddEditTime adds the time since then to the total (the caller restarts
    // the timer); GetEditingTime shows total plus current period as "%lu min".
    void StartEditTimer() { m_startEdit = GetCurrentFileTime(); }
    void AddEditTime();
    std::string GetEditingTime() const;

    // Writes the set to "\005SummaryInformation", replacing that stream;
    // false when it cannot be written.
    bool SaveToStorage(CStorage& storage);
    // Reads the set from that stream; false (and the values unchanged) when
    // the stream is missing or not a valid summary set.
    bool LoadFromStorage(CStorage& storage);

    // The local long date ("Thursday, December 10, 2026"), followed by a blank
    // and the local time ("1:05:09 PM") unless the time of day is midnight exactly.
    static std::string FormatFileTime(const FILETIME* time);
    // The local short date and time as the date getters show them ("12/10/2026 1:05:09 PM").
    static std::string FormatDateTime(const FILETIME* time);

    CPropertyStore& GetStore() { return m_store; }
    const CPropertyStore& GetStore() const { return m_store; }
    CPropertyStoreSection* GetSection() { return m_section; }

    static constexpr const char* kStreamName = "\005SummaryInformation";

protected:
    // The current time in UTC; tests replace it.
    virtual FILETIME GetCurrentFileTime() const;

private:
    void SetText(DWORD id, std::string_view text);
    std::string GetText(DWORD id) const;
    void SetLong(DWORD id, LONG value);
    std::string GetLong(DWORD id) const;
    void SetTime(DWORD id, const FILETIME& time);
    FILETIME GetTime(DWORD id) const;
    std::string GetDate(DWORD id) const;

    CPropertyStore m_store;
    CPropertyStoreSection* m_section;
    FILETIME m_startEdit;
};
