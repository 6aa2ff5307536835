#include "framework/PropertyStore.h"
#include "platform/File.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const FMTID kFormatA = {0x11223344, 0x5566, 0x7788, {1, 2, 3, 4, 5, 6, 7, 8}};
const FMTID kFormatB = {0xA0B0C0D0, 0x1, 0x2, {9, 9, 9, 9, 9, 9, 9, 9}};

Bytes ValueBytes(const CPropertyStoreValue& v)
{
    std::vector<BYTE> out;
    v.WriteToStream(out);
    return out;
}

} // namespace

TEST(PropertyStoreValue, StoredFormsByType)
{
    // Each form by hand: 32-bit type word, the value, zero bytes to a multiple of 4.
    const std::int16_t i2 = 1252;                        // 0x04E4
    const std::int32_t i4 = -1;
    const std::uint64_t ft = 0x0102030405060708;
    const BYTE blob[] = {3, 0, 0, 0, 0xAA, 0xBB, 0xCC}; // size 3 and the bytes
    const BYTE vecI2[] = {2, 0, 0, 0, 1, 0, 2, 0};      // two elements
    const BYTE vecStr[] = {2, 0, 0, 0, 2, 0, 0, 0, 'a', 0, 1, 0, 0, 0, 0};
    struct Case {
        DWORD type;
        const void* value;
        const char* hex;
    } cases[] = {
        {VT_EMPTY, nullptr, "00 00 00 00"},
        {VT_I2, &i2, "02 00 00 00 E4 04 00 00"},
        {VT_I4, &i4, "03 00 00 00 FF FF FF FF"},
        {VT_FILETIME, &ft, "40 00 00 00 08 07 06 05 04 03 02 01"},
        {VT_LPSTR, "ab", "1E 00 00 00 03 00 00 00 61 62 00 00"},
        {VT_LPSTR, "", "1E 00 00 00 01 00 00 00 00 00 00 00"},
        {VT_LPWSTR, u"a", "1F 00 00 00 02 00 00 00 61 00 00 00"},
        {VT_BLOB, blob, "41 00 00 00 03 00 00 00 AA BB CC 00"},
        {VT_VECTOR | VT_I2, vecI2, "02 10 00 00 02 00 00 00 01 00 02 00"},
        {VT_VECTOR | VT_LPSTR, vecStr, "1E 10 00 00 02 00 00 00 02 00 00 00 61 00 01 00 00 00 00 00"},
    };
    for (const Case& c : cases) {
        CPropertyStoreValue v;
        ASSERT_TRUE(v.Set(7, c.value, c.type)) << c.hex;
        EXPECT_EQ(ToHex(ValueBytes(v)), c.hex);
        // Reading the form back gives the same value.
        Bytes stored = ValueBytes(v);
        CPropertyStoreValue back;
        ASSERT_TRUE(back.ReadFromStream(7, stored.data(), stored.size())) << c.hex;
        EXPECT_EQ(back.GetType(), c.type);
        EXPECT_EQ(back.GetBlock(), v.GetBlock());
    }
}

TEST(PropertyStoreValue, UnsupportedTypesAreRefused)
{
    const std::uint32_t x = 5;
    for (DWORD type : {DWORD(19) /* VT_UI4 */, DWORD(76), DWORD(VT_VECTOR | VT_EMPTY), DWORD(0x2000 | VT_I4),
                       DWORD(12) /* VT_VARIANT */}) {
        CPropertyStoreValue v;
        EXPECT_FALSE(v.Set(2, &x, type)) << type;
        EXPECT_EQ(v.GetType(), DWORD(VT_EMPTY));
    }
    CPropertyStoreValue v;
    EXPECT_FALSE(v.Set(2, nullptr, VT_I4)); // a value is needed
}

TEST(PropertyStoreValue, GetSkipsTheCountWord)
{
    CPropertyStoreValue v;
    v.Set(2, "ab", VT_LPSTR);
    std::size_t size = 0;
    const BYTE* p = v.Get(&size);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(std::memcmp(p, "ab", 3), 0);
    const std::int32_t i4 = 77;
    v.Set(3, &i4, VT_I4);
    p = v.Get(&size);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(p[0], 77);
}

TEST(PropertyStoreValue, BlocksThatRunOverAreRefused)
{
    // A string count beyond the bytes at hand, a vector count beyond them, a short number.
    const Bytes cases[] = {
        HexBytes("1E 00 00 00 FF FF FF FF 61"),
        HexBytes("02 10 00 00 FF FF FF 7F 01 00"),
        HexBytes("1E 10 00 00 FF FF FF FF 01 00 00 00 61"),
        HexBytes("14 00 00 00 01 02 03"),
        HexBytes("03 00"),
    };
    for (const Bytes& b : cases) {
        CPropertyStoreValue v;
        EXPECT_FALSE(v.ReadFromStream(2, b.data(), b.size())) << ToHex(b);
    }
}

