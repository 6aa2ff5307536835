#include "equation/EquationTransCurve.h"
#include "equation/EquationTransform.h"
#include "equation/Transformation.h"
#include "EquationTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::unique_ptr<CEquation> Associated()
{
    auto eq = MakeEquation("y = a * EXP(-k * t)", {"a", "k"}, {"t"}, {}, 0);
    eq->Compile();
    eq->ResizeValues();
    eq->GetParameterValues()[0] = 3;
    eq->GetParameterValues()[1] = 0.5;
    return eq;
}

CTransformation Defined()
{
    CTransformation t;
    t.SetReferenceName("Decay");
    t.SetXDataDefinition("XDATA");
    t.SetYDataDefinition("LN(YDATA)");
    t.SetCurveXName("time");
    t.SetCurveYName("lny");
    t.SetCurveDefinition("lny = LN(a) - k * time");
    return t;
}

TEST(Transformation, Defaults)
{
    CTransformation t;
    EXPECT_FALSE(t.IsCompiled());
    EXPECT_EQ(t.GetDefaultXName(), "X Axis");
    EXPECT_EQ(t.GetDefaultYName(), "Y Axis");
    EXPECT_TRUE(t.GetTransformCurve());
    EXPECT_TRUE(t.GetTransformData());
}

TEST(Transformation, SettersClearTheFlagOnlyOnChange)
{
    CTransformation t = Defined();
    t.SetCompiled(true);
    t.SetXDataDefinition("XDATA");    // the same text
    t.SetReferenceName("Other");      // the caller's business
    t.SetDefaultXName("Time");
    t.SetTransformData(false);
    EXPECT_TRUE(t.IsCompiled());
    t.SetCurveYName("LNY");           // case counts
    EXPECT_FALSE(t.IsCompiled());
}

struct CompileCase {
    const char* what;
    void (*change)(CTransformation&);
    unsigned id;
    int tab;
    int editor;
    int start, end; // the error's range in that editor, by hand
};

