// The names of the string ids and the texts of the table must agree: every
// id in platform/StringIds.h has a text, every text has a name, and no other
// file gives an id a number of its own. The header is read as text, so that
// the check covers exactly what the header holds.
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSourceDir = MARLOX_SOURCE_DIR;

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct HeaderId {
    std::string name;
    UINT number;
    int line;
};

struct Header {
    std::vector<HeaderId> ids;
    std::vector<std::string> faults;
};

// Every line of the header is blank, a comment, the include guard or its one
// include, or one id in the one form that this reader (and a merge) expects.
Header ReadHeader()
{
    Header h;
    std::istringstream in(ReadFile(kSourceDir / "platform/StringIds.h"));
    const std::regex idLine(R"(inline constexpr UINT (IDS_[A-Z0-9_]+) = ([0-9]+);)");
    std::string line;
    UINT previous = 0;
    for (int n = 1; std::getline(in, line); ++n) {
        std::smatch m;
        if (line.empty() || line.rfind("//", 0) == 0) {
            if (!line.empty())
                previous = 0; // a comment opens a section; numbers rise within one
            continue;
        }
        if (line == "#pragma once" || line == "#include \"platform/Types.h\"")
            continue;
        if (!std::regex_match(line, m, idLine)) {
            h.faults.push_back("line " + std::to_string(n) + " is not an id: " + line);
            continue;
        }
        const UINT number = UINT(std::stoul(m[2]));
        if (number <= previous)
            h.faults.push_back("line " + std::to_string(n) + " breaks the ascending order of its section: " + line);
        previous = number;
        h.ids.push_back({m[1], number, n});
    }
    return h;
}

} // namespace

TEST(StringIds, HeaderHoldsOnlyIdsInAscendingSections)
{
    const Header h = ReadHeader();
    EXPECT_TRUE(h.faults.empty()) << testing::PrintToString(h.faults);
    // A sanity check that the reader saw the header the program compiles.
    EXPECT_GT(h.ids.size(), 400u);
}

TEST(StringIds, EachNameAndNumberStandsOnce)
{
    std::map<std::string, int> names;
    std::map<UINT, std::string> numbers;
    for (const HeaderId& id : ReadHeader().ids) {
        EXPECT_TRUE(names.emplace(id.name, id.line).second) << id.name << " is defined twice";
        auto [at, fresh] = numbers.emplace(id.number, id.name);
        EXPECT_TRUE(fresh) << id.number << " is named both " << at->second << " and " << id.name;
    }
}

TEST(StringIds, EveryIdHasAText)
{
    for (const HeaderId& id : ReadHeader().ids)
        EXPECT_TRUE(HasString(id.number)) << id.name << " = " << id.number << " has no text in the string table";
}

TEST(StringIds, EveryTextHasAnId)
{
    std::set<UINT> named;
    for (const HeaderId& id : ReadHeader().ids)
        named.insert(id.number);
    for (UINT number : StringTableIds())
        EXPECT_TRUE(named.count(number)) << "the text " << number << " (\"" << LoadString(number)
                                         << "\") has no name in platform/StringIds.h";
}

TEST(StringIds, NamesMeanTheirNumbers)
{
    // The compiled names and the header as read are one source; spot checks
    // across the sections tie the two together.
    EXPECT_EQ(IDS_MAKER_NAME, 108u);
    EXPECT_EQ(LoadString(IDS_LATER_VERSION), "This file was created by a later version of %1, or the file is corrupt.");
    EXPECT_EQ(LoadString(IDS_ERROR_DIVIDE_BY_ZERO), "ERROR - Divide by 0");
    EXPECT_EQ(LoadString(IDS_FIT_NOT_CONVERGED).rfind("The calculations did not converge", 0), 0u);
    EXPECT_EQ(LoadString(IDS_COLUMN_TYPE_NONE + 26), "Constants");
    EXPECT_EQ(LoadString(IDS_COLOUR_BLACK + 29), "90% Black");
}

TEST(StringIds, NoOtherFileNumbersAnId)
{
    const std::regex definition(R"(\bID[SP]_[A-Z0-9_]+\s*=\s*[0-9]|#\s*define\s+ID[SP]_)");
    std::vector<std::string> found;
    for (const char* folder : {"platform", "framework", "ui", "app", "data", "grid", "equation", "fitting", "draw",
                               "graph", "graphui", "shellext", "tests", "bench"}) {
        if (!fs::exists(kSourceDir / folder))
            continue;
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(kSourceDir / folder)) {
            const fs::path& p = e.path();
            if (!e.is_regular_file() || (p.extension() != ".h" && p.extension() != ".cpp"))
                continue;
            if (p == kSourceDir / "platform/StringIds.h")
                continue;
            std::istringstream in(ReadFile(p));
            std::string line;
            for (int n = 1; std::getline(in, line); ++n)
                if ((line.find("IDS_") != std::string::npos || line.find("IDP_") != std::string::npos) &&
                    std::regex_search(line, definition))
                    found.push_back(fs::relative(p, kSourceDir).string() + ":" + std::to_string(n) + ": " + line);
        }
    }
    EXPECT_TRUE(found.empty()) << "string ids are numbered only in platform/StringIds.h:\n"
                               << testing::PrintToString(found);
}
