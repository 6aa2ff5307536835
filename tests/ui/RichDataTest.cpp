#include "ui/RichData.h"

#include "RichTextTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

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

// An editor that holds the text as a model: what a window would show, and
// edits made by setting it.
class ModelEditor : public CRichTextEditor {
public:
    void ShowText(const CRtfDocument* text, const CHARFORMAT& charFormat, const PARAFORMAT* paraFormat) override
    {
        ++shown;
        if (text) {
            this->text = *text;
        } else {
            this->text = CRtfDocument();
            this->text.EndDocument(paraFormat ? *paraFormat : CRtfDocument::PlainParaFormat(), charFormat);
        }
        modified = false;
    }
    bool TakeEditedText(CRtfDocument& out) override
    {
        if (!modified)
            return false;
        out = text;
        modified = false;
        return true;
    }
    void Type(const std::string& words, const CHARFORMAT& format)
    {
        text.paragraphs.back().runs.push_back(CRtfRun{words, format});
        modified = true;
    }

    CRtfDocument text;
    bool modified = false;
    int shown = 0;
};

} // namespace

TEST(RichDataTest, StoredFormGoldenBytes)
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

TEST(RichDataTest, FlagZeroLoadsAsEmptyText)
{
    CRichData data;
    data.SetRtf("{\\rtf1 old}");
    EXPECT_EQ(LoadBytes(HexBytes("00 00 00 00 00 00 00 00"), [&](CArchive& ar) { data.Serialize(ar); }), 0u);
    EXPECT_FALSE(data.HasStream());
    EXPECT_EQ(data.GetPlainText(), "");
}

TEST(RichDataTest, DamagedStoredFormsThrow)
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

TEST(RichDataTest, AnEditorIsShownTheStoredTextOrEmptyTextInTheGivenFormats)
{
    auto editor = std::make_shared<ModelEditor>();
    CRichData stored;
    stored.SetRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\b Bold\\b0  plain\\par second}");
    stored.Attach(editor);
    EXPECT_EQ(editor->text.PlainText(), "Bold plain\nsecond");
    EXPECT_EQ(editor->text, stored.GetDocument());

    const CHARFORMAT courier = Char("Courier New", 200, CFE_BOLD, RGB(0, 128, 0), 0, 0, 0x31);
    const PARAFORMAT centred = Para(PFA_CENTER, 0, 0, 0);
    CRichData empty;
    empty.Attach(editor, &courier, &centred);
    ASSERT_EQ(editor->text.paragraphs.size(), 1u);
    EXPECT_EQ(editor->text.paragraphs[0].markFormat, courier);
    EXPECT_EQ(editor->text.paragraphs[0].format.wAlignment, PFA_CENTER);
    // Without formats, new text starts in 12 pt Times New Roman.
    empty.Attach(editor);
    EXPECT_STREQ(editor->text.paragraphs.at(0).markFormat.szFaceName, "Times New Roman");
    EXPECT_EQ(editor->text.paragraphs[0].markFormat.yHeight, 240);
    EXPECT_EQ(editor->shown, 3);
}

TEST(RichDataTest, EditsReachTheTextOnUpdateDetachAndStore)
{
    auto editor = std::make_shared<ModelEditor>();
    CRichData data;
    data.Attach(editor);
    const CHARFORMAT plain = CRichData::DefaultCharFormat();
    editor->Type("typed", plain);
    data.Update();
    EXPECT_FALSE(editor->modified);
    EXPECT_EQ(data.GetPlainText(), "typed");

    editor->Type(" more", plain);
    const Bytes bytes = Store(data); // storing takes the edits first
    CRichData loaded;
    LoadBytes(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
    EXPECT_EQ(loaded.GetPlainText(), "typed more");

    editor->Type(" last", plain);
    data.Detach();
    EXPECT_EQ(data.GetEditor(), nullptr);
    EXPECT_EQ(data.GetPlainText(), "typed more last");
}

TEST(RichDataTest, AnUnmodifiedEditorKeepsTheStreamByteForByte)
{
    // Foreign RTF that this writer would put differently stays as it stands.
    const std::string foreign = "{\\rtf1\\ansi {\\*\\generator Other;}Kept\\par}";
    auto editor = std::make_shared<ModelEditor>();
    CRichData data;
    data.SetRtf(foreign);
    data.Attach(editor);
    data.Update();
    data.Detach();
    EXPECT_EQ(data.GetRtf(), foreign);
}

TEST(RichDataTest, CopyDuplicatesTheStreamAndSharesTheEditor)
{
    auto editor = std::make_shared<ModelEditor>();
    CRichData a;
    a.SetRtf("{\\rtf1 one}");
    a.Attach(editor);
    CRichData b(a);
    EXPECT_EQ(b.GetEditor(), editor);
    EXPECT_EQ(b.GetRtf(), "{\\rtf1 one}");
    b.SetRtf("{\\rtf1 two}");
    EXPECT_EQ(a.GetRtf(), "{\\rtf1 one}");

    CRichData c;
    c = b;
    EXPECT_EQ(c.GetRtf(), "{\\rtf1 two}");
    CRichData none;
    c = none;
    EXPECT_FALSE(c.HasStream());
    EXPECT_EQ(c.GetEditor(), nullptr);
}

TEST(RichDataTest, AnEditorThatWentAwayIsForgotten)
{
    CRichData data;
    data.SetRtf("{\\rtf1 kept}");
    {
        auto editor = std::make_shared<ModelEditor>();
        data.Attach(editor);
        editor->Type("lost ", CRichData::DefaultCharFormat());
    }
    EXPECT_EQ(data.GetEditor(), nullptr);
    data.Update();
    EXPECT_EQ(data.GetPlainText(), "kept");
    EXPECT_EQ(ToHex(Store(data)), "00 00 00 00 01 00 00 00 0C 00 00 00 7B 5C 72 74 66 31 20 6B 65 70 74 7D");
}

TEST(RichDataTest, ClassIsCreatedByName)
{
    const CRuntimeClass* cls = CRuntimeClass::FromName("CRichData");
    ASSERT_NE(cls, nullptr);
    std::unique_ptr<CObject> object(cls->CreateObject());
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CRichData)));
}
