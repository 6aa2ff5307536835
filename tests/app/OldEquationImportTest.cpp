#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/MXTransform.h"
#include "app/OldEquationImport.h"
#include "framework/UpdateNotification.h"
#include "OldFileFixtures.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The fixed equation record, by the offsets of its layout.
Bytes FixedEquation(std::string_view name)
{
    OldRecord r(3964);
    r.Put(0, name);
    r.Put(60, "Maximum rate");       // parameter label 0
    r.Put(560, "Vmax").Put(572, "Km"); // parameter names
    r.Put(680, "S");                  // X name 0
    r.Put(310, "Offset");             // constant label 0
    r.Put(716, "c");                  // constant name 0
    r.Put(836, "y = Vmax * S / (Km + S) + c");
    r.Word(1138, 2).Word(1140, 1);
    r.Word(1742, 1);
    r.Put(1744, "XDATA").Put(1805, "LN(YDATA)");
    r.Put(2110, "MAX").Put(2110 + 61, "MINX");
    r.Word(3940, 1);
    return OldBytes().U8(0).Append(r.bytes).bytes;
}

// A packed equation: counts, word tables, then the texts in order.
Bytes PackedEquation(bool estimates)
{
    OldBytes p;
    p.I16(1).I16(0).I16(0).I16(estimates ? 1 : 0).I16(1).I16(0);
    p.I16(2).I16(11).I16(12);
    if (estimates)
        p.I16(1).I16(5).I16(0).I16(3).I16(1).I16(2).I16(3);
    p.CStr("Line").CStr("Slope").CStr("m");
    // Three X names although the count is 1.
    p.CStr("t").CStr("u").CStr("v");
    p.CStr("y = m * t");
    if (estimates)
        p.CStr("XDATA").CStr("YDATA").CStr("GRADIENT");
    return OldBytes().U8(estimates ? 4 : 2).I16(int(p.bytes.size())).Append(p.bytes).bytes;
}

Bytes FixedTransform(std::string_view name, std::string_view first, std::string_view second)
{
    OldRecord r(1216);
    r.Put(0, name).Put(280, first).Put(517, second);
    return OldBytes().U8(1).Append(r.bytes).bytes;
}

Bytes PackedTransform()
{
    OldBytes p;
    p.I16(0).I16(0).I16(0);
    p.I16(1).I16(7).I16(0).I16(2).I16(1).I16(2);
    p.CStr("Reciprocal").CStr("not used").CStr("1/XDATA").CStr("1/YDATA").CStr("inverse x").CStr("inverse y");
    return OldBytes().U8(3).I16(int(p.bytes.size())).Append(p.bytes).bytes;
}

Bytes EquationFile(std::initializer_list<Bytes> records)
{
    OldBytes o;
    o.Raw("AEQVZK");
    for (const Bytes& r : records)
        o.Append(r);
    return o.bytes;
}

class CountingView : public CDocView {
public:
    void OnUpdate(CDocView*, int hint, CObject* object) override
    {
        auto* note = dynamic_cast<CUpdateNotification*>(object);
        if (hint == UPDATE_HINT_NOTIFICATION && note && note->kind == UN_ITEMS_CHANGED && note->state == UN_STATE_OVER
            && !note->item)
            ++added;
    }
    int added = 0;
};

template <class T>
T* ItemAt(CMXDoc& doc, std::size_t i)
{
    auto items = doc.ItemsInRowOrder();
    return i < items.size() ? dynamic_cast<T*>(items[i]) : nullptr;
}

} // namespace

TEST(OldEquationImport, FixedEquationRecordFillsTheEquation)
{
    CMXDoc doc;
    CountingView view;
    doc.AddView(&view);
    ASSERT_TRUE(LoadOld(doc, EquationFile({FixedEquation("Michaelis"), FixedEquation("Michaelis"), FixedEquation("")})));
    doc.RemoveView(&view);
    EXPECT_TRUE(doc.WasVersion3Equations());
    EXPECT_FALSE(doc.WasConvertedData());
    EXPECT_EQ(doc.GetConversionNoticeID(), 1211u);
    EXPECT_EQ(view.added, 3);
    auto* item = ItemAt<CMXEquation>(doc, 0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetName(), "Michaelis");
    EXPECT_EQ(ItemAt<CMXEquation>(doc, 1)->GetName(), "Michaelis #2");
    // A nameless record keeps the kind's own name.
    EXPECT_EQ(ItemAt<CMXEquation>(doc, 2)->GetName(), "Equation");

    const CEquation& eq = item->GetCompiledEquation();
    EXPECT_EQ(eq.GetYName(), "y");
    ASSERT_EQ(eq.GetParameterCount(), 2);
    ASSERT_EQ(eq.GetConstantCount(), 1);
    ASSERT_EQ(eq.GetXCount(), 1);
    std::string name, label;
    eq.GetParameterNames(0, name, label);
    EXPECT_EQ(name + "|" + label, "Vmax|Maximum rate");
    eq.GetParameterNames(1, name, label);
    EXPECT_EQ(name + "|" + label, "Km|");
    eq.GetConstantNames(0, name, label);
    EXPECT_EQ(name + "|" + label, "c|Offset");
    eq.GetXNames(0, name, label);
    EXPECT_EQ(name + "|" + label, "S|");
    EXPECT_EQ(eq.GetSource(), "y = Vmax * S / (Km + S) + c");
    EXPECT_TRUE(eq.IsValid());
    EXPECT_EQ(eq.GetUseParameterDefinitions(), 1);
    EXPECT_EQ(eq.GetXTransform(), "XDATA");
    EXPECT_EQ(eq.GetYTransform(), "LN(YDATA)");
    EXPECT_EQ(eq.GetParameterDefinition(0), "MAX");
    EXPECT_EQ(eq.GetParameterDefinition(1), "MINX");
}

