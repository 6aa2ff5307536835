// The desktop's thumbnailer, run as the desktop runs it, on stored items of
// every kind, on workspaces with and without a graph, and on files it
// cannot read.
#include "ProgramRunner.h"
#include "ShellextFixtures.h"
#include "support/ImageCompare.h"
#include "app/DesktopIntegration.h"
#include "app/MXDoc.h"
#include "app/MXHardEquation.h"
#include "draw/PageRender.h"

#include <QImage>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <random>

using namespace shellext_test;
namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kChildEnvironment{
    "QT_QPA_PLATFORM=offscreen", "LSAN_OPTIONS=suppressions=" MARLOX_LEAK_SUPPRESSIONS};

int Thumbnail(const std::string& input, const std::string& output, const std::string& size = "64",
              std::vector<std::string> environment = kChildEnvironment)
{
    return RunProgram({MARLOX_THUMBNAILER, "-s", size, input, output}, environment);
}

QImage Decode(const QByteArray& png) { return QImage::fromData(png, "PNG").convertToFormat(QImage::Format_ARGB32); }
QImage DecodeFile(const std::string& path) { return Decode(QByteArray::fromStdString(ReadBytes(path))); }

QImage FileTypeIcon(const char* mimeType, int size)
{
    for (const MarloxFileType& t : GetMarloxFileTypes())
        if (std::string_view(t.mimeType) == mimeType)
            return Decode(SvgToPng(QByteArray::fromStdString(FileTypeIconText(t)), size));
    return {};
}

// The drawn picture of an item kind, as the repository keeps it.
std::string ItemPicture(const std::string& name) { return MARLOX_SOURCE_DIR "/app/icons/items/" + name + ".svg"; }

// Pixels that differ clearly in colour or opacity.
int DifferentPixels(const QImage& a, const QImage& b) { return DifferentPixels(a, b, 48, 48); }

std::string RandomBytes(std::mt19937& random, std::size_t count)
{
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = char(random() & 0xFF);
    return bytes;
}

} // namespace

// Each kind's thumbnail is its drawn picture of app/icons/items. One test per
// kind: each starts the thumbnailer, and a busy machine must not push the
// whole set past the time limit.
class ThumbnailerKind : public testing::TestWithParam<std::size_t> {};

TEST_P(ThumbnailerKind, GetsItsKindsIcon)
{
    ScratchFolder folder;
    const std::vector<StoredItemFile> files = WriteStoredItemOfEveryKind(folder);
    ASSERT_EQ(files.size(), GetStoredItemKinds().size());
    const StoredItemFile& f = files[GetParam()];
    const std::string out = folder.File("out" + std::to_string(f.iconIndex) + ".png");
    ASSERT_EQ(Thumbnail(f.path, out, "48"), 0) << f.path;
    const StoredItemKind* kind = FindStoredItemKind(f.iconIndex);
    ASSERT_NE(kind, nullptr);
    const QImage expected = Decode(SvgToPng(QByteArray::fromStdString(ReadBytes(ItemPicture(kind->itemIcon))), 48));
    ASSERT_FALSE(expected.isNull()) << kind->itemIcon;
    const QImage got = DecodeFile(out);
    ASSERT_EQ(got.size(), QSize(48, 48)) << f.path;
    EXPECT_TRUE(got == expected) << "kind " << f.iconIndex;
}

INSTANTIATE_TEST_SUITE_P(Thumbnailer, ThumbnailerKind, testing::Range(std::size_t(0), GetStoredItemKinds().size()));

TEST(Thumbnailer, NoTwoKindsLookAlike)
{
    // The thumbnails are the kinds' pictures (above), so comparing the pictures
    // compares the thumbnails: no two kinds, nor a kind and the generic stored
    // item, look alike.
    const QImage generic = Decode(SvgToPng(QByteArray::fromStdString(ReadBytes(ItemPicture("stored"))), 48));
    ASSERT_FALSE(generic.isNull());
    std::vector<std::pair<int, QImage>> seen;
    for (const StoredItemKind& kind : GetStoredItemKinds()) {
        const QImage got = Decode(SvgToPng(QByteArray::fromStdString(ReadBytes(ItemPicture(kind.itemIcon))), 48));
        ASSERT_FALSE(got.isNull()) << kind.itemIcon;
        EXPECT_GT(DifferentPixels(got, generic), 48 * 48 / 20) << kind.itemIcon;
        for (const auto& [index, other] : seen)
            EXPECT_GT(DifferentPixels(got, other), 48 * 48 / 20) << "kinds " << index << " and " << kind.iconIndex;
        seen.emplace_back(kind.iconIndex, got);
    }
}

