// Fields in free text: how a field's inside is parsed, and how a rename of
// an item rewrites the fields that name it and leaves every other byte and
// format alone.
#include "DrawTestSupport.h"

#include "draw/DrawText.h"
#include "framework/UpdateNotification.h"
#include "ui/RtfDocument.h"

#include <gtest/gtest.h>

namespace {

struct FieldCase {
    const char* inside;
    bool valid;
    const char* item;
    const char* name;
    const char* argument;
};

class Fields : public ::testing::TestWithParam<FieldCase> {};

TEST_P(Fields, Parse)
{
    const FieldCase& c = GetParam();
    std::string item, name, argument;
    ASSERT_EQ(ParseField(c.inside, item, name, argument), c.valid) << c.inside;
    if (!c.valid)
        return;
    EXPECT_EQ(item, c.item);
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(argument, c.argument);
}

INSTANTIATE_TEST_SUITE_P(Cases, Fields,
    ::testing::Values(FieldCase{"Fit1 Parameter Vmax", true, "Fit1", "Parameter", "Vmax"},
                      FieldCase{"  \"My fit\"  Value 2 decimals", true, "My fit", "Value", "2 decimals"},
                      FieldCase{"\"My fit\"Name", true, "My fit", "Name", ""},
                      FieldCase{"Fit1 Name", true, "Fit1", "Name", ""},
                      FieldCase{"Fit1", false, "", "", ""},       // no blank after an unquoted name
                      FieldCase{"\"My fit Name", false, "", "", ""}, // no closing quote
                      FieldCase{"   ", false, "", "", ""}));

CHARFORMAT Format(bool bold)
{
    CHARFORMAT cf = CRtfDocument::PlainCharFormat();
    cf.dwMask = kRtfCharMask;
    cf.dwEffects = bold ? DWORD(CFE_BOLD) : DWORD(0);
    return cf;
}

TEST(FieldRename, RewritesTheFieldsThatNameTheItem)
{
    PageFixture f;
    auto* text = new CDrawText(RECT{0, 0, 2000, 500}, &f.page);
    f.page.AddObject(text);
    CRtfDocument doc;
    doc.AppendText("Vmax = {Fit1 Parameter Vmax} and ", Format(false));
    // A field split over runs of two formats.
    doc.AppendText("{\"fit1\" Val", Format(true));
    doc.AppendText("ue Km}; {Other Name}; {Fit1}.", Format(false));
    doc.EndDocument(CRtfDocument::PlainParaFormat(), Format(false));
    text->SetTextDocument(doc);

    CUpdateNotification renamed;
    renamed.kind = UN_ITEM_RENAMED;
    renamed.oldName = "FIT1";
    renamed.newName = "Michaelis";
    text->OnDocumentChange(renamed);
    EXPECT_EQ(text->GetText(),
              "Vmax = {\"Michaelis\" Parameter Vmax} and {\"Michaelis\" Value Km}; {Other Name}; {Fit1}.");
    const CRtfDocument after = text->GetTextDocument();
    ASSERT_EQ(after.paragraphs.size(), 1u);
    const std::vector<CRtfRun>& runs = after.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 3u);
    // The second field's new inside takes the format its start had.
    EXPECT_EQ(runs[1].text, "{\"Michaelis\" Value Km");
    EXPECT_TRUE(runs[1].format.dwEffects & CFE_BOLD);
    EXPECT_EQ(runs[2].text, "}; {Other Name}; {Fit1}.");
    EXPECT_TRUE(f.doc.IsModified());
}

TEST(FieldRename, TextWithoutFieldsIsLeftAlone)
{
    PageFixture f;
    auto* text = new CDrawText(RECT{0, 0, 2000, 500}, &f.page);
    f.page.AddObject(text);
    text->ReplaceText(nullptr, "No fields here: Fit1 Name", false);
    f.doc.SetModifiedFlag(false);
    EXPECT_FALSE(text->RenameItemInFields("Fit1", "Other"));
    EXPECT_EQ(text->GetText(), "No fields here: Fit1 Name");
    EXPECT_FALSE(f.doc.IsModified());
}

} // namespace
