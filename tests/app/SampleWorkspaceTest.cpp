#include "app/MXDoc.h"
#include "app/MXNonLinear.h"
#include "app/MXNotes.h"
#include "app/SampleWorkspace.h"
#include "framework/ItemListCtrl.h"
#include "framework/SummaryInfo.h"
#include "framework/WorkspaceHost.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Records the windows a workspace asks to reopen.
class RecordingHost : public CWorkspaceHost {
public:
    std::vector<std::string> reopened;  // item names, bottom-most first
    bool OpenItemWindow(CProjectItemBase*) override { return false; }
    void CloseItemWindows(CProjectItemBase*) override {}
    bool HasItemWindow(const CProjectItemBase*) const override { return false; }
    std::vector<FrameState> GetItemFrames() override { return {}; }
    void RestoreItemFrames(const std::vector<FrameState>& bottomToTop) override
    {
        for (const FrameState& f : bottomToTop)
            reopened.push_back(f.item ? f.item->GetName() : std::string());
    }
    void CloseAllItemWindows() override {}
};

// What a user sees first of the sample: its notes over its table, and a
// summary that names this program and a plausible editing time.
void ExpectTheFirstLook(const std::string& path)
{
    RecordingReporter reporter;
    CMXDoc doc;
    RecordingHost host;
    doc.SetHost(&host);
    ASSERT_TRUE(doc.OnOpenDocument(path));
    doc.SetHost(nullptr);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(host.reopened, (std::vector<std::string>{"Initial rates", "About this study"}));
    // One column of icons, a cell (84 x 72) apart: none is hidden in the narrow list of a first start.
    CItemListCtrl* list = doc.GetItemListCtrl();
    ASSERT_EQ(list->GetItemCount(), 6);
    for (int row = 0; row < list->GetItemCount(); ++row) {
        EXPECT_LE(list->GetItemPosition(row).x, 10) << row;
        if (row > 0) {
            EXPECT_GE(list->GetItemPosition(row).y - list->GetItemPosition(row - 1).y, 72) << row;
        }
    }
    CSummaryInfo& summary = doc.GetSummaryInfo();
    EXPECT_EQ(summary.GetAppName(), "Marlox");
    std::uint64_t edited = ~0ull;
    ASSERT_TRUE(summary.GetStore().Get(FMTID_SummaryInformation, PIDSI_EDITTIME, &edited, sizeof edited));
    // Written by a program in well under a minute (FILETIME ticks are 100 ns).
    EXPECT_LT(edited, 60ull * 10'000'000ull);
    std::uint64_t created = 0;
    ASSERT_TRUE(summary.GetStore().Get(FMTID_SummaryInformation, PIDSI_CREATE_DTM, &created, sizeof created));
    EXPECT_NE(created, 0u);
}

} // namespace

// The shipped sample must open in the current program, whole.
TEST(SampleWorkspace, ShippedSampleOpens)
{
    std::string path = std::string(MARLOX_SOURCE_DIR) + "/examples/Sample.mxf";
    ASSERT_TRUE(std::filesystem::exists(path));
    RecordingReporter reporter;
    CMXDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_NE(doc.FindItem("about this study"), nullptr);
    auto* notes = dynamic_cast<CMXNotes*>(doc.FindItem("Method"));
    ASSERT_NE(notes, nullptr);
    EXPECT_NE(notes->GetRichData().GetPlainText().find("phosphate"), std::string::npos);
    ExpectTheFirstLook(path);
}

TEST(SampleWorkspace, GeneratorWritesWhatTheProgramReads)
{
    std::string path = (std::filesystem::temp_directory_path() / "marlox-sample-test.mxf").string();
    ASSERT_TRUE(WriteSampleWorkspace(path));
    CMXDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.GetProjectItems().size(), 6u);
    // The fit is stored fitted, with the published estimates (Bates & Watts: Vmax 212.7, Km 0.06412).
    auto* fit = dynamic_cast<CMXNonLinear*>(doc.FindItem("Michaelis-Menten fit"));
    ASSERT_NE(fit, nullptr);
    EXPECT_EQ(fit->GetState(), CMXResult::kFitted);
    double vmax = 0, km = 0, se = 0;
    ASSERT_TRUE(fit->GetParameter(0, 0, vmax, se));
    ASSERT_TRUE(fit->GetParameter(0, 1, km, se));
    EXPECT_NEAR(vmax, 212.68, 0.01);
    EXPECT_NEAR(km, 0.06412, 0.00001);
    ExpectTheFirstLook(path);
    std::filesystem::remove(path);
}

// The blank workspace template of the New sheet: the shipped file opens as a
// workspace with no items, and the generator writes such a file.
TEST(SampleWorkspace, BlankTemplateOpensAsAnEmptyWorkspace)
{
    const std::string shipped = std::string(MARLOX_SOURCE_DIR) + "/app/templates/Blank Workspace.mxt";
    const std::string written = (std::filesystem::temp_directory_path() / "marlox-blank-test.mxt").string();
    ASSERT_TRUE(WriteBlankTemplate(written));
    for (const std::string& path : {shipped, written}) {
        RecordingReporter reporter;
        CMXDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(path)) << path;
        EXPECT_TRUE(reporter.messages.empty()) << path;
        EXPECT_TRUE(doc.GetProjectItems().empty()) << path;
        EXPECT_FALSE(doc.IsModified()) << path;
        EXPECT_EQ(doc.GetSummaryInfo().GetAppName(), "Marlox") << path;
    }
    std::filesystem::remove(written);
}
