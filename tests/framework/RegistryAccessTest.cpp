#include "framework/RegistryAccess.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Each test gets its own per-user and machine-wide folders.
class RegistryAccessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "mx-registry-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        Remember("MARLOX_CONFIG_DIR");
        Remember("MARLOX_SYSTEM_CONFIG_DIR");
        ::setenv("MARLOX_CONFIG_DIR", (m_dir / "user").c_str(), 1);
        ::setenv("MARLOX_SYSTEM_CONFIG_DIR", (m_dir / "system").c_str(), 1);
    }
    void TearDown() override
    {
        for (const auto& [name, value] : m_saved)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        fs::remove_all(m_dir);
    }
    void Remember(const char* name)
    {
        const char* v = std::getenv(name);
        m_saved.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
    }
    std::string UserFile() const { return (m_dir / "user" / "settings.conf").string(); }

    fs::path m_dir;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

CRegistryValue Raw(DWORD type, const Bytes& bytes)
{
    CRegistryValue v;
    v.Assign(type, bytes);
    return v;
}

} // namespace

TEST(RegistryValue, ConstructorsLayTheBytesOut)
{
    EXPECT_EQ(ToHex(CRegistryValue(DWORD(0x12345678)).Bytes()), ToHex(HexBytes("78 56 34 12")));
    EXPECT_EQ(CRegistryValue(DWORD(1)).GetType(), REG_DWORD);
    EXPECT_EQ(ToHex(CRegistryValue("ab").Bytes()), ToHex(HexBytes("61 62 00")));
    EXPECT_EQ(CRegistryValue("ab", true).GetType(), REG_EXPAND_SZ);
    EXPECT_EQ(ToHex(CRegistryValue(static_cast<const char*>(nullptr)).Bytes()), "00");
    EXPECT_EQ(CRegistryValue(std::vector<BYTE>{}).GetSize(), 0u); // an empty block gives nothing
    // Each text and its NUL, then one more NUL; no texts at all is two NULs.
    EXPECT_EQ(ToHex(CRegistryValue(std::vector<std::string>{"a", "bc"}).Bytes()), ToHex(HexBytes("61 00 62 63 00 00")));
    EXPECT_EQ(ToHex(CRegistryValue(std::vector<std::string>{}).Bytes()), "00 00");

    RECT r{-1, 2, 0x01020304, 4};
    EXPECT_EQ(ToHex(CRegistryValue(r).Bytes()),
              ToHex(HexBytes("FF FF FF FF 02 00 00 00 04 03 02 01 04 00 00 00")));

    LOGFONT f;
    f.lfHeight = -13;
    f.lfWeight = FW_BOLD;
    f.lfItalic = 1;
    f.lfCharSet = 2;
    f.lfPitchAndFamily = 0x22;
    std::strcpy(f.lfFaceName, "Arial");
    CRegistryValue font(f);
    EXPECT_EQ(font.GetType(), REG_BINARY);
    ASSERT_EQ(font.GetSize(), 60u); // 5 longs, 8 bytes, 32 name bytes
    EXPECT_EQ(ToHex(Bytes(font.Bytes().begin(), font.Bytes().begin() + 34)),
              ToHex(HexBytes("F3 FF FF FF 00 00 00 00 00 00 00 00 00 00 00 00 BC 02 00 00"
                             " 01 00 00 02 00 00 00 22 41 72 69 61 6C 00")));
}

