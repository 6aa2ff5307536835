#include "framework/ArchiveHelpers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

TEST(SerializeVersion, AcceptsOlderAndRefusesNewer)
{
    RecordingReporter reporter;
    EXPECT_EQ(ToHex(StoreBytes([](CArchive& ar) { EXPECT_EQ(SerializeVersion(ar, 1), 1); })), "01 00 00 00");
    LoadBytes(HexBytes("00 00 00 00"), [](CArchive& ar) { EXPECT_EQ(SerializeVersion(ar, 0), 0); });
    LoadBytes(HexBytes("00 00 00 00"), [](CArchive& ar) { EXPECT_EQ(SerializeVersion(ar, 1), 0); });
    EXPECT_TRUE(reporter.messages.empty());
    try {
        LoadBytes(HexBytes("01 00 00 00"), [](CArchive& ar) { SerializeVersion(ar, 0); });
        ADD_FAILURE() << "a newer version was accepted";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::genericException);
    }
    ASSERT_EQ(reporter.Ids(), std::vector<UINT>{25016});
    EXPECT_EQ(reporter.messages[0].text,
              "This file was created by a later version of Marlox, or the file is corrupt.");
    EXPECT_EQ(reporter.messages[0].type & MB_ICONMASK, UINT(MB_ICONEXCLAMATION));
    EXPECT_EQ(reporter.messages[0].helpId, 25016u);
}

TEST(Records, GoldenSizesAndBytes)
{
    LOGFONT empty;
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { ArchiveStoreString(ar, empty.lfFaceName); }).size(), 5u);
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { ar << empty; }).size(), 33u);

    LOGFONT arial;
    arial.lfHeight = -13;
    arial.lfWeight = FW_BOLD;
    arial.lfItalic = 1;
    arial.lfPitchAndFamily = 34;
    std::strcpy(arial.lfFaceName, "Arial");
    EXPECT_EQ(ToHex(StoreBytes([&](CArchive& ar) { ar << arial; })),
              "F3 FF FF FF 00 00 00 00 00 00 00 00 00 00 00 00 BC 02 00 00 "
              "01 00 00 00 00 00 00 22 05 00 00 00 41 72 69 61 6C 00");

    PARAFORMAT para;
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { ar << para; }).size(), 32u);
    para.cTabCount = 3;
    para.rgxTabs[0] = 720;
    para.wAlignment = PFA_CENTER;
    Bytes pb = StoreBytes([&](CArchive& ar) { ar << para; });
    EXPECT_EQ(pb.size(), 44u);
    EXPECT_EQ(ToHex(Bytes(pb.begin(), pb.begin() + 8)), "9C 00 00 00 00 00 00 00");
    EXPECT_EQ(ToHex(Bytes(pb.begin() + 24, pb.begin() + 36)), "03 00 00 00 03 00 00 00 D0 02 00 00");

    CHARFORMAT cf;
    std::strcpy(cf.szFaceName, "Arial");
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { ar << cf; }).size(), 26u + 4 + 5 + 1);

    EXPECT_EQ(StoreBytes([](CArchive& ar) { ar << WINDOWPLACEMENT{}; }).size(), 44u);
    EXPECT_EQ(StoreBytes([](CArchive& ar) { ar << SYSTEMTIME{}; }).size(), 16u);
    EXPECT_EQ(StoreBytes([](CArchive& ar) { ar << RECT{}; }).size(), 16u);
    EXPECT_EQ(ToHex(StoreBytes([](CArchive& ar) { ar << RECT{1, 2, 3, -1}; })),
              "01 00 00 00 02 00 00 00 03 00 00 00 FF FF FF FF");
    EXPECT_EQ(ToHex(StoreBytes([](CArchive& ar) { ar << SIZE{5, 6} << POINT{7, 8}; })),
              "05 00 00 00 06 00 00 00 07 00 00 00 08 00 00 00");
    EXPECT_EQ(ToHex(StoreBytes([](CArchive& ar) { ar << short(-2) << true; })), "FE FF FF FF 01 00 00 00");
    EXPECT_EQ(ToHex(StoreBytes([](CArchive& ar) { ar << IntDoubleRecord{1, 2.0}; })),
              "01 00 00 00 00 00 00 00 00 00 00 40");
    EXPECT_EQ(StoreBytes([](CArchive& ar) { ar << TripleRecord{1, 2, 3}; }).size(), 12u);
}

