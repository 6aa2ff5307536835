#include "ui/RichData.h"

#include "RichTextTestSupport.h"
#include "support/TestSupport.h"
#include "ui/RichTextDocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

class RichDataTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureGuiApplication(); }
};

Bytes Store(CRichData& data)
{
    return StoreBytes([&](CArchive& ar) { data.Serialize(ar); });
}

void ExpectDamaged(const std::string& hex, CArchiveException::Cause cause)
{
    RecordingReporter reporter; // a newer version reports before it throws
    CRichData data;
    try {
        LoadBytes(HexBytes(hex), [&](CArchive& ar) { data.Serialize(ar); });
        ADD_FAILURE() << hex << " was accepted";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, cause) << hex;
    }
}

} // namespace

TEST_F(RichDataTest, StoredFormGoldenBytes)
{
    CRichData empty;
    // Version word 0, then flag 0: no text follows.
    EXPECT_EQ(ToHex(Store(empty)), "00 00 00 00 00 00 00 00");

    CRichData data;
    data.SetRtf("{\\rtf1 Hi}");
    // Version 0, flag 1, byte count 10, the bytes as they stand.
    EXPECT_EQ(ToHex(Store(data)),
              "00 00 00 00 01 00 00 00 0A 00 00 00 7B 5C 72 74 66 31 20 48 69 7D");

    CRichData loaded;
    EXPECT_EQ(LoadBytes(Store(data), [&](CArchive& ar) { loaded.Serialize(ar); }), 0u);
    EXPECT_EQ(loaded.GetRtf(), "{\\rtf1 Hi}");
    EXPECT_EQ(loaded.GetPlainText(), "Hi");

    CRichData zeroLength;
    zeroLength.SetRtf("");
    EXPECT_EQ(ToHex(Store(zeroLength)), "00 00 00 00 01 00 00 00 00 00 00 00");
}

TEST_F(RichDataTest, FlagZeroLoadsAsEmptyText)
{
    CRichData data;
    data.SetRtf("{\\rtf1 old}");
    EXPECT_EQ(LoadBytes(HexBytes("00 00 00 00 00 00 00 00"), [&](CArchive& ar) { data.Serialize(ar); }), 0u);
    EXPECT_FALSE(data.HasStream());
    EXPECT_EQ(data.GetPlainText(), "");
}

TEST_F(RichDataTest, DamagedStoredFormsThrow)
{
    const auto generic = CArchiveException::genericException;
    ExpectDamaged("01 00 00 00 00 00 00 00", generic);                // a later version
    ExpectDamaged("00 00 00 00 02 00 00 00 01 00 00 00 7b", generic); // a flag that is neither 0 nor 1
    ExpectDamaged("00 00 00 00 01 00 00 00 ff ff ff ff", generic);    // a negative count
    // A count beyond the bytes that remain is refused before anything is allocated.
    ExpectDamaged("00 00 00 00 01 00 00 00 ff ff ff 7f 7b 7d", generic);
    ExpectDamaged("00 00 00 00 01 00 00 00 05 00 00 00 7b 7d", generic);
    ExpectDamaged("00 00 00 00 01 00", CArchiveException::endOfFile); // cut inside the flag
}

TEST_F(RichDataTest, NewTextAttachedGetsTwelvePointTimesNewRoman)
{
    CRichData data;
    QTextDocument doc;
    data.Attach(&doc);
    EXPECT_FALSE(doc.isModified());
    QTextCursor cursor(&doc);
    cursor.insertText("typed");
    EXPECT_TRUE(doc.isModified());

    data.Update();
    EXPECT_FALSE(doc.isModified());
    CRtfDocument stored = data.GetDocument();
    ASSERT_EQ(stored.paragraphs.size(), 1u);
    ASSERT_EQ(stored.paragraphs[0].runs.size(), 1u);
    const CHARFORMAT& cf = stored.paragraphs[0].runs[0].format;
    EXPECT_EQ(stored.paragraphs[0].runs[0].text, "typed");
    EXPECT_STREQ(cf.szFaceName, "Times New Roman");
    EXPECT_EQ(cf.yHeight, 240);
    EXPECT_EQ(cf.bPitchAndFamily, 0x12);
    EXPECT_EQ(cf.dwEffects, DWORD(CFE_AUTOCOLOR));
}

