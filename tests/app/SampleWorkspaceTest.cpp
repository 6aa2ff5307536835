#include "app/MXDoc.h"
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
    EXPECT_EQ(doc.GetProjectItems().size(), 3u);
    std::filesystem::remove(path);
}
