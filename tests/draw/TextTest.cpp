// Rich-text objects: formats applied with and without an editor, layout
// caches, measuring, drawing turned text, and editing in place through a
// window-less editor.
#include "DrawTestSupport.h"

#include "draw/DrawText.h"
#include "platform/StringIds.h"
#include "ui/widgets/RichTextDocument.h"
#include "ui/RtfDocument.h"

#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <memory>

namespace {

// An editor over a plain QTextDocument with its own selection.
class FakeEditor : public CInPlaceTextEditor {
public:
    QTextDocument* Document() override { return &doc; }
    void SetVisible(bool on) override { visible = on; }
    bool IsVisible() const override { return visible; }
    void SetPageRect(const RECT& r) override { rect = r; }
    void GetSelectionCharFormat(CHARFORMAT& f) override { f = CharFormatFromQt(cursor.charFormat(), doc.defaultFont()); }
    void SetSelectionCharFormat(const CHARFORMAT& f) override { cursor.mergeCharFormat(CharFormatToQt(f)); }
    void GetSelectionParaFormat(PARAFORMAT& f) override { f = ParaFormatFromQt(cursor.blockFormat(), false); }
    void SetSelectionParaFormat(const PARAFORMAT& f) override { cursor.mergeBlockFormat(ParaFormatToQt(f)); }
    void ReplaceSelection(const std::string& s) override { cursor.insertText(QString::fromStdString(s)); }
    void SelectAll() override { cursor.select(QTextCursor::Document); }

