#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/MXItemAdd.h"
#include "app/MXTransform.h"
#include "framework/ArchiveHelpers.h"
#include "framework/ItemListCtrl.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

template <class T>
T* Add(CMXDoc& doc)
{
    auto* item = new T(&doc);
    item->InitNewItem();
    return item;
}

} // namespace

TEST(EquationItems, DefaultsAndNames)
{
    CMXDoc doc;
    CMXEquation* eq = Add<CMXEquation>(doc);
    EXPECT_EQ(eq->GetName(), "Equation");
    EXPECT_EQ(Add<CMXEquation>(doc)->GetName(), "Equation #2");
    EXPECT_EQ(Add<CMXTransform>(doc)->GetName(), "Transform");
    EXPECT_STREQ(eq->m_fonts[0].font.lfFaceName, "Arial");
    EXPECT_EQ(eq->m_fonts[0].font.lfWeight, FW_BOLD);
    EXPECT_EQ(eq->m_fonts[0].size, 140);
    EXPECT_EQ(eq->m_fonts[1].font.lfItalic, 1);
    EXPECT_STREQ(eq->m_fonts[3].font.lfFaceName, "Times New Roman");
    EXPECT_EQ(eq->m_fonts[3].size, 100);
    EXPECT_EQ(eq->m_indents[1], 2000);
    EXPECT_EQ(doc.GetItemListCtrl()->GetItemText(0, 1), "Equation");
    EXPECT_TRUE(eq->SetEquationName("Michaelis"));
    EXPECT_EQ(eq->GetName(), "Michaelis");
}

TEST(EquationItems, BothStoredVersionsReadIntoTheSameItem)
{
    CMXDoc doc;
    CMXEquation* eq = Add<CMXEquation>(doc);
    eq->GetCompiledEquation().SetSource("y = a * x");
    eq->m_indents[2] = 1234;
    eq->m_fonts[2].size = 150;

    Bytes v1 = StoreBytes([&](CArchive& ar) { eq->Serialize(ar); });
    EXPECT_EQ(ToHex(Bytes(v1.begin(), v1.begin() + 8)), "01 00 00 00 00 00 00 00");
    // Version 0 kept the equation before the fonts and had no base version word.
    Bytes v0 = StoreBytes([&](CArchive& ar) {
        SerializeVersion(ar, 0);
        eq->CMXProjectItem::Serialize(ar);
        eq->GetCompiledEquation().Serialize(ar);
        eq->SerializeFontsAndIndents(ar);
    });
    for (const Bytes& bytes : {v1, v0}) {
        CMXEquation back;
        EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); }), 0u);
        EXPECT_EQ(back.GetCompiledEquation().GetSource(), "y = a * x");
        EXPECT_EQ(back.m_indents[2], 1234);
        EXPECT_EQ(back.m_fonts[2].size, 150);
        EXPECT_EQ(back.GetName(), "Equation");
    }
    // A version above 1 is refused.
    RecordingReporter reporter;
    Bytes newer = v1;
    newer[0] = 2;
    CMXEquation refused;
    EXPECT_THROW(LoadBytes(newer, [&](CArchive& ar) { refused.Serialize(ar); }), CArchiveException);
}

TEST(EquationItems, TransformationFollowsItsEquationItem)
{
    CMXDoc doc;
    CMXEquation* eq = Add<CMXEquation>(doc);
    CMXTransform* tr = Add<CMXTransform>(doc);
    tr->GetTransformation().SetReferenceName("Equation");
    tr->GetTransformation().SetCompiled(true);
    EXPECT_EQ(tr->FindSourceItem(), eq);

    eq->SetName("Kinetics");
    EXPECT_EQ(tr->GetTransformation().GetReferenceName(), "Kinetics");

    CItemListCtrl* list = doc.GetItemListCtrl();
    list->ClearSelection();
    list->SetItemState(list->FindItem(eq), LVIS_SELECTED, LVIS_SELECTED);
    ASSERT_EQ(doc.GetActionList().Add(new CProjectItemDeleteItem(&doc)), 1);
    EXPECT_EQ(tr->GetTransformation().GetReferenceName(), "");
    EXPECT_FALSE(tr->GetTransformation().IsCompiled());
    // Undoing the deletion gives the transformation its link back.
    ASSERT_EQ(doc.GetActionList().Undo(), 1);
    EXPECT_EQ(tr->GetTransformation().GetReferenceName(), "Kinetics");
    EXPECT_NE(tr->FindSourceItem(), nullptr);
}

TEST(EquationItems, WorkspaceRoundTrip)
{
    std::string path = ::testing::TempDir() + "marlox-equation-items.mxf";
    {
        CMXDoc doc;
        Add<CMXEquation>(doc)->GetCompiledEquation().SetSource("y = b + m * x");
        Add<CMXTransform>(doc)->GetTransformation().SetReferenceName("Equation");
        ASSERT_TRUE(doc.OnSaveDocument(path));
    }
    CMXDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    auto* eq = dynamic_cast<CMXEquation*>(doc.FindItem("Equation"));
    auto* tr = dynamic_cast<CMXTransform*>(doc.FindItem("Transform"));
    ASSERT_NE(eq, nullptr);
    ASSERT_NE(tr, nullptr);
    EXPECT_EQ(eq->GetCompiledEquation().GetSource(), "y = b + m * x");
    EXPECT_EQ(tr->FindSourceItem(), eq);
}