TEST(Thumbnailer, TheIconIsDrawnAtTheAskedSize)
{
    ScratchFolder folder;
    const std::vector<StoredItemFile> files = WriteStoredItemOfEveryKind(folder);
    ASSERT_FALSE(files.empty());
    for (int size : {16, 128, 256}) {
        const std::string out = folder.File("size" + std::to_string(size) + ".png");
        ASSERT_EQ(Thumbnail(files[0].path, out, std::to_string(size)), 0);
        const QImage got = DecodeFile(out);
        EXPECT_EQ(got.size(), QSize(size, size));
        // The card fills the middle; the corners stay transparent.
        EXPECT_EQ(got.pixelColor(size / 2, size * 3 / 4).alpha(), 255) << size;
        EXPECT_EQ(got.pixelColor(0, size - 1).alpha(), 0) << size;
    }
}

namespace {

// Stored items whose header names no kind the thumbnailer knows.
std::vector<std::string> DamagedHeaders()
{
    std::mt19937 random(21);
    const std::string newer = std::string("MX Item\0", 8) + std::string("\1\0\0\0\3\0\0\0", 8);
    const std::string index10 = std::string("MX Item\0", 8) + std::string("\0\0\0\0\12\0\0\0", 8);
    const std::string indexMinus1 = std::string("MX Item\0", 8) + std::string("\0\0\0\0\377\377\377\377", 8);
    // Index 1 is in range but no kind's.
    const std::string index1 = std::string("MX Item\0", 8) + std::string("\0\0\0\0\1\0\0\0", 8);
    // A data table's header behind another magic, and cut short of its index.
    const std::string otherMagic = std::string("MX Itex\0", 8) + std::string("\0\0\0\0\4\0\0\0", 8);
    const std::string shortIndex = std::string("MX Item\0", 8) + std::string("\0\0\0\0\4\0", 6);
    std::vector<std::string> cases{"", "MX Item", newer, index10, indexMinus1, index1, otherMagic, shortIndex};
    cases.push_back(RandomBytes(random, 16));
    cases.push_back(RandomBytes(random, 3000));
    return cases;
}
constexpr std::size_t kDamagedHeaders = 10;

} // namespace

TEST(Thumbnailer, TheGenericIconIsTheStoredItemCard)
{
    const QImage generic = FileTypeIcon("application/x-marlox-item", 64);
    ASSERT_FALSE(generic.isNull());
    EXPECT_TRUE(generic == Decode(SvgToPng(QByteArray::fromStdString(ReadBytes(ItemPicture("stored"))), 64)));
}

// One test per header: each starts the thumbnailer.
class ThumbnailerDamagedHeader : public testing::TestWithParam<std::size_t> {};

TEST_P(ThumbnailerDamagedHeader, GetsTheGenericIcon)
{
    ScratchFolder folder;
    const std::vector<std::string> cases = DamagedHeaders();
    ASSERT_EQ(cases.size(), kDamagedHeaders);
    const std::string in = folder.File("damaged.mxc");
    const std::string out = folder.File("damaged.png");
    WriteBytes(in, cases[GetParam()]);
    ASSERT_EQ(Thumbnail(in, out), 0);
    EXPECT_TRUE(DecodeFile(out) == FileTypeIcon("application/x-marlox-item", 64));
}

INSTANTIATE_TEST_SUITE_P(Thumbnailer, ThumbnailerDamagedHeader, testing::Range(std::size_t(0), kDamagedHeaders));