TEST(RegistryValue, ConversionsRefuseTheWrongKindOrSize)
{
    DWORD n = 0;
    std::string s;
    std::vector<std::string> list;
    RECT r;
    LOGFONT f;
    BYTE buffer[4];

    EXPECT_FALSE(CRegistryValue("12").GetDWORD(n));                          // a string is not a number
    EXPECT_FALSE(Raw(REG_DWORD, HexBytes("01 02 03")).GetDWORD(n));          // too short
    EXPECT_FALSE(Raw(REG_DWORD, HexBytes("01 02 03 04 05")).GetDWORD(n));    // too long
    EXPECT_FALSE(Raw(REG_BINARY, HexBytes("01 02 03 04")).GetDWORD(n));
    EXPECT_FALSE(Raw(REG_BINARY, Bytes(60)).GetRect(r));                       // a font-sized block
    EXPECT_FALSE(Raw(REG_BINARY, Bytes(16)).GetLogFont(f));
    EXPECT_FALSE(Raw(REG_DWORD, Bytes(16)).GetRect(r));
    EXPECT_FALSE(Raw(REG_BINARY, HexBytes("01 02")).GetBinary(buffer, 4));     // lengths differ
    EXPECT_FALSE(CRegistryValue(DWORD(1)).GetString(s));
    EXPECT_FALSE(CRegistryValue("x").GetStringArray(list));
    EXPECT_FALSE(Raw(REG_MULTI_SZ, HexBytes("61 00 00")).GetString(s));

    // Big-endian numbers are stored most significant byte first.
    ASSERT_TRUE(Raw(REG_DWORD_BIG_ENDIAN, HexBytes("00 00 01 02")).GetDWORD(n));
    EXPECT_EQ(n, 0x102u);
    ASSERT_TRUE(Raw(REG_DWORD, HexBytes("00 00 01 02")).GetDWORD(n));
    EXPECT_EQ(n, 0x02010000u);
    // Link and expandable texts read as texts; a text without its NUL ends with its bytes.
    ASSERT_TRUE(Raw(REG_LINK, HexBytes("61 62 00")).GetString(s));
    EXPECT_EQ(s, "ab");
    ASSERT_TRUE(Raw(REG_SZ, HexBytes("61 62")).GetString(s));
    EXPECT_EQ(s, "ab");
    // Resource lists read as bytes of the exact size.
    ASSERT_TRUE(Raw(REG_RESOURCE_LIST, HexBytes("01 02 03 04")).GetBinary(buffer, 4));
    EXPECT_EQ(buffer[3], 4);
    // A list ends at its empty text, and a last text without its NUL is kept.
    ASSERT_TRUE(Raw(REG_MULTI_SZ, HexBytes("61 00 00 62 00")).GetStringArray(list));
    EXPECT_EQ(list, std::vector<std::string>{"a"});
    ASSERT_TRUE(Raw(REG_MULTI_SZ, HexBytes("61 00 62 63")).GetStringArray(list));
    EXPECT_EQ(list, (std::vector<std::string>{"a", "bc"}));
    ASSERT_TRUE(Raw(REG_MULTI_SZ, {}).GetStringArray(list));
    EXPECT_TRUE(list.empty());
    // A stored face name without its NUL is cut to 31 bytes.
    Bytes fontBytes(60, 'A');
    ASSERT_TRUE(Raw(REG_BINARY, fontBytes).GetLogFont(f));
    EXPECT_EQ(std::string(f.lfFaceName), std::string(31, 'A'));
}