TEST(OldEquationImport, PackedEquationLandsInTheFixedFields)
{
    for (bool estimates : {false, true}) {
        SCOPED_TRACE(estimates);
        CMXDoc doc;
        std::string error;
        ASSERT_TRUE(LoadOld(doc, EquationFile({PackedEquation(estimates)}), &error)) << error;
        auto* item = ItemAt<CMXEquation>(doc, 0);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->GetName(), "Line");
        const CEquation& eq = item->GetCompiledEquation();
        // An X count of 1 still carries three X names; only the first is used.
        ASSERT_EQ(eq.GetXCount(), 1);
        EXPECT_EQ(eq.GetXName(0), "t");
        ASSERT_EQ(eq.GetParameterCount(), 1);
        EXPECT_EQ(eq.GetParameterName(0), "Slope");
        std::string name, label;
        eq.GetParameterNames(0, name, label);
        EXPECT_EQ(name, "m");
        EXPECT_EQ(eq.GetConstantCount(), 0);
        EXPECT_EQ(eq.GetSource(), "y = m * t");
        EXPECT_TRUE(eq.IsValid());
        EXPECT_EQ(eq.GetUseParameterDefinitions(), estimates ? 1 : 0);
        EXPECT_EQ(eq.GetXTransform(), estimates ? "XDATA" : "");
        EXPECT_EQ(eq.GetParameterDefinition(0), estimates ? "GRADIENT" : "");
    }
}

TEST(OldEquationImport, TransformationsTakeTheirTexts)
{
    CMXDoc doc;
    // The second text runs to the very end of the fixed record.
    const std::string longSecond(1216 - 517, 'Y');
    ASSERT_TRUE(LoadOld(doc, EquationFile({FixedTransform("LogLog", "LOG(XDATA)", longSecond), PackedTransform(),
                                           FixedTransform("LogLog", "", "")})));
    auto* fixed = ItemAt<CMXTransform>(doc, 0);
    auto* packed = ItemAt<CMXTransform>(doc, 1);
    ASSERT_TRUE(fixed && packed);
    EXPECT_EQ(fixed->GetName(), "LogLog");
    EXPECT_EQ(ItemAt<CMXTransform>(doc, 2)->GetName(), "LogLog #2");
    CTransformation& f = fixed->GetTransformation();
    EXPECT_EQ(f.GetXDataDefinition(), "LOG(XDATA)");
    EXPECT_EQ(f.GetYDataDefinition(), longSecond);
    EXPECT_EQ(f.GetDefaultXName(), "");
    EXPECT_EQ(f.GetDefaultYName(), "");
    EXPECT_TRUE(f.GetTransformData());
    EXPECT_EQ(packed->GetName(), "Reciprocal");
    CTransformation& p = packed->GetTransformation();
    EXPECT_EQ(p.GetXDataDefinition(), "1/XDATA");
    EXPECT_EQ(p.GetYDataDefinition(), "1/YDATA");
    EXPECT_EQ(p.GetDefaultXName(), "inverse x");
    EXPECT_EQ(p.GetDefaultYName(), "inverse y");
}

TEST(OldEquationImport, EmptyFileConvertsToNothing)
{
    CMXDoc doc;
    ASSERT_TRUE(LoadOld(doc, EquationFile({})));
    EXPECT_TRUE(doc.WasVersion3Equations());
    EXPECT_TRUE(doc.ItemsInRowOrder().empty());
}

