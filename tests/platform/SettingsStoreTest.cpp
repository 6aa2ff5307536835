#include "platform/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using Value = CSettingsStore::Value;

namespace {

// A private configuration folder per test, so that no test sees another's settings.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "mx-settings-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        m_path = (m_dir / "sub" / CSettingsStore::kFileName).string();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string ReadFile() const
    {
        std::ifstream in(m_path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void WriteFile(const std::string& text) const
    {
        fs::create_directories(fs::path(m_path).parent_path());
        std::ofstream(m_path, std::ios::binary) << text;
    }

    fs::path m_dir;
    std::string m_path;
};

Value Bytes(DWORD kind, std::initializer_list<int> bytes)
{
    Value v{kind, {}};
    for (int b : bytes)
        v.data.push_back(BYTE(b));
    return v;
}

Value Text(DWORD kind, std::string_view text, bool withNul = true)
{
    Value v{kind, std::vector<BYTE>(text.begin(), text.end())};
    if (withNul)
        v.data.push_back(0);
    return v;
}

} // namespace

TEST_F(SettingsStoreTest, EveryKindSurvivesTheFileExactly)
{
    // Each value is written by one store object and read back by a second one
    // that knows only the file.
    const std::vector<std::pair<std::string, Value>> cases = {
        {"Plain", Text(CSettingsStore::kindString, "Jane Doe")},
        {"Escapes", Text(CSettingsStore::kindString, "a\"b\\c\nd\re\tf\x01g\x7fh")},
        {"Utf8", Text(CSettingsStore::kindString, "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC")},
        {"Empty", Text(CSettingsStore::kindString, "")},
        {"NoNul", Text(CSettingsStore::kindString, "abc", false)},
        {"InnerNul", Bytes(CSettingsStore::kindString, {'a', 0, 'b', 0})},
        {"Expand", Text(CSettingsStore::kindExpandString, "$HOME/x")},
        {"Link", Text(CSettingsStore::kindLink, "target")},
        {"Dword", Bytes(CSettingsStore::kindDword, {0x78, 0x56, 0x34, 0x12})},
        {"DwordMax", Bytes(CSettingsStore::kindDword, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"ShortDword", Bytes(CSettingsStore::kindDword, {1, 2})},
        {"BigEndian", Bytes(CSettingsStore::kindDwordBigEndian, {0x12, 0x34, 0x56, 0x78})},
        {"Binary", Bytes(CSettingsStore::kindBinary, {0, 0xFF, 0x0A, 0x22})},
        {"EmptyBinary", Bytes(CSettingsStore::kindBinary, {})},
        {"Multi", Bytes(CSettingsStore::kindMultiString, {'a', 0, 'b', 'c', 0, 0})},
        {"EmptyMulti", Bytes(CSettingsStore::kindMultiString, {0, 0})},
        {"OddMulti", Bytes(CSettingsStore::kindMultiString, {'a', 0})},
        {"ResourceList", Bytes(CSettingsStore::kindResourceList, {1, 2, 3})},
        {"UnknownKind", Bytes(42, {9})},
        {"", Text(CSettingsStore::kindString, "the key's default value")},
        {"name \"quoted\" = x", Bytes(CSettingsStore::kindDword, {1, 0, 0, 0})},
    };
    {
        CSettingsStore writer(m_path);
        for (const auto& [name, value] : cases)
            ASSERT_TRUE(writer.SetValue("Software\\Brackmoor\\Marlox\\Test", name, value)) << name;
    }
    CSettingsStore reader(m_path);
    for (const auto& [name, value] : cases) {
        Value read;
        ASSERT_TRUE(reader.GetValue("Software\\Brackmoor\\Marlox\\Test", name, read)) << name;
        EXPECT_EQ(read, value) << name;
    }
    EXPECT_EQ(CSettingsStore::CountParseErrors(ReadFile()), 0u);
}

TEST_F(SettingsStoreTest, FileReadsAsText)
{
    CSettingsStore store(m_path);
    ASSERT_TRUE(store.SetValue("Software\\Brackmoor\\Marlox\\Preferences", "LargeIcons",
                               Bytes(CSettingsStore::kindDword, {1, 0, 0, 0})));
    ASSERT_TRUE(store.SetValue("Software\\Brackmoor\\Marlox\\User Info", "Author Name",
                               Text(CSettingsStore::kindString, "Jane \"JD\" Doe")));
    ASSERT_TRUE(store.SetValue("Software\\Brackmoor\\Marlox\\Data Filter Files", "List",
                               Bytes(CSettingsStore::kindMultiString, {'a', 0, 'b', 0, 0})));
    ASSERT_TRUE(store.SetValue("Software\\Brackmoor\\Marlox\\Settings", "Placement",
                               Bytes(CSettingsStore::kindBinary, {0x2C, 0, 0xAB})));
    ASSERT_TRUE(store.CreateKey("Software\\Brackmoor\\Marlox\\Empty"));
    EXPECT_EQ(ReadFile(),
              "# Marlox settings\n"
              "[Software\\Brackmoor\\Marlox\\Data Filter Files]\n"
              "\"List\" = multi \"a\" \"b\"\n"
              "[Software\\Brackmoor\\Marlox\\Empty]\n"
              "[Software\\Brackmoor\\Marlox\\Preferences]\n"
              "\"LargeIcons\" = dword 1\n"
              "[Software\\Brackmoor\\Marlox\\Settings]\n"
              "\"Placement\" = binary 2C 00 AB\n"
              "[Software\\Brackmoor\\Marlox\\User Info]\n"
              "\"Author Name\" = string \"Jane \\\"JD\\\" Doe\"\n");
    // The empty key survives a fresh read.
    EXPECT_TRUE(CSettingsStore(m_path).KeyExists("software\\brackmoor\\marlox\\empty"));
}

TEST_F(SettingsStoreTest, DamagedLinesAreSkippedAndTheRestKept)
{
    WriteFile("# a comment\n"
              "[Keep]\n"
              "\"a\" = dword 7\n"
              "\"b\" = dword 4294967296\n"       // too large
              "\"c\" = string \"unterminated\n"  // no closing quote
              "\"d\" = binary 0G\n"              // not hex
              "\"e\" = multi \"x\" \"\"\n"       // an empty text in a list
              "\"f\" = colour 1\n"               // unknown kind
              "\"g\" dword 1\n"                  // no '='
              "\"h\" = string \"bad \\q\"\n"     // unknown escape
              "\"i\" = string \"x\" trailing\n"  // text after the value
              "\"j\" = hex:x 00\n"               // kind not a number
              "  \"k\" = dword 0x10  \r\n"       // blanks and CR around a good line
              "[Bad\\\\Path]\n"                  // empty key name: its values go with it
              "\"lost\" = dword 1\n"
              "[Unclosed\n"
              "\"lost2\" = dword 1\n"
              "[Keep\\Child]\n"
              "\"m\" = expand \"%x%\"\n"
              "\"n\" = string \"cut off at the end");
    CSettingsStore store(m_path);
    Value v;
    ASSERT_TRUE(store.GetValue("Keep", "a", v));
    EXPECT_EQ(v, Bytes(CSettingsStore::kindDword, {7, 0, 0, 0}));
    ASSERT_TRUE(store.GetValue("Keep", "k", v));
    EXPECT_EQ(v, Bytes(CSettingsStore::kindDword, {16, 0, 0, 0}));
    ASSERT_TRUE(store.GetValue("Keep\\Child", "m", v));
    EXPECT_EQ(v, Text(CSettingsStore::kindExpandString, "%x%"));
    for (const char* name : {"b", "c", "d", "e", "f", "g", "h", "i", "j"})
        EXPECT_FALSE(store.GetValue("Keep", name, v)) << name;
    EXPECT_FALSE(store.GetValue("Keep\\Child", "n", v));
    EXPECT_FALSE(store.KeyExists("Bad"));
    EXPECT_FALSE(store.KeyExists("Unclosed"));
    std::vector<std::pair<std::string, Value>> values;
    ASSERT_TRUE(store.GetValues("Keep", values));
    EXPECT_EQ(values.size(), 2u);
    // 9 bad values under [Keep], the bad header and its value, the unclosed
    // header and its value, and the cut-off last line.
    EXPECT_EQ(CSettingsStore::CountParseErrors(ReadFile()), 14u);
}

TEST_F(SettingsStoreTest, BinaryGarbageNeverCrashes)
{
    std::string garbage;
    std::uint32_t x = 12345;
    for (int i = 0; i < 20000; ++i) {
        x = x * 1103515245u + 12345u;
        garbage += char(x >> 24);
        if (i % 97 == 0)
            garbage += "\n[K]\n\"v\" = binary ";
    }
    WriteFile(garbage);
    CSettingsStore store(m_path);
    std::vector<std::string> keys;
    EXPECT_TRUE(store.GetSubkeyNames("", keys));
    // It can still be written over with a good file.
    EXPECT_TRUE(store.SetValue("K", "v", Bytes(CSettingsStore::kindBinary, {1})));
    Value v;
    ASSERT_TRUE(CSettingsStore(m_path).GetValue("K", "v", v));
    EXPECT_EQ(v, Bytes(CSettingsStore::kindBinary, {1}));
}

TEST_F(SettingsStoreTest, NamesMatchWithoutCaseAndKeepTheirFirstSpelling)
{
    CSettingsStore store(m_path);
    ASSERT_TRUE(store.SetValue("Software\\Maker", "TextSize", Bytes(CSettingsStore::kindDword, {100, 0, 0, 0})));
    ASSERT_TRUE(store.SetValue("SOFTWARE\\maker", "TEXTSIZE", Bytes(CSettingsStore::kindDword, {90, 0, 0, 0})));
    Value v;
    ASSERT_TRUE(store.GetValue("software\\MAKER", "textsize", v));
    EXPECT_EQ(v.data[0], 90);
    std::vector<std::string> keys;
    ASSERT_TRUE(store.GetSubkeyNames("", keys));
    EXPECT_EQ(keys, std::vector<std::string>{"Software"});
    std::vector<std::pair<std::string, Value>> values;
    ASSERT_TRUE(store.GetValues("Software\\Maker", values));
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].first, "TextSize");
}