TEST_F(RegistryAccessTest, EveryKindRoundTripsThroughTheStore)
{
    CRegistryAccess reg(HKEY_CURRENT_USER);
    const char* key = "Software\\Brackmoor\\Marlox\\Test";
    LOGFONT font;
    font.lfHeight = -16;
    font.lfWeight = FW_NORMAL;
    font.lfUnderline = 1;
    font.lfPitchAndFamily = 0x22;
    std::strcpy(font.lfFaceName, "DejaVu Sans");
    RECT rect{10, 20, 300, 400};
    const Bytes blob = HexBytes("00 01 FE FF");
    const std::vector<std::string> list{"one", "two words", "\xC3\xA9"};

    ASSERT_TRUE(reg.WriteDWORD(key, "Number", 0xDEADBEEF));
    ASSERT_TRUE(reg.WriteString(key, "Text", "Hello \"world\""));
    ASSERT_TRUE(reg.WriteBinary(key, "Blob", blob.data(), DWORD(blob.size())));
    ASSERT_TRUE(reg.WriteGlobal(key, "Global", blob));
    EXPECT_FALSE(reg.WriteGlobal(key, "NoGlobal", {}));
    ASSERT_TRUE(reg.WriteStringArray(key, "List", list));
    ASSERT_TRUE(reg.WriteStringArray(key, "EmptyList", {}));
    ASSERT_TRUE(reg.WriteLogFont(key, "Font", font));
    ASSERT_TRUE(reg.WriteRect(key, "Rect", rect));
    ASSERT_TRUE(reg.Write(key, "Big", Raw(REG_DWORD_BIG_ENDIAN, HexBytes("12 34 56 78"))));

    // A fresh store object reads the file written above.
    CSettingsStore fresh(UserFile());
    CRegistryAccess other(MakeRegistryRoot(fresh));
    DWORD n = 0;
    std::string s;
    Bytes b(4);
    std::vector<BYTE> g;
    std::vector<std::string> l;
    LOGFONT f;
    RECT r;
    ASSERT_TRUE(other.ReadDWORD(key, "Number", n));
    EXPECT_EQ(n, 0xDEADBEEFu);
    ASSERT_TRUE(other.ReadString(key, "Text", s));
    EXPECT_EQ(s, "Hello \"world\"");
    ASSERT_TRUE(other.ReadBinary(key, "Blob", b.data(), 4));
    EXPECT_EQ(b, blob);
    EXPECT_FALSE(other.ReadBinary(key, "Blob", b.data(), 3));
    ASSERT_TRUE(other.ReadGlobal(key, "Global", g));
    EXPECT_EQ(g, blob);
    EXPECT_FALSE(other.ReadGlobal(key, "NoGlobal", g));
    ASSERT_TRUE(other.ReadStringArray(key, "List", l));
    EXPECT_EQ(l, list);
    CRegistryValue empty;
    ASSERT_TRUE(other.Read(key, "EmptyList", empty));
    EXPECT_EQ(ToHex(empty.Bytes()), "00 00");
    ASSERT_TRUE(other.ReadStringArray(key, "EmptyList", l));
    EXPECT_TRUE(l.empty());
    ASSERT_TRUE(other.ReadLogFont(key, "Font", f));
    EXPECT_EQ(f, font);
    ASSERT_TRUE(other.ReadRect(key, "Rect", r));
    EXPECT_EQ(r, rect);
    EXPECT_FALSE(other.ReadRect(key, "Font", r));
    EXPECT_FALSE(other.ReadDWORD(key, "Text", n));
    ASSERT_TRUE(other.ReadDWORD(key, "Big", n));
    EXPECT_EQ(n, 0x12345678u);
}

TEST_F(RegistryAccessTest, ReadingNeverCreatesKeys)
{
    CRegistryAccess reg(HKEY_CURRENT_USER);
    std::string s;
    DWORD n;
    EXPECT_FALSE(reg.ReadString("Software\\Brackmoor\\Marlox\\Missing", "Value", s));
    EXPECT_FALSE(reg.ReadDWORD("Software\\Brackmoor", "Value", n));
    int keys = -1, values = -1;
    EXPECT_FALSE(reg.QueryInfo("Software\\Brackmoor\\Marlox\\Missing", &keys, &values));
    EXPECT_EQ(keys, 0);
    EXPECT_EQ(values, 0);
    EXPECT_FALSE(CSettingsStore::User().KeyExists("Software"));
    EXPECT_FALSE(fs::exists(UserFile()));
}