TEST(OldEquationImport, CountsAreHeldToTheirSlots)
{
    OldRecord r(3964);
    r.Put(0, "Many");
    for (int i = 0; i < 10; ++i)
        r.Put(560 + std::size_t(i) * 12, "p" + std::to_string(i)).Put(716 + std::size_t(i) * 12, "c" + std::to_string(i));
    r.Put(680, "x0").Put(692, "x1").Put(704, "x2");
    // A name that fills its field ends with it.
    r.Put(560, "abcdefghijkl");
    r.Word(1138, 500).Word(1140, 65535).Word(3940, 9);
    CMXDoc doc;
    ASSERT_TRUE(LoadOld(doc, EquationFile({OldBytes().U8(0).Append(r.bytes).bytes})));
    const CEquation& eq = ItemAt<CMXEquation>(doc, 0)->GetCompiledEquation();
    EXPECT_EQ(eq.GetParameterCount(), 10);
    EXPECT_EQ(eq.GetConstantCount(), 10);
    EXPECT_EQ(eq.GetXCount(), 3);
    std::string name, label;
    eq.GetParameterNames(0, name, label);
    EXPECT_EQ(name, "abcdefghijkl");
    EXPECT_EQ(eq.GetParameterName(9), "p9");
    EXPECT_EQ(eq.GetXName(2), "x2");

    // Packed: texts past the slots are read through and dropped.
    OldBytes p;
    p.I16(12).I16(0).I16(0).I16(0).I16(0).I16(0).I16(0).CStr("Twelve");
    for (int i = 0; i < 12; ++i)
        p.CStr("label" + std::to_string(i));
    for (int i = 0; i < 12; ++i)
        p.CStr("n" + std::to_string(i));
    p.CStr("x").CStr("").CStr("").CStr("y = n0 * x");
    CMXDoc packed;
    std::string error;
    ASSERT_TRUE(LoadOld(packed, EquationFile({OldBytes().U8(2).I16(int(p.bytes.size())).Append(p.bytes).bytes}), &error))
        << error;
    const CEquation& pe = ItemAt<CMXEquation>(packed, 0)->GetCompiledEquation();
    EXPECT_EQ(pe.GetParameterCount(), 10);
    EXPECT_EQ(pe.GetParameterName(9), "label9");
    EXPECT_EQ(pe.GetSource(), "y = n0 * x");
}

TEST(OldEquationImport, DamagedRecordsAreRefusedWithTheirReason)
{
    auto packed = [](int type, const Bytes& body) { return OldBytes().U8(type).I16(int(body.size())).Append(body).bytes; };
    struct Case {
        const char* name;
        Bytes record;
        const char* reason;
    };
    const Case cases[] = {
        {"unknown type", OldBytes().U8(6).Zeros(10).bytes, "unknown type 6"},
        {"short fixed equation", OldBytes().U8(0).Zeros(3000).bytes, "count 3964, more than"},
        {"short fixed transformation", OldBytes().U8(1).Zeros(1215).bytes, "count 1216, more than"},
        {"packed length past the end", OldBytes().U8(2).I16(500).Zeros(10).bytes, "count 500, more than"},
        {"huge word table", packed(2, OldBytes().Zeros(12).I16(30000).Zeros(8).bytes), "count 30000, more than"},
        {"unterminated text", packed(2, OldBytes().Zeros(12).I16(0).CStr("Name").Raw("y = a").bytes), "has no end"},
        {"huge parameter count", packed(4, OldBytes().I16(65535).Zeros(2).Zeros(2).I16(1).Zeros(4).I16(0).I16(0).I16(0).bytes),
         "ends in the middle"},
        {"unterminated transformation", packed(3, OldBytes().Zeros(6).I16(0).I16(0).I16(0).CStr("T").Raw("abc").bytes),
         "has no end"},
        {"short packed transformation", packed(5, OldBytes().Zeros(6).I16(3).bytes), "count 3, more than"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMXDoc doc;
        std::string error;
        // A good record first: items made before the failure stay.
        ASSERT_FALSE(LoadOld(doc, EquationFile({PackedTransform(), c.record}), &error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(doc.ItemsInRowOrder().size(), 1u);
    }
}

TEST(OldEquationImport, CutsInsideARecordAreRefusedAndCutsBetweenRecordsAreNot)
{
    const std::vector<Bytes> records = {FixedEquation("A"), PackedEquation(true), FixedTransform("T", "a", "b"),
                                        PackedTransform()};
    Bytes whole = EquationFile({records[0], records[1], records[2], records[3]});
    std::vector<std::size_t> boundaries{6};
    for (const Bytes& r : records)
        boundaries.push_back(boundaries.back() + r.size());
    for (std::size_t n : CutPoints(whole, 6)) {
        CMXDoc doc;
        bool atBoundary = std::find(boundaries.begin(), boundaries.end(), n) != boundaries.end();
        ASSERT_EQ(LoadOld(doc, Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(n))), atBoundary) << n;
    }
    // The sampling never skips a cut between records.
    for (std::size_t b : boundaries) {
        CMXDoc doc;
        ASSERT_TRUE(LoadOld(doc, Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(b)))) << b;
    }
}

TEST(OldEquationImport, ScrambledFilesLoadOrFailCleanly)
{
    // Fixed seed: the same damage on every run.
    std::mt19937 random(20261210);
    const Bytes whole = EquationFile({PackedEquation(true), PackedTransform(), PackedEquation(false), FixedTransform("T", "a", "b")});
    for (int round = 0; round < 1000; ++round) {
        Bytes bytes = whole;
        int changes = 1 + int(random() % 4);
        for (int i = 0; i < changes; ++i)
            bytes[6 + random() % (bytes.size() - 6)] = BYTE(random());
        CMXDoc doc;
        std::string error;
        bool loaded = LoadOld(doc, bytes, &error);
        ASSERT_TRUE(loaded || !error.empty());
    }
}
