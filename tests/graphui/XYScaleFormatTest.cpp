// The number-format page of a tick-label block: what it shows, what Apply
// writes (the labels' texts, alignment, orientation), what it refuses, and
// that a page closed without Apply changes nothing.
#include "WizardSupport.h"

#include "graph/DrawGraph.h"
#include "graph/ScaleText.h"
#include "graph/XYAxis.h"
#include "graphui/widgets/XYScaleFormat.h"
#include "graphui/widgets/XYWizard.h"
#include "platform/StringIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

// An XY graph whose X axis runs from 0 to 10 in steps of 2.
struct ScaleFormatFixture : GraphFixture {
    ScaleFormatFixture()
    {
        graph = new CDrawXYGraph(RECT{0, 0, 7200, -5040}, &page);
        CXYAxis* x = graph->GetXAxis(0);
        x->m_bAutoMin = x->m_bAutoMax = x->m_bAutoMajor = 0;
        x->m_dMin = 0.0;
        x->m_dMax = 10.0;
        x->m_dMajor = 2.0;
        labels = x->GetTickLabels();
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const CTickLabel& label : labels->Labels())
            texts.push_back(label.text);
        return texts;
    }
    RecordingReporter reporter;
    CDrawXYGraph* graph = nullptr;
    CXYScaleText* labels = nullptr;
};

} // namespace

TEST(XYScaleFormat, ShowsTheBlocksFormatAndWritesItBackUntouched)
{
    ScaleFormatFixture f;
    ASSERT_NE(f.labels, nullptr);
    const CDataFormat before = f.labels->GetNumberFormat();
    const std::vector<std::string> texts = f.Texts();
    EXPECT_EQ(texts, (std::vector<std::string>{"0", "2", "4", "6", "8", "10"}));
    {
        CXYScaleFormat page(f.labels);
        EXPECT_EQ(page.GetTemplateId(), 3549);
        EXPECT_EQ(page.windowTitle(), "Scale");
        // A new block: five decimals, ten digits, trailing zeros omitted, centred.
        EXPECT_EQ(page.m_decimals->text(), "5");
        EXPECT_EQ(page.m_maxDigits->text(), "10");
        EXPECT_EQ(page.m_zeros->currentIndex(), 1);
        EXPECT_EQ(page.m_scaling->text(), "0");
        EXPECT_EQ(page.m_alignment->currentIndex(), 1);
        EXPECT_EQ(page.m_orientation->count(), 5);
        EXPECT_FALSE(page.m_formatText->isEnabled());
        ASSERT_TRUE(ApplyPropertyPage(page));
    }
    EXPECT_TRUE(f.labels->GetNumberFormat() == before);
    EXPECT_EQ(f.Texts(), texts);
}

TEST(XYScaleFormat, AlignmentListAndStoredAlignmentMapBothWays)
{
    ScaleFormatFixture f;
    // The list shows left, centre, right; the block keeps 1 left, 2 right, 3 centre.
    const struct {
        int index;
        WORD stored;
    } cases[] = {{0, 1}, {1, 3}, {2, 2}};
    for (const auto& c : cases) {
        CXYScaleFormat page(f.labels);
        page.m_alignment->setCurrentIndex(c.index);
        ASSERT_TRUE(ApplyPropertyPage(page));
        EXPECT_EQ(f.labels->GetParaFormat(nullptr)->wAlignment, c.stored) << c.index;
        EXPECT_EQ(CXYScaleFormat(f.labels).m_nAlignment, c.index) << c.index;
        EXPECT_EQ(AlignmentListIndex(c.stored), c.index);
        EXPECT_EQ(AlignmentFromListIndex(c.index), c.stored);
    }
    // Orientation: list entry 3 is 270 degrees.
    CXYScaleFormat page(f.labels);
    page.m_orientation->setCurrentIndex(3);
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(f.labels->GetTextOrientation(), 270.0);
    EXPECT_EQ(CXYScaleFormat(f.labels).m_orientation->currentIndex(), 3);
}

TEST(XYScaleFormat, AnotherDecimalsCountRewritesTheLabels)
{
    ScaleFormatFixture f;
    CXYScaleFormat page(f.labels);
    page.m_decimals->setText("2");
    page.m_zeros->setCurrentIndex(0); // "Show 0's"
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(f.labels->GetNumberFormat().m_decimals, 2);
    EXPECT_EQ(f.Texts(), (std::vector<std::string>{"0.00", "2.00", "4.00", "6.00", "8.00", "10.00"}));
    // A scaling power of 3 multiplies each value by 1000 first.
    page.m_scaling->setText("3");
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(f.Texts(), (std::vector<std::string>{"0.00", "2000.00", "4000.00", "6000.00", "8000.00", "10000.00"}));
}

