// Fields in free text: how a field's inside is parsed, and how a rename of
// an item rewrites the fields that name it and leaves every other byte and
// format alone.
#include "DrawTestSupport.h"

#include "draw/DrawText.h"
#include "framework/ArchiveHelpers.h"
#include "framework/UpdateNotification.h"
#include "ui/RtfDocument.h"

#include <QTextDocument>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <tuple>

namespace {

struct FieldCase {
    const char* inside;
    bool valid;
    const char* item;
    const char* name;
    const char* argument;
};

void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.inside; }

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

// A workspace that knows a few items and answers their fields from a table
// written by hand; an unknown field gets the item's error text.
class FieldWorkspace : public CProjectDocBase, public CTextFieldSource {
public:
    bool GetItemFieldText(std::string_view item, std::string_view name, std::string_view argument,
                          std::string& text) const override
    {
        ++asked;
        // Items are found without regard to case, as the workspace finds them.
        const auto found = std::find_if(items.begin(), items.end(),
                                        [&](const auto& entry) { return CompareNoCase(entry.first, item) == 0; });
        if (found == items.end())
            return false;
        const auto it = answers.find({found->first, std::string(name), std::string(argument)});
        text = it == answers.end() ? "!! Bad command !!" : it->second;
        return true;
    }
    std::map<std::string, int> items;
    std::map<std::tuple<std::string, std::string, std::string>, std::string> answers;
    mutable int asked = 0;
};

struct FieldPage {
    FieldPage()
    {
        page.SetDocument(&doc);
        page.InitPageSetup();
        doc.items = {{"Data1", 0}, {"My fit", 0}};
        doc.answers[{"Data1", "ColumnName", "2"}] = "Rate";
        doc.answers[{"Data1", "Data", "2 1"}] = "2.50";
        doc.answers[{"My fit", "yColumn", ""}] = "Velocity";
        doc.answers[{"My fit", "Empty", ""}] = "";
    }
    CDrawText* AddText(const CRtfDocument& doc)
    {
        auto* text = new CDrawText(RECT{0, 0, 3000, -500}, &page);
        page.AddObject(text);
        text->SetTextDocument(doc);
        return text;
    }
    FieldWorkspace doc;
    CDrawData page;
};

CRtfDocument OneParagraph(std::initializer_list<std::pair<const char*, bool>> runs)
{
    CRtfDocument doc;
    for (const auto& [text, bold] : runs)
        doc.AppendText(text, Format(bold));
    doc.EndDocument(CRtfDocument::PlainParaFormat(), Format(false));
    return doc;
}

struct ExpandCase {
    const char* written;
    const char* drawn;
};

void PrintTo(const ExpandCase& c, std::ostream* os) { *os << c.written; }

class Expansion : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(Expansion, DrawsEachFieldAsItsItemsText)
{
    FieldPage f;
    CDrawText* text = f.AddText(OneParagraph({{GetParam().written, false}}));
    EXPECT_EQ(text->GetDrawnDocument().PlainText(), GetParam().drawn);
    // The stored text keeps its fields.
    EXPECT_EQ(text->GetText(), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Expansion,
    ::testing::Values(
        ExpandCase{"{Data1 ColumnName 2} = {DATA1 Data 2 1}", "Rate = 2.50"}, // the item found in any case
        ExpandCase{"y: {\"My fit\" yColumn}.", "y: Velocity."},
        ExpandCase{"{  \"My fit\"   yColumn}", "Velocity"},              // blanks around the name
        ExpandCase{"[{\"My fit\" Empty}]", "[]"},                           // an empty answer leaves nothing
        ExpandCase{"{Data1 Colour}", "!! Bad command !!"},                   // the item's own error text
        ExpandCase{"{Data1}", "{Data1}"},                                    // invalid: stays as written
        ExpandCase{"{\"Data1 ColumnName 2}", "{\"Data1 ColumnName 2}"},      // no closing quote
        ExpandCase{"{Gone ColumnName 2} {Data1 ColumnName 2}", "{Gone ColumnName 2} Rate"}, // no such item
        ExpandCase{"{Data1 ColumnName 2", "{Data1 ColumnName 2"},            // no closing brace
        ExpandCase{"No fields at all.", "No fields at all."}));

TEST(Expansion, TheValueTakesTheFormatOfTheOpeningBrace)
{
    FieldPage f;
    CDrawText* text = f.AddText(OneParagraph({{"Rate ", false}, {"{Data1 Data", true}, {" 2 1} units", false}}));
    const CRtfDocument drawn = text->GetDrawnDocument();
    ASSERT_EQ(drawn.paragraphs.size(), 1u);
    const std::vector<CRtfRun>& runs = drawn.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].text, "Rate ");
    EXPECT_EQ(runs[1].text, "2.50");
    EXPECT_TRUE(runs[1].format.dwEffects & CFE_BOLD);
    EXPECT_EQ(runs[2].text, " units");
    EXPECT_FALSE(runs[2].format.dwEffects & CFE_BOLD);
}