TEST(Transformation, CompileMessages)
{
    const CompileCase cases[] = {
        {"no X data", [](CTransformation& t) { t.SetXDataDefinition(""); }, 1133, 1, 0, 0, 0},
        {"no X nor Y data", [](CTransformation& t) { t.SetXDataDefinition(""); t.SetYDataDefinition(""); },
         1133, 1, 0, 0, 0},
        {"no Y data", [](CTransformation& t) { t.SetYDataDefinition(""); }, 1134, 1, 0, 0, 0},
        {"bad X data", [](CTransformation& t) { t.SetXDataDefinition("XDATA * q"); }, 8196, 1,
         STransformCheck::editorXData, 8, 9},
        {"bad Y data", [](CTransformation& t) { t.SetYDataDefinition("LN(YDATA"); }, 8201, 1,
         STransformCheck::editorYData, 0, 8},
        {"no curve X", [](CTransformation& t) { t.SetCurveXName(""); }, 1135, 2, 0, 0, 0},
        {"no curve Y", [](CTransformation& t) { t.SetCurveYName(""); }, 1136, 2, 0, 0, 0},
        {"no curve", [](CTransformation& t) { t.SetCurveDefinition(""); }, 1137, 2, 0, 0, 0},
        {"bad curve", [](CTransformation& t) { t.SetCurveDefinition("lny = LN(a) -\r\nt2 = 1"); }, 8197, 2,
         STransformCheck::editorCurve, 6, 13},
        // The old X name is gone: X variable 0 is called "time" in the curve.
        {"old X name", [](CTransformation& t) { t.SetCurveDefinition("lny = t"); }, 8196, 2,
         STransformCheck::editorCurve, 6, 7},
    };
    auto eq = Associated();
    for (const CompileCase& c : cases) {
        CTransformation t = Defined();
        t.SetCompiled(true);
        c.change(t);
        t.SetCompiled(true);
        RecordingReporter reporter;
        STransformCheck check;
        EXPECT_TRUE(t.Compile(eq.get(), &check)) << c.what; // 1 -> 0 is a change
        EXPECT_FALSE(t.IsCompiled());
        EXPECT_FALSE(check.ok);
        EXPECT_EQ(check.messageId, c.id) << c.what;
        EXPECT_EQ(check.tab, c.tab) << c.what;
        EXPECT_EQ(check.editor, c.editor) << c.what;
        EXPECT_EQ(check.start, c.start) << c.what;
        EXPECT_EQ(check.end, c.end) << c.what;
        ASSERT_EQ(reporter.Ids(), std::vector<UINT>{c.id}) << c.what;
        EXPECT_EQ(reporter.messages[0].type, UINT(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(reporter.messages[0].helpId, c.id);
    }
}

TEST(Transformation, NeedsAValidAssociatedEquation)
{
    CTransformation t = Defined();
    auto invalid = MakeEquation("y = a +", {"a"});
    for (const CEquationBase* eq : {static_cast<const CEquationBase*>(nullptr),
                                    static_cast<const CEquationBase*>(invalid.get())}) {
        RecordingReporter reporter;
        STransformCheck check;
        EXPECT_FALSE(t.Compile(eq, &check)); // it was not compiled: no change
        EXPECT_EQ(check.tab, STransformCheck::tabGeneral);
        EXPECT_EQ(reporter.Ids(), std::vector<UINT>{1132});
        EXPECT_EQ(reporter.messages[0].type, UINT(MB_OK));
    }
    // With both parts off, a valid equation is all it needs.
    CTransformation bare;
    bare.SetTransformCurve(false);
    bare.SetTransformData(false);
    auto eq = Associated();
    RecordingReporter reporter;
    EXPECT_TRUE(bare.Compile(eq.get()));
    EXPECT_TRUE(bare.IsCompiled());
    EXPECT_TRUE(reporter.Ids().empty());
}

TEST(Transformation, CompilesAndTellsOnlyChanges)
{
    auto eq = Associated();
    CTransformation t = Defined();
    RecordingReporter reporter;
    EXPECT_TRUE(t.Compile(eq.get()));   // 0 -> 1: announce
    EXPECT_TRUE(t.IsCompiled());
    EXPECT_FALSE(t.Compile(eq.get()));  // 1 -> 1: nothing to announce
    EXPECT_TRUE(reporter.Ids().empty());
}

TEST(Transformation, PreparedPartsEvaluate)
{
    auto eq = Associated();
    CTransformation t = Defined();
    CEquationTransform points;
    t.PrepareDataTransform(*eq, points);
    points.SetPoint(2, std::exp(4.0));
    EXPECT_EQ(points.EvaluateX(), 2);
    EXPECT_DOUBLE_EQ(points.EvaluateY(), 4);

    CEquationTransCurve curve;
    t.PrepareCurve(*eq, curve);
    EXPECT_EQ(curve.GetXName(0), "time");
    curve.GetXValues()[0] = 2;
    EXPECT_DOUBLE_EQ(curve.Calculate(), std::log(3.0) - 1.0); // ln a - k t
}

TEST(Transformation, CurveOfAnEquationThatEstimates)
{
    // An equation that asks for estimates (as a library does when it can
    // estimate) must not make the curve demand parameter definitions.
    auto eq = Associated();
    eq->SetUseParameterDefinitions(1);
    eq->SetParameterDefinition(0, "MAX");
    eq->SetParameterDefinition(1, "GRADIENT");
    eq->Compile();
    CTransformation t = Defined();
    CEquationBase library; // names only, like a bound library with no definitions
    library.Copy(*eq);
    library.SetParameterDefinition(0, "");
    library.SetParameterDefinition(1, "");
    CEquationTransCurve curve;
    EXPECT_NO_THROW(t.PrepareCurve(library, curve));
}

TEST(TransformationStore, VersionTwoBytes)
{
    CTransformation t;
    t.SetReferenceName("E");
    t.SetXDataDefinition("x");
    t.SetCompiled(true);
    t.SetTransformCurve(false);
    // version 2; description: version 0, no stream; compiled 1; "E" "x" ""
    // "X Axis" "Y Axis" "" "" ""; data flag 1, curve flag 0.
    EXPECT_EQ(ToHex(StoreBytes([&](CArchive& ar) { t.Serialize(ar); })),
              "02 00 00 00 00 00 00 00 00 00 00 00 01 00 00 00 01 45 01 78 00 "
              "06 58 20 41 78 69 73 06 59 20 41 78 69 73 00 00 00 01 00 00 00 00 00 00 00");
}

TEST(TransformationStore, OlderVersions)
{
    // Version 1: description, no flags (they stay 1).
    Bytes v1 = HexBytes("01 00 00 00 00 00 00 00 00 00 00 00 01 00 00 00 01 45 01 78 01 79 01 41 01 42 00 00 00");
    CTransformation a;
    a.SetTransformCurve(false);
    a.SetTransformData(false);
    EXPECT_EQ(LoadBytes(v1, [&](CArchive& ar) { a.Serialize(ar); }), 0u);
    EXPECT_TRUE(a.GetTransformCurve());
    EXPECT_TRUE(a.GetTransformData());
    EXPECT_TRUE(a.IsCompiled()); // kept as stored, not compiled again
    EXPECT_EQ(a.GetYDataDefinition(), "y");
    EXPECT_EQ(a.GetDefaultYName(), "B");
    // Version 0: no description either.
    Bytes v0 = HexBytes("00 00 00 00 00 00 00 00 01 45 01 78 01 79 01 41 01 42 00 00 00");
    CTransformation b;
    b.GetDescription().SetRtf("old");
    EXPECT_EQ(LoadBytes(v0, [&](CArchive& ar) { b.Serialize(ar); }), 0u);
    EXPECT_EQ(b.GetReferenceName(), "E");
    EXPECT_FALSE(b.GetDescription().HasStream());
    EXPECT_FALSE(b.IsCompiled());
    // A later version is refused.
    RecordingReporter reporter;
    CTransformation c;
    EXPECT_THROW(LoadBytes(HexBytes("03 00 00 00"), [&](CArchive& ar) { c.Serialize(ar); }), CArchiveException);
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{25016});
    // Damaged: a description longer than the bytes there are.
    EXPECT_THROW(LoadBytes(HexBytes("02 00 00 00 00 00 00 00 01 00 00 00 FF FF FF 7F"),
                           [&](CArchive& ar) { c.Serialize(ar); }),
                 CArchiveException);
}

TEST(TransformationStore, RoundTripAndCopy)
{
    CTransformation t = Defined();
    t.GetDescription().SetRtf("{\\rtf1 notes}");
    t.SetTransformData(false);
    Bytes bytes = StoreBytes([&](CArchive& ar) { t.Serialize(ar); });
    CTransformation back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { back.Serialize(ar); }), bytes);
    CTransformation copy;
    copy = t;
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { copy.Serialize(ar); }), bytes);
}

