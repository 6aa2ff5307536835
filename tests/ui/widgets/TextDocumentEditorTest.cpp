#include "ui/widgets/TextDocumentEditor.h"

#include "support/TestSupport.h"
#include "ui/RichTextTestSupport.h"
#include "ui/widgets/RichTextDocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

Bytes Store(CRichData& data)
{
    return StoreBytes([&](CArchive& ar) { data.Serialize(ar); });
}

} // namespace

TEST(TextDocumentEditor, NewTextAttachedGetsTwelvePointTimesNewRoman)
{
    CRichData data;
    QTextDocument doc;
    AttachTextDocument(data, &doc);
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

TEST(TextDocumentEditor, AttachWithGivenFormatsForNewText)
{
    CHARFORMAT courier = Char("Courier New", 200, CFE_BOLD, RGB(0, 128, 0), 0, 0, 0x31);
    PARAFORMAT centred = Para(PFA_CENTER, 0, 0, 0);
    CRichData data;
    QTextDocument doc;
    AttachTextDocument(data, &doc, &courier, &centred);
    QTextCursor(&doc).insertText("x");
    data.Detach();
    EXPECT_EQ(AttachedTextDocument(data), nullptr);
    CRtfDocument stored = data.GetDocument();
    EXPECT_EQ(stored.paragraphs.at(0).runs.at(0).format, courier);
    EXPECT_EQ(stored.paragraphs[0].format.wAlignment, PFA_CENTER);
}

TEST(TextDocumentEditor, AttachShowsTheStoredTextWithoutUndoOrModification)
{
    CRichData data;
    data.SetRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\b Bold\\b0  plain\\par second}");
    QTextDocument doc;
    AttachTextDocument(data, &doc);
    EXPECT_EQ(doc.toPlainText(), QString("Bold plain\nsecond"));
    EXPECT_FALSE(doc.isModified());
    EXPECT_FALSE(doc.isUndoAvailable());
    EXPECT_EQ(doc.begin().begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
    EXPECT_EQ(AttachedTextDocument(data), &doc);
}

TEST(TextDocumentEditor, UpdateKeepsTheStreamOfAnUnmodifiedDocument)
{
    const std::string foreign = "{\\rtf1\\ansi {\\*\\generator Other;}Kept\\par}";
    CRichData data;
    data.SetRtf(foreign);
    QTextDocument doc;
    AttachTextDocument(data, &doc);
    data.Update();
    data.Detach();
    EXPECT_EQ(data.GetRtf(), foreign);
}

TEST(TextDocumentEditor, StoringCapturesTheAttachedDocument)
{
    CRichData data;
    QTextDocument doc;
    AttachTextDocument(data, &doc);
    QTextCursor(&doc).insertText("captured");
    Bytes bytes = Store(data);
    EXPECT_FALSE(doc.isModified());

    CRichData loaded;
    LoadBytes(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
    EXPECT_EQ(loaded.GetPlainText(), "captured");
    EXPECT_EQ(loaded.GetRtf(), data.GetRtf());
}

TEST(TextDocumentEditor, CopiesAndOtherDataShareTheDocument)
{
    CRichData a;
    QTextDocument doc;
    a.SetRtf("{\\rtf1 one}");
    AttachTextDocument(a, &doc);
    CRichData b(a);
    EXPECT_EQ(AttachedTextDocument(b), &doc);
    // A second data attached to the same document gets the same editor.
    CRichData other;
    AttachTextDocument(other, &doc);
    EXPECT_EQ(other.GetEditor(), a.GetEditor());
    AttachTextDocument(other, nullptr);
    EXPECT_EQ(AttachedTextDocument(other), nullptr);
}

TEST(TextDocumentEditor, ADestroyedDocumentIsForgotten)
{
    CRichData data;
    data.SetRtf("{\\rtf1 kept}");
    {
        QTextDocument doc;
        AttachTextDocument(data, &doc);
        QTextCursor(&doc).insertText("lost ");
    }
    EXPECT_EQ(AttachedTextDocument(data), nullptr);
    EXPECT_EQ(data.GetEditor(), nullptr);
    data.Update();
    EXPECT_EQ(data.GetPlainText(), "kept");
}

TEST(TextDocumentEditor, SetDocumentAndAttachRoundTrip)
{
    CRtfDocument model;
    model.paragraphs = {Paragraph({{"red", Char("Arial", 200, CFE_ITALIC, RGB(255, 0, 0), 0, 0, 0x22)}},
                                  Para(PFA_RIGHT, 100, 200, 300, {720})),
                        Paragraph({{"bullet", Char("Arial", 200, 0, -1, 0, 0, 0x22)}},
                                  Para(PFA_LEFT, 0, 360, 0, {}, true))};
    CRichData data;
    data.SetDocument(model);
    QTextDocument doc;
    AttachTextDocument(data, &doc);
    EXPECT_EQ(ReadTextDocument(doc), model);
    EXPECT_EQ(data.GetDocument(), model);
}
