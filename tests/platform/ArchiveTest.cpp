#include "platform/Archive.h"
#include "platform/File.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

class CTestShape : public CObject {
    DECLARE_SERIAL(CTestShape)
public:
    std::int32_t value = 0;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << value;
        else
            ar >> value;
    }
};
IMPLEMENT_SERIAL(CTestShape, CObject, 0)

class CTestCircle : public CTestShape {
    DECLARE_SERIAL(CTestCircle)
};
IMPLEMENT_SERIAL(CTestCircle, CTestShape, 0)

// A class that tells its versions apart itself.
class CTestVersioned : public CObject {
    DECLARE_SERIAL(CTestVersioned)
public:
    UINT seenSchema = 0;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsLoading())
            seenSchema = ar.GetObjectSchema();
    }
};
IMPLEMENT_SERIAL(CTestVersioned, CObject, VERSIONABLE_SCHEMA | 2)

class CTestOther : public CObject {
    DECLARE_SERIAL(CTestOther)
};
IMPLEMENT_SERIAL(CTestOther, CObject, 1)

} // namespace

TEST(Archive, ValuesAreLittleEndian)
{
    Bytes b = StoreBytes([](CArchive& ar) {
        ar << std::uint8_t(0x12) << std::uint16_t(0x3456) << std::int32_t(-2) << std::uint32_t(0x01020304) << 1.0;
    });
    EXPECT_EQ(ToHex(b), "12 56 34 FE FF FF FF 04 03 02 01 00 00 00 00 00 00 F0 3F");
}

TEST(Archive, StringLengthForms)
{
    struct Case {
        std::size_t length;
        const char* prefix;
    };
    const Case cases[] = {
        {0, "00"},
        {254, "FE"},
        {255, "FF FF 00"},
        {0xFFFD, "FF FD FF"},
        {0xFFFE, "FF FF FF FE FF 00 00"},
        {70000, "FF FF FF 70 11 01 00"},
    };
    for (const Case& c : cases) {
        std::string text(c.length, 'x');
        Bytes b = StoreBytes([&](CArchive& ar) { ar << text; });
        Bytes prefix = HexBytes(c.prefix);
        ASSERT_EQ(b.size(), prefix.size() + c.length) << c.length;
        EXPECT_EQ(Bytes(b.begin(), b.begin() + long(prefix.size())), prefix) << c.length;
        std::string back;
        LoadBytes(b, [&](CArchive& ar) { ar >> back; });
        EXPECT_EQ(back, text);
    }
}

TEST(Archive, StringsAreStoredInTheSingleByteCodePage)
{
    Bytes b = StoreBytes([](CArchive& ar) { ar << std::string("5 \xC2\xB5m \xE2\x82\xAC \xCE\xB1"); });
    EXPECT_EQ(ToHex(b), "08 35 20 B5 6D 20 80 20 3F");
    std::string back;
    LoadBytes(b, [&](CArchive& ar) { ar >> back; });
    EXPECT_EQ(back, "5 \xC2\xB5m \xE2\x82\xAC ?");
}

TEST(Archive, ReadsWideStrings)
{
    // A wide-character string: marker FF FE FF, then the length and UTF-16 units.
    std::string back;
    LoadBytes(HexBytes("FF FE FF 02 41 00 AC 20"), [&](CArchive& ar) { ar >> back; });
    EXPECT_EQ(back, "A\xE2\x82\xAC");
}

TEST(Archive, CountForms)
{
    EXPECT_EQ(ToHex(StoreBytes([](CArchive& ar) { ar.WriteCount(0xFFFE); })), "FE FF");
    EXPECT_EQ(ToHex(StoreBytes([](CArchive& ar) { ar.WriteCount(0xFFFF); })), "FF FF FF FF 00 00");
    std::uint32_t n = 0;
    LoadBytes(HexBytes("FF FF 70 11 01 00"), [&](CArchive& ar) { n = ar.ReadCount(); });
    EXPECT_EQ(n, 70000u);
}