TEST(XYScaleFormat, AFormatStringPutsTheNumberIntoItsText)
{
    ScaleFormatFixture f;
    CXYScaleFormat page(f.labels);
    page.m_formatCheck->click();
    EXPECT_TRUE(page.m_formatText->isEnabled());
    page.m_formatText->setText("%1 mM");
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(f.labels->m_bCustomFormat, 1);
    EXPECT_EQ(f.Texts(), (std::vector<std::string>{"0 mM", "2 mM", "4 mM", "6 mM", "8 mM", "10 mM"}));
    // The power form clears and disables the format string, and the
    // scientific form; scientific clears power again.
    page.m_scientific->click();
    EXPECT_TRUE(page.m_scientific->isChecked());
    page.m_power->click();
    EXPECT_FALSE(page.m_scientific->isChecked());
    EXPECT_FALSE(page.m_formatCheck->isChecked());
    EXPECT_FALSE(page.m_formatCheck->isEnabled());
    EXPECT_FALSE(page.m_formatText->isEnabled());
    page.m_scientific->click();
    EXPECT_FALSE(page.m_power->isChecked());
    EXPECT_TRUE(page.m_formatCheck->isEnabled());
    EXPECT_TRUE(page.IsModified());
}

TEST(XYScaleFormat, ValuesOutOfRangeAreRefusedAndThePageStays)
{
    ScaleFormatFixture f;
    const CDataFormat before = f.labels->GetNumberFormat();
    const struct {
        const char* decimals;
        const char* digits;
        const char* scaling;
    } cases[] = {
        {"16", "20", "0"},  // at most 15 decimals
        {"-1", "10", "0"},  // no negative decimals
        {"2", "6", "0"},    // at least 7 digits
        {"9", "9", "0"},    // at least decimals + 1 digits
        {"2", "31", "0"},   // at most 30 digits
        {"2", "10", "100"}, // scaling power within -99 to 99
        {"2", "10", "-100"},
    };
    for (const auto& c : cases) {
        CXYScaleFormat page(f.labels);
        page.m_decimals->setText(c.decimals);
        page.m_maxDigits->setText(c.digits);
        page.m_scaling->setText(c.scaling);
        const std::size_t shown = f.reporter.Ids().size();
        EXPECT_FALSE(ApplyPropertyPage(page)) << c.decimals << " " << c.digits << " " << c.scaling;
        ASSERT_EQ(f.reporter.Ids().size(), shown + 1);
        EXPECT_EQ(f.reporter.Ids().back(), IDS_ENTER_INTEGER_RANGE);
        EXPECT_TRUE(f.labels->GetNumberFormat() == before);
    }
    // The edges of the ranges are taken.
    CXYScaleFormat page(f.labels);
    page.m_decimals->setText("15");
    page.m_maxDigits->setText("16");
    page.m_scaling->setText("-99");
    ASSERT_TRUE(ApplyPropertyPage(page));
    EXPECT_EQ(f.labels->GetNumberFormat().m_decimals, 15);
    EXPECT_EQ(f.labels->GetNumberFormat().m_maxDigits, 16);
    EXPECT_EQ(f.labels->GetNumberFormat().m_scaleExponent, -99);
}

TEST(XYScaleFormat, APageClosedWithoutApplyChangesNothing)
{
    ScaleFormatFixture f;
    const CDataFormat before = f.labels->GetNumberFormat();
    const WORD alignment = f.labels->GetParaFormat(nullptr)->wAlignment;
    {
        CXYScaleFormat page(f.labels);
        page.m_decimals->setText("3");
        page.m_thousands->click();
        page.m_alignment->setCurrentIndex(0);
        page.m_orientation->setCurrentIndex(2);
        page.m_formatCheck->click();
        page.m_formatText->setText("%1 s");
    }
    EXPECT_TRUE(f.labels->GetNumberFormat() == before);
    EXPECT_EQ(f.labels->GetParaFormat(nullptr)->wAlignment, alignment);
    EXPECT_EQ(f.labels->GetTextOrientation(), 0.0);
    EXPECT_EQ(f.labels->m_bCustomFormat, 0);
    EXPECT_EQ(f.Texts(), (std::vector<std::string>{"0", "2", "4", "6", "8", "10"}));
}