TEST(Expansion, AnAnswerHoldingBracesIsNotExpandedAgain)
{
    FieldPage f;
    f.doc.answers[{"Data1", "ColumnName", "1"}] = "{Data1 ColumnName 2}";
    CDrawText* text = f.AddText(OneParagraph({{"{Data1 ColumnName 1}/{Data1 ColumnName 2}", false}}));
    EXPECT_EQ(text->GetDrawnDocument().PlainText(), "{Data1 ColumnName 2}/Rate");
}

TEST(Expansion, EveryParagraphIsExpanded)
{
    FieldPage f;
    CRtfDocument doc;
    doc.AppendText("{Data1 ColumnName 2}", Format(false));
    doc.EndParagraph(CRtfDocument::PlainParaFormat(), Format(false));
    doc.AppendText("{\"My fit\" yColumn}", Format(false));
    doc.EndDocument(CRtfDocument::PlainParaFormat(), Format(false));
    CDrawText* text = f.AddText(doc);
    const CRtfDocument drawn = text->GetDrawnDocument();
    ASSERT_EQ(drawn.paragraphs.size(), 2u);
    EXPECT_EQ(drawn.paragraphs[0].Text(), "Rate");
    EXPECT_EQ(drawn.paragraphs[1].Text(), "Velocity");
}

TEST(Expansion, ANoticeLaysTheTextOutAgainWithTheNewValue)
{
    FieldPage f;
    CDrawText* text = f.AddText(OneParagraph({{"Rate: {Data1 Data 2 1}", false}}));
    text->BuildRuns();
    EXPECT_EQ(LayoutRichText(text->GetDrawnDocument(), 3000)->toPlainText().toStdString(), "Rate: 2.50");
    f.doc.answers[{"Data1", "Data", "2 1"}] = "3.75";
    CUpdateNotification changed;
    changed.kind = UN_CELLS_CHANGED;
    text->OnDocumentChange(changed);
    EXPECT_FALSE(text->RunsValid());
    EXPECT_EQ(text->GetDrawnDocument().PlainText(), "Rate: 3.75");
}

TEST(Expansion, TextWithoutBracesAsksNothing)
{
    FieldPage f;
    CDrawText* text = f.AddText(OneParagraph({{"Plain words", false}}));
    text->BuildRuns();
    CUpdateNotification changed;
    changed.kind = UN_CELLS_CHANGED;
    text->OnDocumentChange(changed);
    EXPECT_TRUE(text->RunsValid());
    EXPECT_EQ(text->GetDrawnDocument().PlainText(), "Plain words");
    EXPECT_EQ(f.doc.asked, 0);
}

TEST(Expansion, APageOfNoWorkspaceDrawsTheFieldsAsWritten)
{
    PageFixture f;
    auto* text = new CDrawText(RECT{0, 0, 3000, -500}, &f.page);
    f.page.AddObject(text);
    text->SetTextDocument(OneParagraph({{"{Data1 ColumnName 2}", false}}));
    EXPECT_EQ(text->GetDrawnDocument().PlainText(), "{Data1 ColumnName 2}");
}

} // namespace