TEST(Archive, ObjectFormsWithBackReferences)
{
    CTestShape a;
    a.value = 7;
    CTestCircle c;
    c.value = 9;
    CTestShape b;
    b.value = 8;
    Bytes bytes = StoreBytes([&](CArchive& ar) {
        ar.WriteObject(&a);
        ar.WriteObject(nullptr);
        ar.WriteObject(&b);
        ar.WriteObject(&a);
        ar.WriteObject(&c);
    });
    // a: new class (index 1), object index 2; b: class tag 0x8001, object 3;
    // back reference to a: word 2; c: new class 4, object 5.
    EXPECT_EQ(ToHex(bytes),
              "FF FF 00 00 0A 00 43 54 65 73 74 53 68 61 70 65 07 00 00 00 "
              "00 00 "
              "01 80 08 00 00 00 "
              "02 00 "
              "FF FF 00 00 0B 00 43 54 65 73 74 43 69 72 63 6C 65 09 00 00 00");
    LoadBytes(bytes, [&](CArchive& ar) {
        std::unique_ptr<CObject> ra(ar.ReadObject(RUNTIME_CLASS(CTestShape)));
        EXPECT_EQ(ar.ReadObject(RUNTIME_CLASS(CTestShape)), nullptr);
        std::unique_ptr<CObject> rb(ar.ReadObject(RUNTIME_CLASS(CTestShape)));
        CObject* again = ar.ReadObject(RUNTIME_CLASS(CTestShape));
        std::unique_ptr<CObject> rc(ar.ReadObject(RUNTIME_CLASS(CTestShape)));
        EXPECT_EQ(again, ra.get());
        EXPECT_EQ(static_cast<CTestShape*>(ra.get())->value, 7);
        EXPECT_EQ(static_cast<CTestShape*>(rb.get())->value, 8);
        ASSERT_TRUE(rc->IsKindOf(RUNTIME_CLASS(CTestCircle)));
        EXPECT_EQ(static_cast<CTestShape*>(rc.get())->value, 9);
    });
}

TEST(Archive, AnOwnedObjectIsNeverABackReference)
{
    // A damaged file that names one object twice where each read takes
    // ownership would make two owners delete it: the second read is refused.
    CTestShape a;
    a.value = 7;
    Bytes bytes = StoreBytes([&](CArchive& ar) {
        ar.WriteObject(&a);
        ar.WriteObject(&a);
    });
    LoadBytes(bytes, [&](CArchive& ar) {
        std::unique_ptr<CTestShape> first = ar.ReadOwned<CTestShape>();
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->value, 7);
        EXPECT_THROW(ar.ReadOwned<CTestShape>(), CArchiveException);
    });
}

TEST(Archive, BigIndicesUseTheLongForm)
{
    // 0x7FFF objects push the shared counter past the word range.
    std::vector<CTestShape> shapes(0x8000);
    Bytes bytes = StoreBytes([&](CArchive& ar) {
        for (auto& s : shapes)
            ar.WriteObject(&s);
        ar.WriteObject(&shapes.back()); // object index 0x8001
        ar.WriteObject(&shapes.front()); // object index 2
    });
    Bytes tail(bytes.end() - 8, bytes.end());
    EXPECT_EQ(ToHex(tail), "FF 7F 01 80 00 00 02 00");
    // The 0x7FFE-th object of the class: class tag still fits the word form, the next does not.
    std::vector<std::unique_ptr<CObject>> owned;
    LoadBytes(bytes, [&](CArchive& ar) {
        for (std::size_t i = 0; i < shapes.size(); ++i)
            owned.emplace_back(ar.ReadObject(RUNTIME_CLASS(CTestShape)));
        EXPECT_EQ(ar.ReadObject(nullptr), owned.back().get());
        EXPECT_EQ(ar.ReadObject(nullptr), owned.front().get());
    });
    // Classes met after the counter passed 0x7FFE get the 32-bit class form.
    CTestCircle late;
    Bytes more = StoreBytes([&](CArchive& ar) {
        for (auto& s : shapes)
            ar.WriteObject(&s);
        CTestCircle first;
        ar.WriteObject(&first);
        ar.WriteObject(&late);
    });
    // class CTestCircle got index 0x8002; the second circle refers to it as FF 7F 02 80 00 80.
    EXPECT_EQ(ToHex(Bytes(more.end() - 10, more.end())), "FF 7F 02 80 00 80 00 00 00 00");
}