TEST(Records, RoundTrip)
{
    SYSTEMTIME t{2026, 12, 4, 10, 13, 5, 59, 999};
    WINDOWPLACEMENT w;
    w.flags = 2;
    w.showCmd = SW_SHOWMAXIMIZED;
    w.ptMinPosition = {-1, -1};
    w.rcNormalPosition = {10, 20, 300, 400};
    CHARFORMAT cf;
    cf.dwMask = CFM_BOLD | CFM_FACE;
    cf.dwEffects = CFE_BOLD;
    cf.yHeight = 240;
    cf.crTextColor = RGB(1, 2, 3);
    std::strcpy(cf.szFaceName, "Times New Roman");
    PARAFORMAT pf;
    pf.cTabCount = 2;
    pf.rgxTabs[0] = 100;
    pf.rgxTabs[1] = 200;
    pf.dxOffset = -50;
    LOGBRUSH brush{1, RGB(9, 8, 7), 3};
    Bytes b = StoreBytes([&](CArchive& ar) { ar << t << w << cf << pf << brush << short(-300) << false; });
    SYSTEMTIME t2;
    WINDOWPLACEMENT w2;
    CHARFORMAT cf2;
    PARAFORMAT pf2;
    LOGBRUSH brush2;
    short s = 0;
    bool flag = true;
    EXPECT_EQ(LoadBytes(b, [&](CArchive& ar) { ar >> t2 >> w2 >> cf2 >> pf2 >> brush2 >> s >> flag; }), 0u);
    EXPECT_EQ(t2, t);
    EXPECT_EQ(w2, w);
    EXPECT_EQ(cf2, cf);
    EXPECT_EQ(pf2, pf);
    EXPECT_EQ(brush2, brush);
    EXPECT_EQ(s, -300);
    EXPECT_FALSE(flag);
}

TEST(Records, LoadRules)
{
    // A 16-bit value keeps the low half of whatever was stored; any non-zero reads as true.
    short s = 0;
    bool b = false;
    LoadBytes(HexBytes("FF FF 01 00 02 00 00 00"), [&](CArchive& ar) { ar >> s >> b; });
    EXPECT_EQ(s, -1);
    EXPECT_TRUE(b);
}

TEST(Records, NonAsciiFaceNamesUseTheStoredCodePage)
{
    LOGFONT f;
    std::strcpy(f.lfFaceName, "Caf\xC3\xA9");
    Bytes bytes = StoreBytes([&](CArchive& ar) { ArchiveStoreString(ar, f.lfFaceName); });
    EXPECT_EQ(ToHex(bytes), "04 00 00 00 43 61 66 E9 00");
    LOGFONT g;
    LoadBytes(bytes, [&](CArchive& ar) { ArchiveLoadString(ar, g.lfFaceName); });
    EXPECT_STREQ(g.lfFaceName, "Caf\xC3\xA9");
}

TEST(Records, DamagedRecordsAreRefused)
{
    auto charFormat = [](UINT cbSize) {
        CHARFORMAT cf;
        cf.cbSize = cbSize;
        return StoreBytes([&](CArchive& ar) { ar << cf << std::int32_t(0x55); });
    };
    // A bad CHARFORMAT is consumed whole before it is refused.
    CArchive* seen = nullptr;
    try {
        LoadBytes(charFormat(59), [&](CArchive& ar) {
            seen = &ar;
            CHARFORMAT cf;
            try {
                ar >> cf;
            } catch (const CArchiveException& e) {
                EXPECT_STREQ(e.what(), "Bad CHARFORMAT");
                std::int32_t next = 0;
                ar >> next;
                EXPECT_EQ(next, 0x55);
                throw;
            }
        });
        ADD_FAILURE();
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::genericException);
    }
    EXPECT_NE(seen, nullptr);

    PARAFORMAT bad;
    bad.cbSize = 150;
    bad.cTabCount = 2;
    try {
        LoadBytes(StoreBytes([&](CArchive& ar) { ar << bad; }), [](CArchive& ar) {
            PARAFORMAT pf;
            ar >> pf;
        });
        ADD_FAILURE();
    } catch (const CArchiveException& e) {
        EXPECT_STREQ(e.what(), "Bad PARAFORMAT");
    }

    struct Case {
        const char* hex;
        const char* what;
    };
    const Case faces[] = {
        {"20 00 00 00", "face name of 32 bytes"},
        {"FF FF FF FF", "negative face length"},
        {"05 00 00 00 41 42", "face name cut short"},
    };
    for (const Case& c : faces) {
        EXPECT_THROW(LoadBytes(HexBytes(c.hex),
                               [](CArchive& ar) {
                                   char face[LF_FACESIZE];
                                   ArchiveLoadString(ar, face);
                               }),
                     CArchiveException)
            << c.what;
    }
    // 33 tab stops do not fit the record.
    Bytes tabs = HexBytes("9C 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 21 00 00 00");
    EXPECT_THROW(LoadBytes(tabs, [](CArchive& ar) { PARAFORMAT pf; ar >> pf; }), CArchiveException);
}