TEST(Thumbnailer, AWorkspaceWithAGraphShowsItsFirstPage)
{
    ScratchFolder folder;
    const std::string in = WriteGraphWorkspace(folder.File("graph.mxf"));
    const std::string out = folder.File("graph.png");
    ASSERT_EQ(Thumbnail(in, out, "128"), 0);
    const QImage page = DecodeFile(out);
    // A letter page (8.5 by 11 inches) fitted into 128 pixels.
    EXPECT_EQ(page.height(), 128);
    EXPECT_NEAR(page.width(), 128 * 8.5 / 11, 1.0);
    // The red rectangle over the middle, white paper at the corners.
    const QColor middle = page.pixelColor(page.width() / 2, page.height() / 2);
    EXPECT_GT(middle.red(), 200);
    EXPECT_LT(middle.green(), 60);
    EXPECT_LT(middle.blue(), 60);
    for (QPoint corner : {QPoint(2, 2), QPoint(page.width() - 3, page.height() - 3)}) {
        const QColor c = page.pixelColor(corner);
        EXPECT_GT(c.red(), 240);
        EXPECT_GT(c.green(), 240);
        EXPECT_GT(c.blue(), 240);
    }
}

TEST(Thumbnailer, AnXYGraphIsDrawnOnThePage)
{
    ScratchFolder folder;
    const std::string in = WriteXYGraphWorkspace(folder.File("xy.mxf"));
    const std::string out = folder.File("xy.png");
    ASSERT_EQ(Thumbnail(in, out, "256"), 0);
    const QImage page = DecodeFile(out);
    ASSERT_EQ(page.height(), 256);
    // The axes and the legend's frame are dark lines on the paper, within
    // the graph's place (the middle of the page); the paper's margin is blank.
    int darkInside = 0, darkOutside = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.red() > 128 || c.green() > 128 || c.blue() > 128)
                continue;
            // The graph spans about 65 % of the width and 38 % of the height; its labels reach a little beyond.
            const bool inside = std::abs(x - page.width() / 2) < page.width() * 45 / 100
                && std::abs(y - page.height() / 2) < page.height() * 30 / 100;
            ++(inside ? darkInside : darkOutside);
        }
    EXPECT_GT(darkInside, 40);
    EXPECT_EQ(darkOutside, 0);
}

TEST(Thumbnailer, AWorkspaceWithoutAGraphShowsItsTypesIcon)
{
    ScratchFolder folder;
    const std::string workspace = WriteNotesWorkspace(folder.File("notes.mxf"));
    const std::string templ = folder.File("notes.mxt");
    fs::copy_file(workspace, templ);
    ASSERT_EQ(Thumbnail(workspace, folder.File("w.png")), 0);
    ASSERT_EQ(Thumbnail(templ, folder.File("t.png")), 0);
    EXPECT_TRUE(DecodeFile(folder.File("w.png")) == FileTypeIcon("application/x-marlox-workspace", 64));
    EXPECT_TRUE(DecodeFile(folder.File("t.png")) == FileTypeIcon("application/x-marlox-template", 64));
    EXPECT_FALSE(DecodeFile(folder.File("w.png")) == DecodeFile(folder.File("t.png")));
}

namespace {

// Files the thumbnailer cannot read: cuts of a workspace, random bytes, and
// random sectors behind a compound file's signature (name, bytes).
std::vector<std::pair<std::string, std::string>> UnreadableFiles(const std::string& whole)
{
    std::vector<std::pair<std::string, std::string>> files;
    for (std::size_t length : {std::size_t(0), std::size_t(8), std::size_t(600), whole.size() / 2})
        files.push_back({"cut" + std::to_string(length) + ".mxf", whole.substr(0, length)});
    std::mt19937 random(2021);
    for (int k = 0; k < 3; ++k) {
        std::string bytes = RandomBytes(random, 64 + random() % 6000);
        files.push_back({"random" + std::to_string(k) + (k % 2 ? ".mxf" : ""), bytes});
        files.push_back({"randomole" + std::to_string(k) + ".mxt", whole.substr(0, 8) + bytes});
    }
    return files;
}
constexpr std::size_t kUnreadableFiles = 10;

} // namespace

// One test per file: each starts the thumbnailer.
class ThumbnailerUnreadable : public testing::TestWithParam<std::size_t> {};