TEST(Archive, VersionableSchemaIsStoredInItsLowWord)
{
    CTestVersioned v;
    Bytes bytes = StoreBytes([&](CArchive& ar) { ar.WriteObject(&v); });
    EXPECT_EQ(ToHex(Bytes(bytes.begin(), bytes.begin() + 4)), "FF FF 02 00");
    // Any stored schema is accepted for a versionable class.
    bytes[2] = 5;
    LoadBytes(bytes, [&](CArchive& ar) {
        std::unique_ptr<CObject> o(ar.ReadObject(nullptr));
        EXPECT_EQ(static_cast<CTestVersioned*>(o.get())->seenSchema, 5u);
    });
}

TEST(Archive, DamagedInputsFailCleanly)
{
    auto named = [](const char* name, const char* schema) {
        std::string hex = std::string("FF FF ") + schema;
        char len[8];
        std::snprintf(len, sizeof len, " %02X 00", unsigned(std::strlen(name)));
        hex += len;
        for (const char* p = name; *p; ++p) {
            char b[4];
            std::snprintf(b, sizeof b, " %02X", unsigned(static_cast<unsigned char>(*p)));
            hex += b;
        }
        return hex;
    };
    struct Case {
        std::string hex;
        CArchiveException::Cause cause;
        const char* what;
    };
    const Case cases[] = {
        {"", CArchiveException::endOfFile, "empty"},
        {"FF", CArchiveException::endOfFile, "half a tag"},
        {named("CNoSuchClass", "00 00"), CArchiveException::badClass, "unregistered class"},
        {named("CTestOther", "01 00"), CArchiveException::badClass, "not derived from the expected base"},
        {named("CTestShape", "03 00") + " 01 00 00 00", CArchiveException::badSchema, "wrong schema"},
        {named("CTestShape", "00 00") + " 01 00", CArchiveException::endOfFile, "object data cut short"},
        {"FF FF 00 00 FF 00 41", CArchiveException::badClass, "class name too long"},
        {"05 00", CArchiveException::badIndex, "reference to an object never read"},
        {"01 80", CArchiveException::badIndex, "class tag before any class"},
        {"FF 7F 00 00 00 80", CArchiveException::badIndex, "big class tag 0"},
        {"FF FF 00 00 0A 00 43 54 65 73 74 53 68 61", CArchiveException::endOfFile, "class name cut short"},
    };
    for (const Case& c : cases) {
        try {
            LoadBytes(HexBytes(c.hex), [](CArchive& ar) { delete ar.ReadObject(RUNTIME_CLASS(CTestShape)); });
            ADD_FAILURE() << c.what << ": no exception";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, c.cause) << c.what;
        }
    }
}

TEST(Archive, StringLengthBeyondTheDataIsRefusedBeforeAllocating)
{
    for (const char* hex : {"FF FF FF FF FF FF 7F", "FF 10 00 41", "05 41 42"}) {
        try {
            LoadBytes(HexBytes(hex), [](CArchive& ar) { (void)ar.ReadString(); });
            ADD_FAILURE() << hex;
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::genericException) << hex;
        }
    }
}

TEST(Archive, WrongDirectionIsRefused)
{
    CMemFile file;
    CArchive ar(&file, CArchive::load);
    EXPECT_THROW(ar << std::int32_t(1), CArchiveException);
    CArchive out(&file, CArchive::store);
    std::int32_t v;
    EXPECT_THROW(out >> v, CArchiveException);
}