TEST_F(RegistryAccessTest, DeletingAKeyRemovesTheWholeTree)
{
    CRegistryAccess reg(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.WriteDWORD("Top\\A\\A1\\Deep", "v", 1));
    ASSERT_TRUE(reg.WriteDWORD("Top\\A\\A2", "v", 2));
    ASSERT_TRUE(reg.WriteDWORD("Top\\B", "v", 3));
    ASSERT_TRUE(reg.WriteDWORD("Top", "v", 4));
    ASSERT_TRUE(reg.WriteDWORD("Other", "v", 5));
    EXPECT_TRUE(reg.Delete("Top\\A", "missing") == false);
    EXPECT_TRUE(reg.Delete("Top\\B", "v"));
    EXPECT_TRUE(CSettingsStore::User().KeyExists("Top\\B")); // the value went, the key stays
    EXPECT_TRUE(reg.Delete("Top"));
    EXPECT_FALSE(CSettingsStore::User().KeyExists("Top"));
    DWORD n = 0;
    EXPECT_TRUE(reg.ReadDWORD("Other", "v", n));
    EXPECT_FALSE(reg.Delete("Top")); // already gone
    // Deleting the root is refused before anything below it goes.
    EXPECT_FALSE(reg.Delete(nullptr));
    EXPECT_FALSE(reg.Delete(""));
    EXPECT_TRUE(reg.ReadDWORD("Other", "v", n));
    CRegistryAccess classes(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(classes.WriteString(".mxf", "", "Marlox.Workspace.4"));
    EXPECT_FALSE(classes.Delete(nullptr));
    EXPECT_TRUE(CSettingsStore::User().KeyExists("Software\\Classes\\.mxf"));
}

TEST_F(RegistryAccessTest, ADeleteThatFailsStopsAtOnce)
{
    // Every key of a read-only store refuses to go. The delete must answer
    // false rather than retry the same first subkey for ever, and leave the tree.
    fs::create_directories(m_dir / "ro");
    const std::string path = (m_dir / "ro" / "settings.conf").string();
    {
        CSettingsStore writable(path);
        ASSERT_TRUE(writable.CreateKey("Top\\A\\A1"));
        ASSERT_TRUE(writable.CreateKey("Top\\B"));
    }
    CSettingsStore readOnly(path, true);
    CRegistryAccess reg(MakeRegistryRoot(readOnly));
    EXPECT_FALSE(reg.Delete("Top"));
    EXPECT_TRUE(readOnly.KeyExists("Top\\A\\A1"));
    EXPECT_TRUE(readOnly.KeyExists("Top\\B"));
}

TEST_F(RegistryAccessTest, QueryInfoCountsSubkeysAndValues)
{
    CRegistryAccess reg(HKEY_CURRENT_USER);
    ASSERT_TRUE(CSettingsStore::User().CreateKey("Empty"));
    int keys = -1, values = -1;
    EXPECT_FALSE(reg.QueryInfo("Empty", &keys, &values)); // exists, but holds nothing
    EXPECT_EQ(keys, 0);
    EXPECT_EQ(values, 0);
    ASSERT_TRUE(reg.WriteDWORD("Full\\Sub1", "v", 1));
    ASSERT_TRUE(reg.WriteDWORD("Full\\Sub2", "v", 1));
    ASSERT_TRUE(reg.WriteString("Full", "a", "x"));
    EXPECT_TRUE(reg.QueryInfo("Full", &keys, &values));
    EXPECT_EQ(keys, 2);
    EXPECT_EQ(values, 1);
}

namespace {

class Recorder : public CRegistryAccess {
public:
    using CRegistryAccess::CRegistryAccess;
    std::vector<std::string> calls;
    std::string stopAt;

protected:
    bool OnValue(const char* keyPath, const char* valueName, const CRegistryValue& value, int depth) override
    {
        calls.push_back("value " + std::string(keyPath) + " : " + valueName + " @" + std::to_string(depth));
        return calls.back() != stopAt;
    }
    bool OnKey(const char* keyName, int depth) override
    {
        calls.push_back("key " + std::string(keyName) + " @" + std::to_string(depth));
        return calls.back() != stopAt;
    }
};

} // namespace

TEST_F(RegistryAccessTest, EnumerateWalksValuesThenSubkeysDepthFirst)
{
    CSettingsStore& store = CSettingsStore::User();
    CRegistryAccess writer(HKEY_CURRENT_USER);
    ASSERT_TRUE(writer.WriteDWORD("Root", "r", 1));
    ASSERT_TRUE(writer.WriteDWORD("Root\\A", "a1", 1));
    ASSERT_TRUE(writer.WriteDWORD("Root\\A", "a2", 1));
    ASSERT_TRUE(writer.WriteDWORD("Root\\A\\Deep", "d", 1));
    ASSERT_TRUE(store.CreateKey("Root\\B"));

    Recorder all(HKEY_CURRENT_USER);
    EXPECT_TRUE(all.Enumerate("Root", CRegistryAccess::enumValues | CRegistryAccess::enumKeys));
    EXPECT_EQ(all.calls, (std::vector<std::string>{
                             "value Root : r @0",
                             "key A @0",
                             "value Root\\A : a1 @1",
                             "value Root\\A : a2 @1",
                             "key Deep @1",
                             "value Root\\A\\Deep : d @2",
                             "key B @0",
                         }));

    // Keys only, from a root set below the store's top: paths are bare names.
    Recorder keys(MakeRegistryRoot(store, "Root"));
    EXPECT_TRUE(keys.Enumerate(nullptr, CRegistryAccess::enumKeys));
    EXPECT_EQ(keys.calls, (std::vector<std::string>{"key A @0", "key Deep @1", "key B @0"}));

    Recorder values(MakeRegistryRoot(store, "Root"));
    EXPECT_TRUE(values.Enumerate(nullptr, CRegistryAccess::enumValues));
    EXPECT_EQ(values.calls, (std::vector<std::string>{"value  : r @0", "value A : a1 @1", "value A : a2 @1",
                                                      "value A\\Deep : d @2"}));

    // A call-back that answers false ends the whole walk with false.
    Recorder stop(HKEY_CURRENT_USER);
    stop.stopAt = "value Root\\A : a1 @1";
    EXPECT_FALSE(stop.Enumerate("Root", CRegistryAccess::enumValues | CRegistryAccess::enumKeys));
    EXPECT_EQ(stop.calls.back(), stop.stopAt);
    EXPECT_EQ(stop.calls.size(), 3u);

    // The base's call-backs answer false; a missing key cannot be walked.
    CRegistryAccess base(HKEY_CURRENT_USER);
    EXPECT_FALSE(base.Enumerate("Root", CRegistryAccess::enumValues));
    EXPECT_TRUE(base.Enumerate("Root\\B", CRegistryAccess::enumValues | CRegistryAccess::enumKeys));
    EXPECT_FALSE(base.Enumerate("Nowhere", CRegistryAccess::enumKeys));
}

TEST_F(RegistryAccessTest, RootsAndConnect)
{
    CRegistryAccess reg(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.WriteString("K", "v", "user"));
    // Another machine cannot be reached; the root stays.
    EXPECT_FALSE(reg.Connect("otherhost", HKEY_LOCAL_MACHINE));
    EXPECT_EQ(reg.GetRoot(), HKEY_CURRENT_USER);
    EXPECT_TRUE(reg.Connect(nullptr, HKEY_LOCAL_MACHINE));
    EXPECT_EQ(reg.GetRoot(), HKEY_LOCAL_MACHINE);
    std::string s;
    EXPECT_FALSE(reg.ReadString("K", "v", s));
    EXPECT_FALSE(reg.WriteString("K", "v", "machine")); // the machine-wide store is only read
    HKEY previous = reg.SetRoot(HKEY_CURRENT_USER);
    EXPECT_EQ(previous, HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(reg.ReadString("K", "v", s));
    EXPECT_EQ(s, "user");
    CRegistryAccess copy(reg);
    EXPECT_EQ(copy.GetRoot(), HKEY_CURRENT_USER);
}

TEST_F(RegistryAccessTest, ClassesRootLiesInTheUserStore)
{
    ASSERT_TRUE(SetClassesRootString(".mxf", "Marlox.Workspace.4"));
    ASSERT_TRUE(SetClassesRootString("Marlox.Workspace.4\\shell\\open\\command", "marlox \"%1\""));
    ASSERT_TRUE(SetClassesRootString("Marlox.Workspace.4", "Marlox 4.0 Workspace", "FriendlyTypeName"));
    const Bytes flags = HexBytes("00 00 01 00");
    ASSERT_TRUE(SetClassesRootBinary("Marlox.Workspace.4", flags.data(), 4, "EditFlags"));

    CRegistryAccess classes(HKEY_CLASSES_ROOT);
    std::string s;
    ASSERT_TRUE(classes.ReadString(".mxf", "", s)); // the key's default value
    EXPECT_EQ(s, "Marlox.Workspace.4");
    CRegistryAccess user(HKEY_CURRENT_USER);
    ASSERT_TRUE(user.ReadString("Software\\Classes\\Marlox.Workspace.4", "FriendlyTypeName", s));
    EXPECT_EQ(s, "Marlox 4.0 Workspace");
    Bytes b(4);
    ASSERT_TRUE(user.ReadBinary("Software\\Classes\\Marlox.Workspace.4", "EditFlags", b.data(), 4));
    EXPECT_EQ(b, flags);
    // Help is available only when the ".chm" type is registered.
    EXPECT_FALSE(classes.ReadString(".chm", "", s));
}
