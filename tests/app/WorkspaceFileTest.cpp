// A saved workspace as an independent reader (python's olefile) sees it.
#include "app/MXDoc.h"
#include "app/MXNotes.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>

namespace {

// Debian's python, where the olefile package installs.
constexpr const char* kPython = "/usr/bin/python3";

bool HaveOlefile()
{
    return std::system((std::string(kPython) + " -c 'import olefile' >/dev/null 2>&1").c_str()) == 0;
}

std::string RunCommand(const std::string& command)
{
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return out;
    std::array<char, 256> buf;
    while (std::fgets(buf.data(), int(buf.size()), pipe))
        out += buf.data();
    ::pclose(pipe);
    return out;
}

} // namespace

TEST(WorkspaceFile, IndependentReaderSeesItemsAndSummary)
{
    if (!HaveOlefile())
        GTEST_SKIP() << "python3 with olefile is not installed";
    std::string path = (std::filesystem::temp_directory_path() / "marlox-olefile-workspace.mxf").string();
    CMXDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    for (int i = 0; i < 3; ++i) {
        auto* notes = new CMXNotes(&doc);
        notes->InitNewItem();
    }
    for (int i = 0; i < 25; ++i)
        doc.NextItemId();
    (new CMXNotes(&doc))->InitNewItem(); // id 29 = 0x1D
    doc.GetSummaryInfo().SetTitle("Kinetics");
    ASSERT_TRUE(doc.OnSaveDocument(path));
    ASSERT_TRUE(doc.OnSaveDocument(path));

    std::string script =
        "import olefile,sys\n"
        "o=olefile.OleFileIO(sys.argv[1])\n"
        "print(sorted('/'.join(p) for p in o.listdir()))\n"
        "m=o.get_metadata()\n"
        "print(m.title.decode('cp1252'), m.revision_number.decode(), m.creating_application.decode())\n"
        "d=o.openstream('Contents').read()\n"
        "print(d[:6].decode(), len(d))\n";
    std::string scriptPath = path + ".py";
    {
        FILE* f = std::fopen(scriptPath.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs(script.c_str(), f);
        std::fclose(f);
    }
    std::string out = RunCommand(std::string(kPython) + " '" + scriptPath + "' '" + path + "'");
    std::filesystem::remove(scriptPath);
    EXPECT_EQ(out,
              "['\\x05SummaryInformation', 'Contents', 'Item_1', 'Item_1D', 'Item_2', 'Item_3']\n"
              "Kinetics 2 Marlox\n"
              // prefix 11 bytes, count 4, four entries of 72, version, last id, window count
              "MX4VZK " + std::to_string(11 + 4 + 4 * 72 + 12) + "\n");
    std::filesystem::remove(path);
}
