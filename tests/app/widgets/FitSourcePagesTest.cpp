// The pages and the dialog that choose a fit outside the fit items: the
// fitted-curve dataset's Data Source page and the results listing's source,
// driven as a user does and checked against what the dataset or listing keeps.
#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/MXLinear.h"
#include "app/MXNonLinear.h"
#include "app/MXTransform.h"
#include "app/widgets/FitSourcePages.h"
#include "graph/XYDatasetFit.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

template <class T>
T* AddItem(CMXDoc& doc)
{
    auto* item = new T(&doc);
    item->InitNewItem();
    return item;
}

struct FitSourceFixture : ::testing::Test {
    RecordingReporter reporter;
    CMXDoc doc;
    CMXLinear* line = nullptr;
    CMXNonLinear* curve = nullptr;
    CMXTransform* ofCurve = nullptr;
    CMXTransform* ofOther = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(doc.OnNewDocument());
        line = AddItem<CMXLinear>(doc);
        line->SetName("Line", 0);
        curve = AddItem<CMXNonLinear>(doc);
        curve->SetName("Curve", 0);
        curve->SetEquationName("MM");
        for (const char* name : {"MM", "Other"}) {
            auto* eq = new CMXEquation(&doc);
            eq->InitNewItem();
            eq->SetName(name, 0);
        }
        ofCurve = AddItem<CMXTransform>(doc);
        ofCurve->SetName("Log MM", 0);
        ofCurve->GetTransformation().SetReferenceName("mm");
        ofOther = AddItem<CMXTransform>(doc);
        ofOther->SetName("Log Other", 0);
        ofOther->GetTransformation().SetReferenceName("Other");
    }
    static void Choose(QComboBox* combo, const QString& text)
    {
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
};

} // namespace

TEST_F(FitSourceFixture, TheDataSourcePageChoosesTheFitAndATransformationOfItsEquation)
{
    CXYDatasetFit dataset("curve", nullptr, 2);
    dataset.m_bTransform = 1;
    dataset.m_strTransform = "Log MM";
    CFitSourcePage page(&dataset, &doc);
    page.OnInitDialog();
    // Fit items only, in the workspace's order; the stored fit number shown from 1.
    ASSERT_EQ(page.GetResultsCombo()->count(), 2);
    EXPECT_EQ(page.GetResultsCombo()->currentText(), "Curve");
    EXPECT_EQ(page.GetFitNumberEdit()->text(), "3");
    EXPECT_EQ(page.GetTransformCombo()->count(), 2);
    EXPECT_TRUE(page.GetTransformCheck()->isEnabled());
    EXPECT_TRUE(page.GetTransformCheck()->isChecked());
    EXPECT_TRUE(page.GetTransformCombo()->isEnabled());
    EXPECT_FALSE(page.IsModified());

    // A transformation of another equation is refused, and nothing is stored.
    Choose(page.GetTransformCombo(), "Log Other");
    EXPECT_TRUE(page.IsModified());
    EXPECT_FALSE(page.OnApply());
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{IDS_TRANSFORMATION_OTHER_EQUATION});
    EXPECT_EQ(dataset.m_strTransform, "Log MM");
    // No transformation chosen at all: the other message.
    page.GetTransformCombo()->setCurrentIndex(-1);
    EXPECT_FALSE(page.OnApply());
    EXPECT_EQ(reporter.Ids().back(), IDS_SELECT_TRANSFORMATION);

    // Fit numbers outside 1 to 1000 are refused by the range check.
    Choose(page.GetTransformCombo(), "Log MM");
    for (const char* number : {"0", "1001"}) {
        page.GetFitNumberEdit()->setText(number);
        reporter.messages.clear();
        EXPECT_FALSE(page.OnApply()) << number;
        EXPECT_EQ(reporter.Ids(), std::vector<UINT>{IDS_ENTER_INTEGER_RANGE}) << number;
    }
    page.GetFitNumberEdit()->setText("1000");
    reporter.messages.clear();
    ASSERT_TRUE(page.OnApply());
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(dataset.m_strFit, "Curve");
    EXPECT_EQ(dataset.m_nFit, 999);
    EXPECT_EQ(dataset.m_bTransform, 1);
    EXPECT_EQ(dataset.m_strTransform, "Log MM");
    EXPECT_FALSE(page.IsModified());

    // A linear fit takes no transformation: the box is cleared and greyed, and
    // Apply stores the fit without one.
    Choose(page.GetResultsCombo(), "Line");
    EXPECT_FALSE(page.GetTransformCheck()->isChecked());
    EXPECT_FALSE(page.GetTransformCheck()->isEnabled());
    EXPECT_FALSE(page.GetTransformCombo()->isEnabled());
    page.GetFitNumberEdit()->setText("1");
    ASSERT_TRUE(page.OnApply());
    EXPECT_EQ(dataset.m_strFit, "Line");
    EXPECT_EQ(dataset.m_nFit, 0);
    EXPECT_EQ(dataset.m_bTransform, 0);
    EXPECT_EQ(dataset.m_strTransform, "");
}

