#include "framework/SummaryInfo.h"
#include "platform/CompoundFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

// 2000-01-01 00:00:00 UTC as a file time: the Unix epoch's file time
// 116444736000000000 plus 946684800 seconds.
constexpr std::uint64_t kY2K = 125911584000000000;
constexpr std::uint64_t kSecond = 10000000;

FILETIME FileTime(std::uint64_t ticks) { return {DWORD(ticks), DWORD(ticks >> 32)}; }

// A summary whose clock the test sets.
class ClockedSummary : public CSummaryInfo {
public:
    std::uint64_t now = kY2K;

protected:
    FILETIME GetCurrentFileTime() const override { return FileTime(now); }
};

// Runs the test in a fixed time zone, restoring the previous one afterwards.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* zone)
    {
        const char* old = std::getenv("TZ");
        m_had = old != nullptr;
        if (old)
            m_old = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ZoneGuard()
    {
        if (m_had)
            ::setenv("TZ", m_old.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    bool m_had = false;
    std::string m_old;
};

DWORD U32(const Bytes& b, std::size_t at) { return DWORD(b[at]) | DWORD(b[at + 1]) << 8 | DWORD(b[at + 2]) << 16 | DWORD(b[at + 3]) << 24; }

Bytes StreamOf(CStorage& root)
{
    auto s = root.OpenStream("\005SummaryInformation");
    if (!s)
        return {};
    Bytes b(s->GetLength());
    s->Read(b.data(), b.size());
    return b;
}

} // namespace

TEST(SummaryInfo, NewSummaryStreamLayout)
{
    CSummaryInfo info;
    CStorage root;
    ASSERT_TRUE(info.SaveToStorage(root));
    Bytes b = StreamOf(root);
    // Sizes by hand: 28-byte header + one 20-byte section entry = 48; the
    // section: 8 + 19 * 8 table bytes = 160, then the values: code page 8,
    // seven empty strings 7 * 12, revision "0" 12, four file times 4 * 12,
    // three counts 3 * 8, application name 12, security 8, dictionary
    // 4 + 9 rounded up to 16: 212 bytes. Section 372, stream 420.
    ASSERT_EQ(b.size(), 420u);
    EXPECT_EQ(ToHex(Bytes(b.begin(), b.begin() + 4)), "FE FF 00 00");
    const std::string fmtid = "E0 85 9F F2 F9 4F 68 10 AB 91 08 00 2B 27 B3 D9";
    EXPECT_EQ(ToHex(Bytes(b.begin() + 8, b.begin() + 24)), fmtid);  // class id
    EXPECT_EQ(U32(b, 24), 1u);                                      // one section
    EXPECT_EQ(ToHex(Bytes(b.begin() + 28, b.begin() + 44)), fmtid); // its format id
    EXPECT_EQ(U32(b, 44), 48u);
    EXPECT_EQ(U32(b, 48), 372u);
    EXPECT_EQ(U32(b, 52), 19u);
    const DWORD ids[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 12, 14, 15, 16, 18, 19, 0};
    for (std::size_t i = 0; i < 19; ++i)
        EXPECT_EQ(U32(b, 56 + 8 * i), ids[i]) << i;
    EXPECT_EQ(U32(b, 60), 160u);                            // code page value right after the table
    EXPECT_EQ(ToHex(Bytes(b.begin() + 208, b.begin() + 216)), "02 00 00 00 E4 04 00 00"); // VT_I2 1252
    const std::size_t dictionary = 48 + U32(b, 56 + 8 * 18 + 4);
    EXPECT_EQ(dictionary, 420u - 16);
    EXPECT_EQ(ToHex(Bytes(b.begin() + std::ptrdiff_t(dictionary), b.end())),
              "01 00 00 00 00 00 00 00 01 00 00 00 00 00 00 00");
}

TEST(SummaryInfo, RevisionCounts)
{
    struct Case {
        const char* before;
        const char* after;
    } cases[] = {{"0", "1"}, {"41", "42"}, {"", "1"}, {"abc", "1"}, {"4294967295", "0"}};
    for (const Case& c : cases) {
        CSummaryInfo info;
        info.GetSection()->Set(PIDSI_REVNUMBER, c.before, VT_LPSTR);
        info.IncrementRevision();
        EXPECT_EQ(info.GetRevision(), c.after) << c.before;
    }
    CSummaryInfo fresh;
    EXPECT_EQ(fresh.GetRevision(), "0");
}

TEST(SummaryInfo, EditingTimeCountsTheCurrentPeriod)
{
    ClockedSummary info;
    info.StartEditTimer();
    EXPECT_EQ(info.GetEditingTime(), "0 min");
    info.now = kY2K + 59 * kSecond;
    EXPECT_EQ(info.GetEditingTime(), "0 min");
    info.now = kY2K + 61 * kSecond;
    EXPECT_EQ(info.GetEditingTime(), "1 min");
    info.now = kY2K + 125 * kSecond;
    info.AddEditTime(); // 125 s stored
    info.StartEditTimer();
    info.now += 60 * kSecond;
    EXPECT_EQ(info.GetEditingTime(), "3 min"); // 185 s
    info.AddEditTime();
    std::uint64_t stored = 0;
    ASSERT_TRUE(info.GetStore().Get(FMTID_SummaryInformation, PIDSI_EDITTIME, &stored, sizeof stored));
    EXPECT_EQ(stored, 185 * kSecond);
}

TEST(SummaryInfo, EditingTimeCountsFromWhenTheSummaryWasMade)
{
    // Never started by hand: a document saved at once has edited for less than a minute, not since 1601.
    CSummaryInfo info;
    EXPECT_EQ(info.GetEditingTime(), "0 min");
    info.AddEditTime();
    std::uint64_t stored = 0;
    ASSERT_TRUE(info.GetStore().Get(FMTID_SummaryInformation, PIDSI_EDITTIME, &stored, sizeof stored));
    EXPECT_LT(stored, 60 * kSecond);
}

TEST(SummaryInfo, TextsCountsAndDates)
{
    ZoneGuard zone("UTC0");
    ClockedSummary info;
    info.SetTitle("Grüße € test");
    info.SetAuthor("Ann");
    EXPECT_EQ(info.GetTitle(), "Grüße € test");
    std::size_t size = 0;
    const BYTE* raw = info.GetStore().Get(FMTID_SummaryInformation, PIDSI_TITLE, &size);
    ASSERT_EQ(size, 13u); // 12 single-byte characters in code page 1252 and the zero
    EXPECT_EQ(raw[2], 0xFC); // ü
    EXPECT_EQ(raw[6], 0x80); // €

    EXPECT_EQ(info.GetPageCount(), "0");
    info.SetPageCount(12);
    info.SetCharCount(-1);
    EXPECT_EQ(info.GetPageCount(), "12");
    EXPECT_EQ(info.GetCharCount(), "4294967295");

    EXPECT_EQ(info.GetCreated(), "");
    info.StampCreated();
    EXPECT_EQ(info.GetCreated(), "1/1/2000"); // midnight shows no time
    info.now = kY2K + (13 * 3600 + 5 * 60 + 9) * kSecond;
    info.StampSaved();
    EXPECT_EQ(info.GetSaved(), "1/1/2000 1:05:09 PM");
    info.GetSection()->Remove(PIDSI_LASTPRINTED);
    info.GetSection()->Remove(PIDSI_WORDCOUNT);
    EXPECT_EQ(info.GetPrinted(), "");
    EXPECT_EQ(info.GetWordCount(), "");
}

TEST(SummaryInfo, FormatFileTimeInLocalTime)
{
    struct Case {
        const char* zone;
        std::uint64_t ticks;
        const char* text;
    } cases[] = {
        {"UTC0", kY2K, "Saturday, January 1, 2000"},
        // Times of day are kept to the millisecond: 0.9999 ms past midnight is midnight, 1 ms is not.
        {"UTC0", kY2K + 9999, "Saturday, January 1, 2000"},
        {"UTC0", kY2K + 10000, "Saturday, January 1, 2000 12:00:00 AM"},
        {"UTC0", kY2K + (13 * 3600 + 5 * 60 + 9) * kSecond, "Saturday, January 1, 2000 1:05:09 PM"},
        {"UTC0", kY2K + 12 * 3600 * kSecond, "Saturday, January 1, 2000 12:00:00 PM"},
        // Two hours east of UTC: 23:30 UTC is 01:30 the next day.
        {"XST-2", kY2K + (23 * 3600 + 30 * 60) * kSecond, "Sunday, January 2, 2000 1:30:00 AM"},
        // 1601-01-01, the first file time.
        {"UTC0", 0, "Monday, January 1, 1601"},
    };
    for (const Case& c : cases) {
        ZoneGuard zone(c.zone);
        FILETIME t = FileTime(c.ticks);
        EXPECT_EQ(CSummaryInfo::FormatFileTime(&t), c.text);
    }
    EXPECT_EQ(CSummaryInfo::FormatFileTime(nullptr), "");
}

TEST(SummaryInfo, StorageRoundTrip)
{
    ClockedSummary info;
    info.SetTitle("Kinetics");
    info.SetSubject("Enzyme");
    info.SetKeywords("km vmax");
    info.SetComments("first run");
    info.SetTemplate("normal");
    info.SetLastAuthor("Bob");
    info.SetAppName("Marlox");
    info.SetSecurity(2);
    info.IncrementRevision();
    info.StampCreated();
    CCompoundFile file;
    ASSERT_TRUE(info.SaveToStorage(file.Root()));
    Bytes bytes = file.ToBytes();

    CCompoundFile back;
    back.LoadBytes(bytes.data(), bytes.size());
    CSummaryInfo read;
    ASSERT_TRUE(read.LoadFromStorage(back.Root()));
    EXPECT_EQ(read.GetTitle(), "Kinetics");
    EXPECT_EQ(read.GetSubject(), "Enzyme");
    EXPECT_EQ(read.GetKeywords(), "km vmax");
    EXPECT_EQ(read.GetComments(), "first run");
    EXPECT_EQ(read.GetTemplate(), "normal");
    EXPECT_EQ(read.GetLastAuthor(), "Bob");
    EXPECT_EQ(read.GetAppName(), "Marlox");
    EXPECT_EQ(read.GetSecurity(), "2");
    EXPECT_EQ(read.GetRevision(), "1");
    EXPECT_EQ(StreamOf(back.Root()), StreamOf(file.Root())); // written again byte for byte
}

TEST(SummaryInfo, MissingOrDamagedStreamKeepsTheValues)
{
    CSummaryInfo info;
    info.SetTitle("kept");
    CStorage empty;
    EXPECT_FALSE(info.LoadFromStorage(empty));
    EXPECT_EQ(info.GetTitle(), "kept");

    CStorage damaged;
    auto s = damaged.CreateStream("\005SummaryInformation");
    Bytes junk = HexBytes("FE FF 00 00 0A 00 02 00");
    s->Write(junk.data(), junk.size());
    EXPECT_FALSE(info.LoadFromStorage(damaged));
    EXPECT_EQ(info.GetTitle(), "kept");

    // A valid set without the summary section is no summary either.
    CPropertyStore other;
    const FMTID fmt = {1, 2, 3, {4}};
    other.Set(fmt, 2, "x", VT_LPSTR);
    Bytes b = other.ToBytes();
    auto s2 = damaged.CreateStream("\005SummaryInformation");
    s2->Write(b.data(), b.size());
    EXPECT_FALSE(info.LoadFromStorage(damaged));
    EXPECT_EQ(info.GetTitle(), "kept");
}

TEST(SummaryInfo, IndependentReaderSeesTheSummary)
{
    std::string python;
    for (const char* py : {"/usr/bin/python3", "python3"}) {
        if (std::system((std::string(py) + " -c 'import olefile' >/dev/null 2>&1").c_str()) == 0) {
            python = py;
            break;
        }
    }
    if (python.empty())
        GTEST_SKIP() << "python3 with olefile is not installed";

    ClockedSummary info;
    info.SetTitle("Enzyme kinetics");
    info.SetAuthor("Ann Müller");
    info.SetAppName("Marlox");
    info.SetPageCount(3);
    info.StartEditTimer();
    info.StampCreated(); // 2000-01-01 00:00:00
    info.now = kY2K + (13 * 3600 + 5 * 60 + 9) * kSecond;
    info.AddEditTime(); // 47109 s of editing
    info.StampSaved();
    info.IncrementRevision();
    info.IncrementRevision();
    CCompoundFile file;
    auto s = file.Root().CreateStream("Contents");
    s->Write("abc", 3);
    ASSERT_TRUE(info.SaveToStorage(file.Root()));

    auto dir = std::filesystem::temp_directory_path() / ("marlox-summary-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string path = (dir / "summary.cfb").string();
    std::string expected = (dir / "expected.json").string();
    file.SaveAs(path);
    // olefile shows the editing time in seconds.
    std::ofstream(expected) << R"({"title": "Enzyme kinetics", "author": "Ann Müller", "creating_application": "Marlox",
        "revision_number": "2", "num_pages": 3, "codepage": 1252, "total_edit_time": 47109,
        "create_time": "2000-01-01 00:00:00", "last_saved_time": "2000-01-01 13:05:09"})";
    std::string cmd = python + " " MARLOX_TEST_SCRIPTS "/olefile_check.py summary '" + path + "' '" + expected + "' 2>&1";
    std::string out;
    FILE* p = ::popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char buf[512];
    while (std::fgets(buf, sizeof buf, p))
        out += buf;
    int rc = ::pclose(p);
    std::filesystem::remove_all(dir);
    EXPECT_EQ(out, "OK\n");
    EXPECT_EQ(rc, 0);
}