TEST(TransformationStore, DescriptionInTheRichTextForm)
{
    CTransformation t = Defined();
    t.GetDescription().SetRtf("{\\rtf}");
    const Bytes bytes = StoreBytes([&](CArchive& ar) { t.Serialize(ar); });
    // Version 2, then the rich-text record: version 0, flag 1, 6 bytes of RTF.
    ASSERT_GE(bytes.size(), 22u);
    EXPECT_EQ(ToHex(Bytes(bytes.begin(), bytes.begin() + 22)),
              "02 00 00 00 00 00 00 00 01 00 00 00 06 00 00 00 7B 5C 72 74 66 7D");
    CTransformation none = Defined();
    // No text: version 0 and flag 0.
    const Bytes empty = StoreBytes([&](CArchive& ar) { none.Serialize(ar); });
    EXPECT_EQ(ToHex(Bytes(empty.begin() + 4, empty.begin() + 12)), "00 00 00 00 00 00 00 00");
    CTransformation back;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); }), 0u);
    EXPECT_EQ(back.GetDescription().GetRtf(), "{\\rtf}");
}

TEST(Transformation, ImportsAnOldRecord)
{
    std::vector<unsigned char> record(2724, 0);
    auto put = [&](std::size_t at, const char* s) {
        for (std::size_t i = 0; s[i]; ++i)
            record[at + i] = static_cast<unsigned char>(s[i]);
    };
    put(280, "LOG(XDATA)");
    put(517, "1/YDATA");
    put(2664, "log x");
    put(2694, "inverse y");
    CTransformation t = Defined();
    t.SetCompiled(true);
    EXPECT_TRUE(t.ImportOld(record.data(), record.size()));
    EXPECT_FALSE(t.IsCompiled());
    EXPECT_EQ(t.GetReferenceName(), "");
    EXPECT_FALSE(t.GetTransformCurve());
    EXPECT_TRUE(t.GetTransformData());
    EXPECT_EQ(t.GetXDataDefinition(), "LOG(XDATA)");
    EXPECT_EQ(t.GetYDataDefinition(), "1/YDATA");
    EXPECT_EQ(t.GetDefaultXName(), "log x");
    EXPECT_EQ(t.GetDefaultYName(), "inverse y");
    EXPECT_EQ(t.GetCurveDefinition(), "lny = LN(a) - k * time"); // kept
    EXPECT_FALSE(t.ImportOld(record.data(), 600));
}

} // namespace
