// The file types as the desktop sees them: the package is installed into a
// scratch data folder, update-mime-database compiles it, and xdg-mime (with
// the GNOME desktop's reader of the database) names the type of real files.
#include "ProgramRunner.h"
#include "ShellextFixtures.h"
#include "app/DesktopIntegration.h"
#include "platform/CompoundFile.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace shellext_test;
namespace fs = std::filesystem;

namespace {

class MimeDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(RunProgram({"sh", "-c", "command -v update-mime-database && command -v xdg-mime && command -v gio"}), 0)
            << "shared-mime-info, xdg-utils and libglib2.0-bin are needed (scripts/deps.sh installs them)";
        m_data = m_folder.Path() / "data";
        std::string error;
        ASSERT_TRUE(InstallDesktopIntegration("/opt/marlox/bin/marlox", m_data.string(), true, &error)) << error;
        ASSERT_TRUE(fs::exists(m_data / "mime" / "mime.cache")) << "update-mime-database refused the package";
        m_files = m_folder.Path() / "files";
        fs::create_directories(m_files);
    }

    // The type that the desktop gives the file of that name and bytes.
    std::string TypeOf(const std::string& name, const std::string& bytes)
    {
        const std::string path = (m_files / name).string();
        WriteBytes(path, bytes);
        return TypeOfFile(path);
    }
    std::string TypeOfFile(const std::string& path)
    {
        std::string out;
        const int code = RunProgram({"xdg-mime", "query", "filetype", path},
                                    {"XDG_DATA_HOME=" + m_data.string(), "XDG_DATA_DIRS=/usr/share",
                                     "XDG_CURRENT_DESKTOP=GNOME"},
                                    &out);
        EXPECT_EQ(code, 0) << path;
        while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
            out.pop_back();
        return out;
    }

    ScratchFolder m_folder;
    fs::path m_data, m_files;
};

} // namespace

