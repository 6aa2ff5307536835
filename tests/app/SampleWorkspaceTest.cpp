#include "app/MXDoc.h"
#include "app/MXNonLinear.h"
#include "app/MXNotes.h"
#include "app/SampleWorkspace.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

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
    std::filesystem::remove(path);
}