TEST(Archive, LargeTransfersBypassTheBuffer)
{
    std::string text(100000, 'q');
    text[99999] = 'z';
    Bytes b = StoreBytes([&](CArchive& ar) {
        ar << std::int32_t(5);
        ar << text;
        ar << std::int32_t(6);
    });
    LoadBytes(b, [&](CArchive& ar) {
        std::int32_t x = 0, y = 0;
        std::string back;
        ar >> x >> back >> y;
        EXPECT_EQ(x, 5);
        EXPECT_EQ(back, text);
        EXPECT_EQ(y, 6);
        EXPECT_EQ(ar.BytesRemaining(), 0u);
    });
}

TEST(Archive, ObjectsReadInPlaceTakeIndicesWithoutEntries)
{
    CTestShape a, b, cell;
    a.value = 1;
    b.value = 2;
    cell.value = 5;
    constexpr int kCells = 1000;
    Bytes bytes = StoreBytes([&](CArchive& ar) {
        ar.WriteObject(&a); // class 1, object 2
        for (int i = 0; i < kCells; ++i) {
            // Objects 3 .. 1002: the header alone and the data put in place.
            ar.WriteUniqueObjectHeader(RUNTIME_CLASS(CTestShape));
            ar << std::int32_t(i);
        }
        ar.WriteObject(&b); // object 1003
        ar.WriteObject(&b);
        ar.WriteObject(&a);
    });
    // The header alone writes what a whole unique object writes.
    Bytes whole = StoreBytes([&](CArchive& ar) {
        ar.WriteObject(&a);
        for (int i = 0; i < kCells; ++i) {
            cell.value = i;
            ar.WriteUniqueObject(&cell);
        }
        ar.WriteObject(&b);
        ar.WriteObject(&b);
        ar.WriteObject(&a);
    });
    EXPECT_EQ(bytes, whole);
    // 1003 = 0x03EB; the tail: b's class tag and value, then the two back references.
    EXPECT_EQ(ToHex(Bytes(bytes.end() - 10, bytes.end())), "01 80 02 00 00 00 EB 03 02 00");

    auto readAll = [&](CArchive& ar, bool oneMore) {
        std::unique_ptr<CObject> ra(ar.ReadObject(RUNTIME_CLASS(CTestShape)));
        for (int i = 0; i < kCells; ++i) {
            CArchive::ObjectTag tag = ar.ReadObjectTag(RUNTIME_CLASS(CTestShape));
            EXPECT_EQ(tag.newClass, RUNTIME_CLASS(CTestShape));
            ar.MapLoadedObject(nullptr);
            std::int32_t v = -1;
            ar >> v;
            EXPECT_EQ(v, i);
        }
        std::unique_ptr<CObject> rb(ar.ReadObject(RUNTIME_CLASS(CTestShape)));
        EXPECT_EQ(static_cast<CTestShape*>(rb.get())->value, 2);
        EXPECT_EQ(ar.ReadObject(RUNTIME_CLASS(CTestShape)), rb.get());
        EXPECT_EQ(ar.ReadObject(RUNTIME_CLASS(CTestShape)), ra.get());
        if (oneMore)
            ar.ReadObject(RUNTIME_CLASS(CTestShape)); // the appended tag
    };
    LoadBytes(bytes, [&](CArchive& ar) { readAll(ar, false); });

    // A reference to an object read in place names nothing: refused, as is
    // one past the last index and a class tag on an object's index.
    for (const char* tail : {"F4 01", "EC 03", "02 80"}) {
        Bytes damaged = bytes;
        Bytes more = HexBytes(tail);
        damaged.insert(damaged.end(), more.begin(), more.end());
        try {
            LoadBytes(damaged, [&](CArchive& ar) { readAll(ar, true); });
            ADD_FAILURE() << tail;
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::badIndex) << tail;
        }
    }
}
