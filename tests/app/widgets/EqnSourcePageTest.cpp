#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/MXHardEquation.h"
#include "app/MXNotes.h"
#include "app/widgets/EqnSourcePage.h"
#include "equation/Equation.h"

#include <QComboBox>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

struct FakeCurve : CEquationCurve {
    CMXDoc* GetDocument() const override { return doc; }
    std::string GetEquationItemName() const override { return name; }
    void SetEquationItemName(const std::string& n) override { name = n; }
    void Refresh() override { ++refreshes; }
    void OnGraphDataChanged() override { ++redraws; }
    CMXDoc* doc = nullptr;
    std::string name;
    int refreshes = 0;
    int redraws = 0;
};

CMXEquation* AddEquation(CMXDoc& doc, bool compiled)
{
    auto* item = new CMXEquation(&doc);
    item->InitNewItem();
    CEquation& eq = item->GetCompiledEquation();
    eq.SetYName("y");
    eq.SetXName(0, "x", "");
    eq.SetParameterName(0, "a", "");
    eq.SetSource("y = a*x");
    if (compiled)
        eq.Compile();
    return item;
}

} // namespace

TEST(EqnSourcePage, ListsEquationItemsAndSaysWhichCanBeDrawn)
{
    CMXDoc doc;
    doc.OnNewDocument();
    CMXEquation* compiled = AddEquation(doc, true);
    (new CMXNotes(&doc))->InitNewItem();
    CMXEquation* draft = AddEquation(doc, false);
    auto* library = new CMXHardEquation(&doc);
    library->InitNewItem();
    FakeCurve curve;
    curve.doc = &doc;
    // Item names match without regard to case.
    std::string upper = compiled->GetName();
    for (char& c : upper)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    curve.name = upper;
    CEqnSourcePage page(&curve);
    page.OnInitDialog();
    // Equations and library equations, in the workspace's order; no notes.
    ASSERT_EQ(page.GetEquationList()->count(), 3);
    EXPECT_EQ(page.GetEquationList()->itemText(1).toStdString(), draft->GetName());
    EXPECT_EQ(page.GetEquationList()->currentIndex(), 0);
    EXPECT_EQ(page.GetStatus()->text(), "");

    // An equation that is not compiled is marked, but Apply still takes it.
    page.GetEquationList()->setCurrentIndex(1);
    emit page.GetEquationList()->activated(1);
    EXPECT_TRUE(page.IsModified());
    EXPECT_EQ(page.GetStatus()->text(), "(Equation not correctly defined)");
    EXPECT_TRUE(page.OnApply());
    EXPECT_EQ(curve.name, draft->GetName());
    EXPECT_EQ(curve.refreshes, 1);
    EXPECT_EQ(curve.redraws, 1);
}

TEST(EqnSourcePage, WithoutEquationItemsApplyFails)
{
    CMXDoc doc;
    doc.OnNewDocument();
    (new CMXNotes(&doc))->InitNewItem();
    FakeCurve curve;
    curve.doc = &doc;
    curve.name = "Notes";
    CEqnSourcePage page(&curve);
    page.OnInitDialog();
    EXPECT_EQ(page.GetEquationList()->count(), 0);
    EXPECT_FALSE(page.OnApply());
    EXPECT_EQ(curve.refreshes, 0);
    EXPECT_EQ(curve.name, "Notes");
}