TEST_F(SettingsStoreTest, ReadingNeverCreatesAnything)
{
    CSettingsStore store(m_path);
    Value v;
    std::vector<std::string> keys;
    EXPECT_FALSE(store.GetValue("Software\\Brackmoor\\Marlox\\Tip", "StartUp", v));
    EXPECT_FALSE(store.GetSubkeyNames("Software\\Brackmoor", keys));
    EXPECT_FALSE(store.KeyExists("Software"));
    EXPECT_FALSE(fs::exists(m_path));
    EXPECT_FALSE(fs::exists(fs::path(m_path).parent_path()));
}

TEST_F(SettingsStoreTest, KeyDeletion)
{
    CSettingsStore store(m_path);
    ASSERT_TRUE(store.SetValue("A\\B\\C", "v", Text(CSettingsStore::kindString, "x")));
    ASSERT_TRUE(store.SetValue("A\\B", "w", Text(CSettingsStore::kindString, "y")));
    EXPECT_FALSE(store.DeleteKey("A\\B")); // has a subkey
    EXPECT_TRUE(store.DeleteKey("A\\B\\C"));
    EXPECT_FALSE(store.KeyExists("A\\B\\C"));
    EXPECT_TRUE(store.DeleteKey("a\\b")); // now empty of subkeys; its value goes with it
    EXPECT_FALSE(store.DeleteKey("A\\B"));
    EXPECT_FALSE(store.DeleteKey(""));    // the root is never deleted
    ASSERT_TRUE(store.SetValue("A\\B\\C\\D", "v", Text(CSettingsStore::kindString, "x")));
    EXPECT_TRUE(store.DeleteTree("A\\B"));
    EXPECT_TRUE(store.KeyExists("A"));
    EXPECT_FALSE(store.KeyExists("A\\B"));
    EXPECT_FALSE(CSettingsStore(m_path).KeyExists("A\\B"));
    Value v;
    EXPECT_FALSE(store.DeleteValue("A", "missing"));
}