TEST_P(ThumbnailerUnreadable, GivesNoPictureAndFails)
{
    ScratchFolder folder;
    const std::string whole = ReadBytes(WriteGraphWorkspace(folder.File("whole.mxf")));
    ASSERT_GT(whole.size(), 2048u);
    const auto files = UnreadableFiles(whole);
    ASSERT_EQ(files.size(), kUnreadableFiles);
    const auto& [name, bytes] = files[GetParam()];
    const std::string in = folder.File(name);
    const std::string out = folder.File(name + ".png");
    WriteBytes(in, bytes);
    EXPECT_EQ(Thumbnail(in, out), 1) << name;
    EXPECT_FALSE(fs::exists(out)) << name;
}

INSTANTIATE_TEST_SUITE_P(Thumbnailer, ThumbnailerUnreadable, testing::Range(std::size_t(0), kUnreadableFiles));

TEST(Thumbnailer, AMissingFileOrAFolderGivesNoPictureAndFails)
{
    ScratchFolder folder;
    EXPECT_EQ(Thumbnail(folder.File("missing.mxc"), folder.File("missing.png")), 1);
    EXPECT_FALSE(fs::exists(folder.File("missing.png")));
    EXPECT_EQ(Thumbnail(folder.Path().string(), folder.File("folder.png")), 1);
    EXPECT_FALSE(fs::exists(folder.File("folder.png")));
}

TEST(Thumbnailer, EveryCutOfAWorkspaceFailsOrGivesAPicture)
{
    // Cuts at every second sector boundary: each either fails without output or,
    // where the cut left the workspace whole, gives a picture.
    ScratchFolder folder;
    const std::string whole = ReadBytes(WriteGraphWorkspace(folder.File("whole.mxf")));
    for (std::size_t length = 1024; length < whole.size(); length += 1024) {
        const std::string in = folder.File("cut.mxf");
        const std::string out = folder.File("cut" + std::to_string(length) + ".png");
        WriteBytes(in, whole.substr(0, length - 1));
        const int code = Thumbnail(in, out);
        ASSERT_TRUE(code == 0 || code == 1) << length;
        EXPECT_EQ(fs::exists(out), code == 0) << length;
        if (code == 0) {
            EXPECT_FALSE(DecodeFile(out).isNull()) << length;
        }
    }
}

TEST(Thumbnailer, BadArgumentsAreRefused)
{
    ScratchFolder folder;
    const std::string in = WriteNotesWorkspace(folder.File("notes.mxf"));
    const std::string out = folder.File("out.png");
    for (const char* size : {"0", "-4", "1025", "64px", ""})
        EXPECT_EQ(Thumbnail(in, out, size), 2) << size;
    EXPECT_EQ(RunProgram({MARLOX_THUMBNAILER, in, out}, kChildEnvironment), 2);
    EXPECT_FALSE(fs::exists(out));
}

TEST(Thumbnailer, ALibraryThatAWorkspaceNamesIsNeverLoaded)
{
    ScratchFolder folder;
    const std::string marker = folder.File("loaded");
    // The marker works: loading the library leaves it.
    ::setenv("MARLOX_LOADED_MARKER", marker.c_str(), 1);
    void* loaded = ::dlopen(MARLOX_LOAD_MARKER_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ::unsetenv("MARLOX_LOADED_MARKER");
    ASSERT_NE(loaded, nullptr) << ::dlerror();
    ASSERT_TRUE(fs::exists(marker));
    fs::remove(marker);
    const std::string workspace = folder.File("library.mxf");
    {
        CMXDoc doc;
        ASSERT_TRUE(doc.OnNewDocument());
        auto* item = new CMXHardEquation(&doc);
        item->InitNewItem();
        // Chosen by the user here; the marker is not set in this process.
        item->GetHardEquation().Load(MARLOX_LOAD_MARKER_LIBRARY);
        ASSERT_TRUE(doc.OnSaveDocument(workspace));
        item->SaveToFile(folder.File("library.mxc"));
    }
    ASSERT_NE(ReadBytes(workspace).find("test_load_marker"), std::string::npos);
    std::vector<std::string> environment = kChildEnvironment;
    environment.push_back("MARLOX_LOADED_MARKER=" + marker);
    EXPECT_EQ(Thumbnail(workspace, folder.File("w.png"), "64", environment), 0);
    EXPECT_EQ(Thumbnail(folder.File("library.mxc"), folder.File("c.png"), "64", environment), 0);
    EXPECT_FALSE(fs::exists(marker));
}