TEST_F(MimeDatabaseTest, WorkspacesAndTemplatesAreOursByNameAndByContent)
{
    const std::string small = ReadBytes(WriteNotesWorkspace(m_folder.File("small.mxf")));
    const std::string graph = ReadBytes(WriteGraphWorkspace(m_folder.File("graph.mxf")));
    const std::string sample = ReadBytes(MARLOX_SOURCE_DIR "/examples/Sample.mxf");
    ASSERT_FALSE(sample.empty());
    struct Case {
        const char* name;
        const std::string& bytes;
        const char* type;
    };
    const Case cases[] = {
        {"small.mxf", small, "application/x-marlox-workspace"},
        {"graph.mxf", graph, "application/x-marlox-workspace"},
        {"Sample.mxf", sample, "application/x-marlox-workspace"},
        {"SAMPLE.MXF", sample, "application/x-marlox-workspace"},
        {"small.mxt", small, "application/x-marlox-template"},
        // Without a name the workspace stream's prefix decides.
        {"small", small, "application/x-marlox-workspace"},
        {"graph", graph, "application/x-marlox-workspace"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TypeOf(c.name, c.bytes), c.type) << c.name;
}

TEST_F(MimeDatabaseTest, OtherFilesKeepTheirTypes)
{
    // An MXF video's first bytes (the header partition pack key).
    const std::string video = std::string("\x06\x0e\x2b\x34\x02\x05\x01\x01\x0d\x01\x02\x01\x01\x02\x04\x00", 16)
        + std::string(600, '\0');
    EXPECT_EQ(TypeOf("clip.mxf", video), "application/mxf");
    // Another program's compound file: without our name it is no workspace.
    CCompoundFile other;
    {
        auto stream = other.Root().CreateStream("Contents");
        const char text[] = "not a workspace of ours";
        stream->Write(text, sizeof text);
    }
    const std::vector<BYTE> otherBytes = other.ToBytes();
    const std::string otherFile(otherBytes.begin(), otherBytes.end());
    EXPECT_EQ(TypeOf("other", otherFile), "application/x-ole-storage");
}

// One test per kind: each asks the desktop twice, and the whole set must stay
// inside the time limit on a busy machine.
class MimeDatabaseKindTest : public MimeDatabaseTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(MimeDatabaseKindTest, StoredItemsGetTheirKindsType)
{
    const std::vector<StoredItemFile> files = WriteStoredItemOfEveryKind(m_folder);
    ASSERT_EQ(files.size(), GetStoredItemKinds().size());
    const StoredItemFile& f = files[GetParam()];
    const StoredItemKind* kind = FindStoredItemKind(f.iconIndex);
    ASSERT_NE(kind, nullptr);
    const std::string bytes = ReadBytes(f.path);
    EXPECT_EQ(TypeOf("item.mxc", bytes), kind->mimeType) << f.iconIndex;
    EXPECT_EQ(TypeOf("item-without-name", bytes), kind->mimeType) << f.iconIndex;
}

INSTANTIATE_TEST_SUITE_P(MimeDatabase, MimeDatabaseKindTest,
                         ::testing::Range(std::size_t(0), GetStoredItemKinds().size()));

TEST_F(MimeDatabaseTest, StoredItemHeadersOfNoKindGetTheGenericType)
{
    // Headers the program's reader gives the generic icon: the generic type.
    const std::string magic("MX Item\0", 8);
    EXPECT_EQ(TypeOf("newer.mxc", magic + std::string("\1\0\0\0\3\0\0\0", 8)), "application/x-marlox-item");
    EXPECT_EQ(TypeOf("index10.mxc", magic + std::string("\0\0\0\0\12\0\0\0", 8)), "application/x-marlox-item");
    EXPECT_EQ(TypeOf("base.mxc", magic + std::string("\0\0\0\0\0\0\0\0", 8)), "application/x-marlox-item");
    // An older header version still reads its index.
    EXPECT_EQ(TypeOf("older.mxc", magic + std::string("\xff\xff\xff\xff\3\0\0\0", 8)),
              "application/x-marlox-item-graph");
    EXPECT_EQ(TypeOf("short.mxc", "MX It"), "application/x-marlox-item");
}

TEST_F(MimeDatabaseTest, EveryTypeHasItsIconsAtTheThemesSizes)
{
    std::vector<std::string> icons{"marlox"};
    for (const MarloxFileType& t : GetMarloxFileTypes())
        icons.push_back(t.iconName);
    for (const StoredItemKind& kind : GetStoredItemKinds())
        icons.push_back(kind.iconName);
    for (const std::string& icon : icons) {
        const char* context = icon == "marlox" ? "apps" : "mimetypes";
        const fs::path hicolor = m_data / "icons" / "hicolor";
        EXPECT_TRUE(fs::exists(hicolor / "scalable" / context / (icon + ".svg"))) << icon;
        for (int size : IconThemeSizes()) {
            const fs::path png = hicolor / (std::to_string(size) + "x" + std::to_string(size)) / context / (icon + ".png");
            const std::string bytes = ReadBytes(png.string());
            ASSERT_GT(bytes.size(), 24u) << png;
            EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << png;
            // The PNG's own width and height (big-endian, after the IHDR tag).
            auto word = [&](std::size_t at) {
                return int((unsigned char)bytes[at]) << 24 | int((unsigned char)bytes[at + 1]) << 16
                    | int((unsigned char)bytes[at + 2]) << 8 | int((unsigned char)bytes[at + 3]);
            };
            EXPECT_EQ(word(16), size) << png;
            EXPECT_EQ(word(20), size) << png;
        }
    }
    const std::string thumbnailer = ReadBytes((m_data / "thumbnailers" / "marlox.thumbnailer").string());
    EXPECT_NE(thumbnailer.find("Exec=/opt/marlox/bin/marlox-thumbnailer -s %s %i %o\n"), std::string::npos);
    for (const StoredItemKind& kind : GetStoredItemKinds())
        EXPECT_NE(thumbnailer.find(std::string(kind.mimeType) + ";"), std::string::npos) << kind.mimeType;
}
