#include "framework/HeaderField.h"

#include "framework/ProjectDocBase.h"
#include "framework/ProjectItemBase.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

namespace {

HeaderFieldValues FixedValues()
{
    HeaderFieldValues v;
    v.fileName = "Study";
    v.fileLocation = "/home/ann/Study.mxf";
    v.itemName = "Data 1";
    v.itemType = "Data table";
    v.page = 3;
    v.pageCount = 7;
    v.time = "14:05";
    v.date = "10 December 2026";
    return v;
}

struct Case {
    const char* text;
    const char* expected;
    EHeaderAlign align;
};

class TypedItem : public CProjectItemBase {
public:
    using CProjectItemBase::CProjectItemBase;
    void GetTypeName(std::string& out) const override { out = "Notes"; }
};

} // namespace

TEST(HeaderFieldTest, EveryCodeExpands)
{
    const Case cases[] = {
        {"&F [&I]", "Study [Data 1]", EHeaderAlign::center},
        {"&R&P of &N", "3 of 7", EHeaderAlign::right},
        {"&O", "/home/ann/Study.mxf", EHeaderAlign::center},
        {"&Y", "Data table", EHeaderAlign::center},
        {"&T", "14:05", EHeaderAlign::center},
        {"&D", "10 December 2026", EHeaderAlign::center},
        // Letters in either case.
        {"&f&o&i&y&p&n&t&d", "Study/home/ann/Study.mxfData 1Data table3714:0510 December 2026", EHeaderAlign::center},
        {"50&&", "50&", EHeaderAlign::center},
        {"&Z", "&Z", EHeaderAlign::center},
        {"&&P", "&P", EHeaderAlign::center},
        {"Page &P&", "Page 3", EHeaderAlign::center},
        {"&", "", EHeaderAlign::center},
        {"", "", EHeaderAlign::center},
        // The alignment codes print nothing, may stand anywhere, and the last one wins.
        {"a&Lb", "ab", EHeaderAlign::left},
        {"&Lx&Rs&C", "xs", EHeaderAlign::center},
        {"&l&r", "", EHeaderAlign::right},
        {"&c", "", EHeaderAlign::center},
        {"& x", "& x", EHeaderAlign::center},
    };
    for (const Case& c : cases) {
        ExpandedHeaderLine line = ExpandHeaderText(c.text, FixedValues());
        EXPECT_EQ(line.text, c.expected) << c.text;
        EXPECT_EQ(line.align, c.align) << c.text;
    }
}

TEST(HeaderFieldTest, ValuesComeFromTheItemItsWorkspaceAndTheClock)
{
    SetClockForTesting([] {
        SYSTEMTIME t{};
        t.wYear = 2026;
        t.wMonth = 12;
        t.wDay = 10;
        t.wHour = 9;
        t.wMinute = 7;
        t.wSecond = 59;
        return t;
    });
    CProjectDocBase doc;
    doc.SetTitle("Study");
    auto* item = new TypedItem(&doc);
    item->SetName("Notes 2");
    HeaderFieldValues v = GetHeaderFieldValues(*item, 2, 5);
    SetClockForTesting({});
    EXPECT_EQ(v.fileName, "Study");
    EXPECT_EQ(v.itemName, "Notes 2");
    EXPECT_EQ(v.itemType, "Notes");
    EXPECT_EQ(v.page, 2);
    EXPECT_EQ(v.pageCount, 5);
    EXPECT_EQ(v.time, "09:07"); // no seconds
    EXPECT_EQ(v.date, "10 December 2026");
    EXPECT_EQ(ExpandHeaderText(item->m_strHeader, v).text, "Study [Notes 2]"); // the default header
    EXPECT_EQ(ExpandHeaderText(item->m_strFooter, v).text, "Page 2");
}

TEST(HeaderFieldTest, AnchorFollowsTheAlignment)
{
    EXPECT_EQ(HeaderAnchorX(EHeaderAlign::left, 1000, 7500), 1000);
    EXPECT_EQ(HeaderAnchorX(EHeaderAlign::right, 1000, 7500), 7500);
    EXPECT_EQ(HeaderAnchorX(EHeaderAlign::center, 1000, 7500), 4250); // (7500 - 1000) / 2 + 1000
}

TEST(HeaderFieldTest, InstalledFormattersWriteTimeAndDate)
{
    SetHeaderTimeFormatters([](const SYSTEMTIME&) { return std::string("T"); },
                            [](const SYSTEMTIME&) { return std::string("D"); });
    SYSTEMTIME t{};
    EXPECT_EQ(FormatHeaderTime(t), "T");
    EXPECT_EQ(FormatHeaderDate(t), "D");
    SetHeaderTimeFormatters(nullptr, nullptr);
    t.wMonth = 1;
    t.wDay = 2;
    t.wYear = 2027;
    t.wHour = 23;
    t.wMinute = 59;
    EXPECT_EQ(FormatHeaderTime(t), "23:59");
    EXPECT_EQ(FormatHeaderDate(t), "2 January 2027");
}