TEST_F(SettingsStoreTest, InvalidKeyPathsAreRefused)
{
    CSettingsStore store(m_path);
    Value v = Text(CSettingsStore::kindString, "x");
    for (const char* path : {"\\A", "A\\", "A\\\\B", "A\\B\nC", "Tab\there"})
        EXPECT_FALSE(store.SetValue(path, "v", v)) << path;
    EXPECT_FALSE(fs::exists(m_path));
    // Value names may hold anything, backslashes included.
    EXPECT_TRUE(store.SetValue("A", "x\\y\nz", v));
    Value read;
    EXPECT_TRUE(CSettingsStore(m_path).GetValue("A", "x\\y\nz", read));
}

TEST_F(SettingsStoreTest, ReadOnlyStoreRefusesChanges)
{
    WriteFile("[Software\\Brackmoor\\Marlox\\Data Filter Files]\n\"Number\" = dword 1\n");
    const std::string before = ReadFile();
    CSettingsStore store(m_path, true);
    Value v;
    EXPECT_TRUE(store.GetValue("Software\\Brackmoor\\Marlox\\Data Filter Files", "Number", v));
    EXPECT_FALSE(store.SetValue("X", "v", v));
    EXPECT_FALSE(store.CreateKey("X"));
    EXPECT_FALSE(store.DeleteValue("Software\\Brackmoor\\Marlox\\Data Filter Files", "Number"));
    EXPECT_FALSE(store.DeleteTree("Software"));
    EXPECT_EQ(ReadFile(), before);
}