TEST_F(FitSourceFixture, TheFitNumberButtonsStayWithinTheirRange)
{
    CXYDatasetFit dataset("Curve", nullptr, 999);
    CFitSourcePage page(&dataset, &doc);
    page.OnInitDialog();
    auto* field = page.GetFitNumberEdit()->parentWidget();
    auto* numbers = dynamic_cast<CFitNumberField*>(field);
    ASSERT_NE(numbers, nullptr);
    numbers->Step(1);
    EXPECT_EQ(page.GetFitNumberEdit()->text(), "1000");
    numbers->Step(1);
    EXPECT_EQ(page.GetFitNumberEdit()->text(), "1000");
    EXPECT_TRUE(page.IsModified());
    page.GetFitNumberEdit()->setText("1");
    numbers->Step(-1);
    EXPECT_EQ(page.GetFitNumberEdit()->text(), "1");
}

namespace {
struct FakeListing : CResultsListingTarget {
    std::string GetResultsName() const override { return name; }
    int GetResultsFit() const override { return fit; }
    void SetResults(const std::string& n, int f) override { name = n, fit = f; }
    void Rebuild() override { ++rebuilds; }
    std::string name;
    int fit = 0;
    int rebuilds = 0;
};
} // namespace

TEST_F(FitSourceFixture, TheResultsListingPageStoresTheSourceAndRebuildsTheListing)
{
    FakeListing listing;
    listing.name = "LINE"; // found without regard to case
    listing.fit = 4;
    CResultsListingPage page(&listing, &doc);
    ASSERT_TRUE(page.OnInitDialog());
    EXPECT_EQ(page.Fields()->Source()->currentText(), "Line");
    EXPECT_EQ(page.Fields()->NumberEdit()->text(), "5");
    Choose(page.Fields()->Source(), "Curve");
    EXPECT_TRUE(page.IsModified());
    // 1 to 100 only.
    for (const char* number : {"0", "101", "x"}) {
        page.Fields()->NumberEdit()->setText(number);
        EXPECT_FALSE(page.OnApply()) << number;
    }
    EXPECT_EQ(listing.rebuilds, 0);
    page.Fields()->NumberEdit()->setText("100");
    ASSERT_TRUE(page.OnApply());
    EXPECT_EQ(listing.name, "Curve");
    EXPECT_EQ(listing.fit, 99);
    EXPECT_EQ(listing.rebuilds, 1);
}

TEST_F(FitSourceFixture, TheResultsListingDialogOffersOkOnlyWithASource)
{
    CResultsListingDlg dlg(&doc);
    ASSERT_TRUE(dlg.OnInitDialog());
    EXPECT_EQ(dlg.Fields()->Source()->count(), 2);
    EXPECT_EQ(dlg.Fields()->Source()->currentIndex(), -1);
    EXPECT_FALSE(dlg.OkButton()->isEnabled());
    Choose(dlg.Fields()->Source(), "Curve");
    EXPECT_TRUE(dlg.OkButton()->isEnabled());
    dlg.Fields()->NumberEdit()->setText("101");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{IDS_ENTER_INTEGER_RANGE});
    dlg.Fields()->NumberEdit()->setText("2");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_strName, "Curve");
    EXPECT_EQ(dlg.m_nFitNumber, 2);
}

TEST(ResultsListing, AWorkspaceWithoutFitsSaysSoAndEndsAsCancelled)
{
    RecordingReporter reporter;
    CMXDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    CResultsListingDlg dlg(&doc);
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{IDS_NO_RESULTS_ITEMS});
    FakeListing listing;
    CResultsListingPage page(&listing, &doc);
    EXPECT_FALSE(page.OnInitDialog());
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{IDS_NO_RESULTS_ITEMS, IDS_NO_RESULTS_ITEMS}));
}