    QTextDocument doc;
    QTextCursor cursor{&doc};
    bool visible = false;
    RECT rect{};
};

class EditingView : public FakeView {
public:
    using FakeView::FakeView;
    CInPlaceTextEditor* CreateTextEditor(CDrawTextBase*, bool show) override
    {
        editor = std::make_unique<FakeEditor>();
        editor->visible = show;
        return editor.get();
    }
    void DestroyTextEditor(CInPlaceTextEditor* e) override
    {
        if (e == editor.get())
            editor.reset();
        ++destroyed;
    }
    std::unique_ptr<FakeEditor> editor;
    int destroyed = 0;
};

std::vector<const CRtfRun*> Runs(const CRtfDocument& doc)
{
    std::vector<const CRtfRun*> runs;
    for (const CRtfParagraph& p : doc.paragraphs)
        for (const CRtfRun& r : p.runs)
            runs.push_back(&r);
    return runs;
}

// The box of the dark pixels of an image.
QRect DarkBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (IsDark(image, x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

TEST(DrawText, TextColourWithoutAnEditorReachesAllTheText)
{
    PageFixture f;
    auto* text = new CDrawText({0, 500, 3000, 0}, &f.page);
    f.page.AddObject(text);
    text->ReplaceText(nullptr, "first\nsecond", false);
    CHARFORMAT bold;
    bold.dwMask = CFM_BOLD;
    bold.dwEffects = CFE_BOLD;
    text->SetCharFormat(nullptr, bold);
    text->SetTextColor(0x0000FF, true);
    const CRtfDocument doc = text->GetTextDocument();
    ASSERT_EQ(Runs(doc).size(), 2u);
    for (const CRtfRun* run : Runs(doc)) {
        EXPECT_EQ(run->format.crTextColor, 0x0000FFu);
        EXPECT_EQ(run->format.dwEffects & CFE_AUTOCOLOR, 0u);
        EXPECT_EQ(run->format.dwEffects & CFE_BOLD, DWORD(CFE_BOLD));
    }
    COLORREF colour = 0;
    ASSERT_TRUE(text->GetTextColor(colour));
    EXPECT_EQ(colour, 0x0000FFu);
}

TEST(DrawText, ReplacingTheTextFitsTheHeight)
{
    CDrawText text({0, 5000, 3000, 0}, nullptr);
    text.ReplaceText(nullptr, "one line", false);
    const RECT n = NormalizedRect(text.GetPosition());
    // The upper edge stays; the height is that of one line of 12-point text
    // (120 units) with its leading and the small insets: well under 300 units.
    EXPECT_EQ(n.bottom, 5000);
    EXPECT_GT(n.bottom - n.top, 120);
    EXPECT_LT(n.bottom - n.top, 300);
    text.ReplaceText(nullptr, "three\nlines\nnow", false);
    const RECT m = NormalizedRect(text.GetPosition());
    EXPECT_GT(m.bottom - m.top, 3 * 120);
}

TEST(DrawText, ALoadedTextDrawsWithoutMarkingThePage)
{
    PageFixture f;
    auto* text = new CDrawText({0, 5000, 3000, 4000}, &f.page);
    f.page.AddObject(text);
    text->ReplaceText(nullptr, "Absorbance", false);
    const Bytes bytes = StoreBytes([&](CArchive& ar) { f.page.Serialize(ar); });
    PageFixture g;
    LoadBytes(bytes, [&](CArchive& ar) { g.page.Serialize(ar); });
    g.doc.SetModifiedFlag(false);
    auto* loaded = dynamic_cast<CDrawText*>(g.page.GetObjects().at(0));
    ASSERT_NE(loaded, nullptr);
    EXPECT_FALSE(loaded->RunsValid());
    const QImage image = RenderObjects(g.page.GetObjects(), 400, 600);
    EXPECT_TRUE(loaded->RunsValid());
    EXPECT_FALSE(g.doc.IsModified());
    EXPECT_FALSE(DarkBox(image).isEmpty());
}

TEST(DrawText, ResizingWrapsTheTextAnew)
{
    CDrawText text({0, 5000, 3000, 4000}, nullptr);
    text.ReplaceText(nullptr, "Absorbance", false);
    text.BuildRuns();
    text.MoveTo({0, 5000, 3000, 3000});
    EXPECT_TRUE(text.RunsValid()); // the same width wraps the same
    text.MoveTo({0, 5000, 2000, 3000});
    EXPECT_FALSE(text.RunsValid());
}

TEST(DrawText, TurnedTextIsDrawnTurned)
{
    CDrawText text({1000, 3500, 3000, 3000}, nullptr);
    text.ReplaceText(nullptr, "MMMMMMMMMM", false);
    const QRect flat = DarkBox(RenderObjects({&text}, 400, 600));
    text.SetTextOrientation(90);
    EXPECT_EQ(text.GetRotation(), 900);
    const QRect turned = DarkBox(RenderObjects({&text}, 400, 600));
    ASSERT_FALSE(flat.isEmpty());
    ASSERT_FALSE(turned.isEmpty());
    EXPECT_GT(flat.width(), 2 * flat.height());
    EXPECT_GT(turned.height(), 2 * turned.width());
}

TEST(DrawText, EditingInPlaceKeepsWhatWasTyped)
{
    PageFixture f;
    EditingView view(&f.page);
    auto* text = new CDrawText({0, 5000, 3000, 4000}, &f.page);
    f.page.AddObject(text);
    text->BeginEdit(&view, true);
    ASSERT_TRUE(text->IsEditing());
    EXPECT_EQ(f.page.m_pEditObj, text);
    ASSERT_TRUE(view.editor);
    EXPECT_TRUE(view.editor->visible);
    // While edited the object has no hit area and no handles: the editor takes the mouse.
    EXPECT_FALSE(text->HitTest({100, 4500}, &view));
    view.editor->cursor.insertText("Typed");
    f.views.hints.clear();
    text->EndEdit();
    EXPECT_FALSE(text->IsEditing());
    EXPECT_EQ(view.destroyed, 1);
    EXPECT_EQ(f.page.m_pEditObj, nullptr);
    EXPECT_EQ(text->GetText(), "Typed");
    EXPECT_EQ(f.views.Count(HINT_UPDATE_WINDOW), 1);
    // New text starts in the page's default format.
    const CRtfDocument doc = text->GetTextDocument();
    ASSERT_EQ(Runs(doc).size(), 1u);
    EXPECT_STREQ(Runs(doc)[0]->format.szFaceName, "Arial");
}

TEST(DrawText, FormatsWhileEditingApplyToTheSelectionOnly)
{
    PageFixture f;
    EditingView view(&f.page);
    auto* text = new CDrawText({0, 5000, 3000, 4000}, &f.page);
    f.page.AddObject(text);
    text->ReplaceText(nullptr, "plain bold", false);
    text->BeginEdit(&view, true);
    // Select "bold" and make it bold; ending the edit must not widen that to all the text.
    view.editor->cursor.setPosition(6);
    view.editor->cursor.setPosition(10, QTextCursor::KeepAnchor);
    text->OnSelectionChanged();
    CHARFORMAT bold;
    bold.dwMask = CFM_BOLD;
    bold.dwEffects = CFE_BOLD;
    text->SetCharFormat(&view, bold);
    text->EndEdit();
    const CRtfDocument doc = text->GetTextDocument();
    const auto runs = Runs(doc);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0]->text, "plain ");
    EXPECT_EQ(runs[0]->format.dwEffects & CFE_BOLD, 0u);
    EXPECT_EQ(runs[1]->text, "bold");
    EXPECT_EQ(runs[1]->format.dwEffects & CFE_BOLD, DWORD(CFE_BOLD));
    // The cached whole-text format now has bold undetermined.
    EXPECT_EQ(text->GetCharFormat(nullptr)->dwMask & CFM_BOLD, 0u);
}

TEST(DrawText, CloningEndsEditingFirst)
{
    PageFixture f;
    EditingView view(&f.page);
    auto* text = new CDrawText({0, 5000, 3000, 4000}, &f.page);
    f.page.AddObject(text);
    text->BeginEdit(&view, true);
    view.editor->cursor.insertText("copied");
    CDrawObj* copy = text->Clone(&f.page);
    EXPECT_FALSE(text->IsEditing());
    auto* copiedText = dynamic_cast<CDrawText*>(copy);
    ASSERT_NE(copiedText, nullptr);
    EXPECT_EQ(copiedText->GetText(), "copied");
    EXPECT_EQ(copiedText->GetTextDocument().PlainText(), "copied");
}

TEST(DrawText, DeletingTheEditedObjectClosesItsEditor)
{
    PageFixture f;
    EditingView view(&f.page);
    auto* text = new CDrawText({0, 5000, 3000, 4000}, &f.page);
    f.page.AddObject(text);
    text->BeginEdit(&view, true);
    text->Remove();
    EXPECT_EQ(view.destroyed, 1);
    EXPECT_EQ(f.page.m_pEditObj, nullptr);
}