TEST_F(SettingsStoreTest, ChangesAreWrittenAtOnceAndSeenByOtherObjects)
{
    CSettingsStore first(m_path);
    CSettingsStore second(m_path);
    Value v;
    EXPECT_FALSE(second.GetValue("K", "a", v)); // second has read the (missing) file
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(first.SetValue("K", "a", Bytes(CSettingsStore::kindDword, {i, 0, 0, 0})));
        ASSERT_TRUE(second.GetValue("K", "a", v));
        EXPECT_EQ(v.data[0], i);
    }
    ASSERT_TRUE(second.SetValue("K", "b", v));
    EXPECT_TRUE(first.GetValue("K", "a", v)); // second's change kept first's
    EXPECT_TRUE(first.GetValue("K", "b", v));
    // Only the file and its lock are left: every temporary file was renamed.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::path(m_path).parent_path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"settings.conf", "settings.conf.lock"}));
}

TEST_F(SettingsStoreTest, TheFileIsReadOnceAndAgainOnlyWhenReplaced)
{
    // A settings file of about a megabyte: reading it at every call made the
    // start-up take seconds.
    std::string text = "[Software\\Big]\n";
    for (int i = 0; i < 40000; ++i)
        text += "\"Value" + std::to_string(i) + "\" = string \"some text to fill the line\"\n";
    WriteFile(text);
    CSettingsStore store(m_path);
    Value v;
    for (int i = 0; i < 2000; ++i)
        ASSERT_TRUE(store.GetValue("Software\\Big", "Value" + std::to_string(i * 20), v));
    EXPECT_EQ(store.GetParseCount(), 1u);
    // A change of this store is written atomically and not read back.
    ASSERT_TRUE(store.SetValue("Software\\Big", "Value0", Text(CSettingsStore::kindString, "changed")));
    ASSERT_TRUE(store.GetValue("Software\\Big", "Value0", v));
    EXPECT_EQ(store.GetParseCount(), 1u);
    // Another store's change replaces the file, and the first store sees it.
    CSettingsStore other(m_path);
    ASSERT_TRUE(other.SetValue("Software\\Big", "Value1", Text(CSettingsStore::kindString, "other")));
    ASSERT_TRUE(store.GetValue("Software\\Big", "Value1", v));
    EXPECT_EQ(v, Text(CSettingsStore::kindString, "other"));
    EXPECT_EQ(store.GetParseCount(), 2u);
    // So does an edit by hand that writes the file in place.
    WriteFile("[K]\n\"a\" = dword 7\n");
    ASSERT_TRUE(store.GetValue("K", "a", v));
    EXPECT_EQ(v, Bytes(CSettingsStore::kindDword, {7, 0, 0, 0}));
}

TEST_F(SettingsStoreTest, AFileThatCannotBeWrittenKeepsTheOldState)
{
    // A folder where the settings file should be: the write fails and the
    // store goes on reporting what is really on disk.
    fs::create_directories(m_path);
    CSettingsStore store(m_path);
    EXPECT_FALSE(store.SetValue("K", "a", Bytes(CSettingsStore::kindDword, {1, 0, 0, 0})));
    Value v;
    EXPECT_FALSE(store.GetValue("K", "a", v));
    EXPECT_FALSE(store.KeyExists("K"));
}

TEST_F(SettingsStoreTest, FoldersComeFromTheEnvironment)
{
    struct Saved {
        const char* name;
        std::string value;
        bool set;
    };
    std::vector<Saved> saved;
    for (const char* name : {"MARLOX_CONFIG_DIR", "XDG_CONFIG_HOME", "HOME", "MARLOX_SYSTEM_CONFIG_DIR"}) {
        const char* v = std::getenv(name);
        saved.push_back({name, v ? v : "", v != nullptr});
    }
    ::setenv("MARLOX_CONFIG_DIR", m_dir.c_str(), 1);
    EXPECT_EQ(CSettingsStore::UserConfigDir(), m_dir.string());
    EXPECT_EQ(CSettingsStore::User().GetFilePath(), (m_dir / "settings.conf").string());
    ::unsetenv("MARLOX_CONFIG_DIR");
    ::setenv("XDG_CONFIG_HOME", "/x/config", 1);
    EXPECT_EQ(CSettingsStore::UserConfigDir(), "/x/config/Marlox");
    ::setenv("XDG_CONFIG_HOME", "relative", 1); // not absolute: ignored
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(CSettingsStore::UserConfigDir(), "/home/someone/.config/Marlox");
    ::unsetenv("MARLOX_SYSTEM_CONFIG_DIR");
    EXPECT_EQ(CSettingsStore::SystemConfigDir(), "/etc/xdg/Marlox");
    EXPECT_TRUE(CSettingsStore::Machine().IsReadOnly());
    ::setenv("MARLOX_SYSTEM_CONFIG_DIR", "/opt/site", 1);
    EXPECT_EQ(CSettingsStore::Machine().GetFilePath(), "/opt/site/settings.conf");
    for (const Saved& s : saved)
        s.set ? ::setenv(s.name, s.value.c_str(), 1) : ::unsetenv(s.name);
}