TEST(Blank, IsRecognisedByItsBitsAndSurvivesStorage)
{
    double values[3] = {1.0, 2.0, 3.0};
    FillBlankDoubles(values, 2);
    EXPECT_TRUE(IsBlank(values[0]));
    EXPECT_TRUE(IsBlank(values[1]));
    EXPECT_FALSE(IsBlank(values[2]));
    EXPECT_FALSE(IsBlank(std::nan("")));
    Bytes b = StoreBytes([&](CArchive& ar) { ArchiveStoreDoubles(ar, values, 3); });
    EXPECT_EQ(ToHex(Bytes(b.begin(), b.begin() + 8)), "FF FF FF FF FF FF FF FF");
    double back[3] = {};
    LoadBytes(b, [&](CArchive& ar) { ArchiveLoadDoubles(ar, back, 3); });
    EXPECT_TRUE(IsBlank(back[0]));
    EXPECT_EQ(back[2], 3.0);
    FillBlankDoubles(values, 0);
    EXPECT_EQ(values[2], 3.0);
}

TEST(Bulk, PairsAndCountsAreChecked)
{
    POINT pts[2] = {{1, 2}, {3, 4}};
    Bytes b = StoreBytes([&](CArchive& ar) { ArchiveStorePairs(ar, pts, 2); ArchiveStorePairs(ar, pts, 0); });
    EXPECT_EQ(b.size(), 16u);
    POINT back[2];
    LoadBytes(b, [&](CArchive& ar) { ArchiveLoadPairs(ar, back, 2); });
    EXPECT_EQ(back[1], (POINT{3, 4}));
    // Asking for more doubles than the archive holds fails before anything is read.
    double many[4];
    EXPECT_THROW(LoadBytes(b, [&](CArchive& ar) { ArchiveLoadDoubles(ar, many, 3); }), CArchiveException);
}

namespace {
class CCounted : public CObject {
    DECLARE_SERIAL(CCounted)
public:
    std::int32_t n = 0;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << n;
        else
            ar >> n;
    }
};
IMPLEMENT_SERIAL(CCounted, CObject, 0)
} // namespace

TEST(Bulk, ObjectArrays)
{
    CCounted a, b;
    a.n = 1;
    b.n = 2;
    CObject* objects[2] = {&a, &b};
    Bytes inPlace = StoreBytes([&](CArchive& ar) { ArchiveSerializeObjects(ar, objects, 2); });
    EXPECT_EQ(ToHex(inPlace), "01 00 00 00 02 00 00 00");
    Bytes framed = StoreBytes([&](CArchive& ar) { ArchiveStoreObjects(ar, objects, 2); });
    CObject* loaded[2] = {};
    LoadBytes(framed, [&](CArchive& ar) { ArchiveLoadObjects(ar, loaded, 2, RUNTIME_CLASS(CCounted)); });
    EXPECT_EQ(static_cast<CCounted*>(loaded[1])->n, 2);
    DeleteObjects(loaded, 2);
    EXPECT_EQ(loaded[0], nullptr);
    EXPECT_EQ(loaded[1], nullptr);
}

TEST(IndexSort, Doubles)
{
    const double v[] = {3.0, -1.0, 2.0, 2.0, 10.0};
    int index[5];
    SortIndexByValue(index, v, 5);
    for (int i = 1; i < 5; ++i)
        EXPECT_LE(v[index[i - 1]], v[index[i]]);
    int one[1] = {42};
    SortIndexByValue(one, v, 1);
    EXPECT_EQ(one[0], 0);
}

TEST(IndexSort, BlanksSortAfterEveryNumber)
{
    const double b = BlankValue();
    const double v[] = {b, 5.0, -1e300, b, 0.0, std::nan(""), 1e300};
    int index[7];
    SortIndexByValueBlanksLast(index, v, 7);
    EXPECT_EQ(index[0], 2);
    EXPECT_EQ(index[1], 4);
    EXPECT_EQ(index[2], 1);
    EXPECT_EQ(index[3], 6);
    for (int i = 4; i < 7; ++i)
        EXPECT_TRUE(IsBlank(v[index[i]]) || std::isnan(v[index[i]]));
}

TEST(IndexSort, StringsIgnoreCase)
{
    const std::string v[] = {"beta", "Alpha", "alphA2", "_x", "Zed", "ALPHA1"};
    int index[6];
    SortIndexByString(index, v, 6);
    // Case folds to lower before comparing, so '_' (0x5F) sorts before letters.
    const int expected[] = {3, 1, 5, 2, 0, 4};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(index[i], expected[i]) << i;
    EXPECT_EQ(CompareNoCase("abc", "ABC"), 0);
    EXPECT_LT(CompareNoCase("ab", "abc"), 0);
}