TEST(PropertyStoreSection, NamesAndSectionNameRoundTrip)
{
    CPropertyStore store;
    CPropertyStoreSection* s = store.AddSection(kFormatA);
    EXPECT_EQ(store.AddSection(kFormatA), s);
    const std::int32_t v = 9;
    s->Set(2, &v, VT_I4);
    EXPECT_TRUE(s->SetName(2, "Reviewer"));
    EXPECT_FALSE(s->SetName(3, "REVIEWER")); // names are kept in lower case
    EXPECT_TRUE(s->SetName(3, std::string(300, 'n')));
    s->SetSectionName("Mine");
    DWORD id = 0;
    ASSERT_TRUE(s->GetId("reVIEWer", &id));
    EXPECT_EQ(id, 2u);
    store.Set(kFormatB, 5, "x", VT_LPSTR);

    Bytes bytes = store.ToBytes();
    CPropertyStore back;
    ASSERT_TRUE(back.FromBytes(bytes.data(), bytes.size()));
    EXPECT_EQ(back.GetCount(), 2u);
    CPropertyStoreSection* r = back.GetSection(kFormatA);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->GetSectionName(), "Mine");
    ASSERT_TRUE(r->GetId("REVIEWER", &id));
    EXPECT_EQ(id, 2u);
    // A long name is cut to 254 bytes and keeps its terminating zero.
    EXPECT_TRUE(r->GetId(std::string(254, 'n'), &id));
    EXPECT_EQ(id, 3u);
    std::int32_t got = 0;
    EXPECT_TRUE(back.Get(kFormatA, 2, &got, sizeof got));
    EXPECT_EQ(got, 9);
    char text[2] = {};
    EXPECT_TRUE(back.Get(kFormatB, 5, text, sizeof text));
    EXPECT_STREQ(text, "x");
    EXPECT_FALSE(back.Get(kFormatB, 6, text, sizeof text));
    EXPECT_EQ(r->GetSize(), store.GetSection(kFormatA)->GetSize());

    // The long name's entry: id 3, length 255, 254 letters and the zero.
    Bytes entry = HexBytes("03 00 00 00 FF 00 00 00");
    auto at = std::search(bytes.begin(), bytes.end(), entry.begin(), entry.end());
    ASSERT_NE(at, bytes.end());
    std::size_t name = std::size_t(at - bytes.begin()) + 8;
    EXPECT_EQ(bytes[name + 253], 'n');
    EXPECT_EQ(bytes[name + 254], 0);
}

TEST(PropertyStore, DamagedSetsAreRefusedWithoutHarm)
{
    CPropertyStore store;
    store.Set(kFormatA, 2, "title", VT_LPSTR);
    const std::int32_t v = 3;
    store.Set(kFormatA, 3, &v, VT_I4);
    store.GetSection(kFormatA)->SetName(3, "count");
    const Bytes good = store.ToBytes();
    // Every cut of the stream fails: sizes and offsets are checked against the bytes at hand.
    for (std::size_t n = 0; n < good.size(); ++n) {
        CPropertyStore s;
        EXPECT_FALSE(s.FromBytes(good.data(), n)) << n;
        EXPECT_EQ(s.GetCount(), 0u);
    }
    auto damaged = [&](std::size_t at, DWORD value) {
        Bytes b = good;
        for (int i = 0; i < 4; ++i)
            b[at + i] = BYTE(value >> (8 * i));
        CPropertyStore s;
        return s.FromBytes(b.data(), b.size());
    };
    const std::size_t section = 48;
    EXPECT_FALSE(damaged(0, 0xFFFEFEFF));               // byte order
    EXPECT_FALSE(damaged(24, 0x10000000));              // section count
    EXPECT_FALSE(damaged(44, 0x7FFFFFFF));              // section offset
    EXPECT_FALSE(damaged(section, 0x7FFFFFFF));         // section size
    EXPECT_FALSE(damaged(section + 4, 0x7FFFFFFF));     // property count
    EXPECT_FALSE(damaged(section + 12, 0x7FFFFFFF));    // first value's offset
    EXPECT_FALSE(damaged(section + 12, 2));             // offset inside the section header
    std::size_t firstValue = section + (good[section + 12] | good[section + 13] << 8);
    EXPECT_FALSE(damaged(firstValue + 4, 0xFFFFFFF0));  // string count
}

TEST(PropertyStore, UnknownTypesInAFileArePassedOver)
{
    CPropertyStore store;
    store.Set(kFormatA, 2, "a", VT_LPSTR);
    const std::int32_t v = 3;
    store.Set(kFormatA, 3, &v, VT_I4);
    Bytes b = store.ToBytes();
    // Turn the VT_I4 into VT_UI4 (19), which this store does not hold.
    std::size_t section = 48;
    std::size_t second = section + (b[section + 20] | b[section + 21] << 8);
    ASSERT_EQ(b[second], VT_I4);
    b[second] = 19;
    CPropertyStore back;
    ASSERT_TRUE(back.FromBytes(b.data(), b.size()));
    std::size_t size = 0;
    EXPECT_NE(back.Get(kFormatA, 2, &size), nullptr);
    EXPECT_EQ(back.Get(kFormatA, 3, &size), nullptr);
}

TEST(PropertyStore, StreamReadAndWrite)
{
    CPropertyStore store;
    store.Set(kFormatA, 2, u"wide", VT_LPWSTR);
    CMemFile file;
    ASSERT_TRUE(store.WriteToStream(file));
    file.SeekToBegin();
    CPropertyStore back;
    ASSERT_TRUE(back.ReadFromStream(file));
    std::size_t size = 0;
    const BYTE* p = back.Get(kFormatA, 2, &size);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(size, 10u); // five 16-bit characters with the zero
    back.Remove(kFormatA, 2);
    EXPECT_EQ(back.Get(kFormatA, 2, &size), nullptr);
    back.RemoveSection(kFormatA);
    EXPECT_EQ(back.GetCount(), 0u);
}
