#include "platform/widgets/CommandIds.h"
#include "ui/RichData.h"
#include "ui/widgets/CommentRichEditCtrl.h"

#include <QFontInfo>
#include <QTextCursor>

#include <gtest/gtest.h>

TEST(PaginateUnits, PagesBreakBeforeTheUnitThatDoesNotFit)
{
    const struct {
        std::vector<double> heights;
        double page;
        std::vector<int> starts;
    } cases[] = {
        {{}, 100, {0}},                   // empty text still prints one page
        {{30, 30, 30}, 100, {0}},         // 90 fits
        {{30, 30, 30, 30}, 100, {0, 3}},  // the fourth line would end at 120
        {{50, 50, 50}, 100, {0, 2}},      // exactly full
        // An over-tall unit gets a page of its own and is never dropped.
        {{20, 250, 20}, 100, {0, 1, 2}},
        {{250}, 100, {0}},
        {{250, 250}, 100, {0, 1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PaginateUnits(c.heights, c.page), c.starts);
}

TEST(CommentRichEditCtrl, NewTextIsTwelvePointTimesNewRoman)
{
    InstallFontSubstitutes();
    CRichData data;
    CCommentRichEditCtrl edit;
    edit.AttachData(&data);
    edit.insertPlainText("hello");
    QTextCursor cursor(edit.document());
    cursor.setPosition(2);
    QTextCharFormat f = cursor.charFormat();
    EXPECT_EQ(f.fontFamilies().toStringList().value(0).toStdString(), "Times New Roman");
    EXPECT_DOUBLE_EQ(f.fontPointSize(), 12.0);
    // Drawn with the metric twin when the face itself is missing.
    QFontInfo info(f.font());
    EXPECT_TRUE(info.family() == "Times New Roman" || info.family() == "Liberation Serif") << info.family().toStdString();
    edit.DetachData();
    EXPECT_EQ(data.GetPlainText(), "hello");
}

TEST(CommentRichEditCtrl, BoldOnAPartlyBoldSelectionMakesAllBoldThenPlain)
{
    CRichData data;
    CCommentRichEditCtrl edit;
    edit.AttachData(&data);
    edit.insertPlainText("abcdef");
    QTextCursor cursor(edit.document());
    cursor.setPosition(0);
    cursor.setPosition(3, QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
    edit.OnCmdMsg(ID_FORMAT_BOLD, nullptr);
    cursor.setPosition(0);
    cursor.setPosition(6, QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
    EXPECT_EQ(edit.SelectionEffect(CFE_BOLD), -1);
    CCmdUI ui(ID_FORMAT_BOLD);
    edit.OnCmdMsg(ID_FORMAT_BOLD, &ui);
    EXPECT_FALSE(ui.m_checked.value());
    edit.OnCmdMsg(ID_FORMAT_BOLD, nullptr);
    EXPECT_EQ(edit.SelectionEffect(CFE_BOLD), 1);
    edit.OnCmdMsg(ID_FORMAT_BOLD, nullptr);
    EXPECT_EQ(edit.SelectionEffect(CFE_BOLD), 0);
}

TEST(CommentRichEditCtrl, UnchangedTextKeepsItsStoredForm)
{
    CRichData data;
    data.SetRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 kept\\par}");
    const std::string before = data.GetRtf();
    CCommentRichEditCtrl edit;
    edit.AttachData(&data);
    edit.DetachData();
    EXPECT_EQ(data.GetRtf(), before);
}