TEST_F(RichDataTest, AttachWithGivenFormatsForNewText)
{
    CHARFORMAT courier = Char("Courier New", 200, CFE_BOLD, RGB(0, 128, 0), 0, 0, 0x31);
    PARAFORMAT centred = Para(PFA_CENTER, 0, 0, 0);
    CRichData data;
    QTextDocument doc;
    data.Attach(&doc, &courier, &centred);
    QTextCursor(&doc).insertText("x");
    data.Detach();
    EXPECT_EQ(data.GetControl(), nullptr);
    CRtfDocument stored = data.GetDocument();
    EXPECT_EQ(stored.paragraphs.at(0).runs.at(0).format, courier);
    EXPECT_EQ(stored.paragraphs[0].format.wAlignment, PFA_CENTER);
}

TEST_F(RichDataTest, AttachShowsTheStoredTextWithoutUndoOrModification)
{
    CRichData data;
    data.SetRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\b Bold\\b0  plain\\par second}");
    QTextDocument doc;
    data.Attach(&doc);
    EXPECT_EQ(doc.toPlainText(), QString("Bold plain\nsecond"));
    EXPECT_FALSE(doc.isModified());
    EXPECT_FALSE(doc.isUndoAvailable());
    EXPECT_EQ(doc.begin().begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
    EXPECT_EQ(data.GetControl(), &doc);
}

TEST_F(RichDataTest, UpdateKeepsTheStreamOfAnUnmodifiedControl)
{
    // Foreign RTF that this writer would put differently stays byte for byte.
    const std::string foreign = "{\\rtf1\\ansi {\\*\\generator Other;}Kept\\par}";
    CRichData data;
    data.SetRtf(foreign);
    QTextDocument doc;
    data.Attach(&doc);
    data.Update();
    data.Detach();
    EXPECT_EQ(data.GetRtf(), foreign);
}

TEST_F(RichDataTest, StoringCapturesTheAttachedControl)
{
    CRichData data;
    QTextDocument doc;
    data.Attach(&doc);
    QTextCursor(&doc).insertText("captured");
    Bytes bytes = Store(data);
    EXPECT_FALSE(doc.isModified());

    CRichData loaded;
    LoadBytes(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
    EXPECT_EQ(loaded.GetPlainText(), "captured");
    EXPECT_EQ(loaded.GetRtf(), data.GetRtf());
}

TEST_F(RichDataTest, CopyDuplicatesTheStreamAndSharesTheControl)
{
    CRichData a;
    QTextDocument doc;
    a.SetRtf("{\\rtf1 one}");
    a.Attach(&doc);
    CRichData b(a);
    EXPECT_EQ(b.GetControl(), &doc);
    EXPECT_EQ(b.GetRtf(), "{\\rtf1 one}");
    b.SetRtf("{\\rtf1 two}");
    EXPECT_EQ(a.GetRtf(), "{\\rtf1 one}");

    CRichData c;
    c = b;
    EXPECT_EQ(c.GetRtf(), "{\\rtf1 two}");
    CRichData none;
    c = none;
    EXPECT_FALSE(c.HasStream());
    EXPECT_EQ(c.GetControl(), nullptr);
}

TEST_F(RichDataTest, ADestroyedControlIsForgotten)
{
    CRichData data;
    data.SetRtf("{\\rtf1 kept}");
    {
        QTextDocument doc;
        data.Attach(&doc);
        QTextCursor(&doc).insertText("lost ");
    }
    EXPECT_EQ(data.GetControl(), nullptr);
    data.Update();
    EXPECT_EQ(data.GetPlainText(), "kept");
}

TEST_F(RichDataTest, SetDocumentAndAttachRoundTrip)
{
    CRtfDocument model;
    model.paragraphs = {Paragraph({{"red", Char("Arial", 200, CFE_ITALIC, RGB(255, 0, 0), 0, 0, 0x22)}},
                                  Para(PFA_RIGHT, 100, 200, 300, {720})),
                        Paragraph({{"bullet", Char("Arial", 200, 0, -1, 0, 0, 0x22)}},
                                  Para(PFA_LEFT, 0, 360, 0, {}, true))};
    CRichData data;
    data.SetDocument(model);
    QTextDocument doc;
    data.Attach(&doc);
    EXPECT_EQ(ReadTextDocument(doc), model);
    EXPECT_EQ(data.GetDocument(), model);
}

TEST_F(RichDataTest, ClassIsCreatedByName)
{
    const CRuntimeClass* cls = CRuntimeClass::FromName("CRichData");
    ASSERT_NE(cls, nullptr);
    std::unique_ptr<CObject> object(cls->CreateObject());
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CRichData)));
}
