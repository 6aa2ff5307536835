#include "equation/widgets/SyntaxEdit.h"
#include "platform/widgets/CommandIds.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

SSyntaxRules EquationRules(const char* names = "")
{
    CEqnSyntaxEdit editor;
    editor.AddNames(names);
    return editor.GetRules();
}

std::string Describe(const QString& text, const SSyntaxRules& rules)
{
    std::string out;
    const char* kinds[] = {"plain", "comment", "string", "number", "keyword", "name"};
    for (const SSyntaxToken& t : ScanSyntax(text, rules)) {
        out += std::string(kinds[t.kind]) + ":" + text.mid(t.start, t.length).toStdString();
        if (!t.spelling.isEmpty())
            out += "=" + t.spelling.toStdString();
        out += " ";
    }
    return out;
}

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

struct EditorFixture {
    EditorFixture()
    {
        editor = std::make_unique<CEqnSyntaxEdit>();
        editor->SetControlId(1184);
        editor->resize(400, 200);
        editor->show();
        QApplication::setActiveWindow(editor.get());
        editor->setFocus();
        QObject::connect(editor.get(), &CSyntaxEdit::textEdited, [this](int id) {
            ++edits;
            lastId = id;
        });
    }
    void Type(const char* text)
    {
        // Line by line: a line end is the Return key.
        const QStringList lines = QString::fromUtf8(text).split(u'\n');
        for (int i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(editor.get(), Qt::Key_Return);
            QTest::keyClicks(editor.get(), lines[i]);
        }
        Settle();
    }
    std::string Text() const { return editor->toPlainText().toStdString(); }
    CCmdUI State(UINT id)
    {
        CCmdUI ui(id);
        EXPECT_TRUE(editor->OnCmdMsg(id, &ui));
        return ui;
    }
    std::unique_ptr<CEqnSyntaxEdit> editor;
    int edits = 0;
    int lastId = 0;
};

} // namespace

TEST(SyntaxScan, ClassesOfWords)
{
    const SSyntaxRules rules = EquationRules(" y K ");
    struct Case {
        const char* text;
        const char* tokens;
    };
    for (const Case& c : {
             Case{"y = a ' a comment", "name:y=y comment:' a comment "},
             Case{"endif", "keyword:endif=Endif "},
             Case{"iffy = k", "name:k=K "},                       // only whole words match
             Case{"x = \"if\" + 1e-5", "string:\"if\" number:1e-5 "},
             Case{"\"open", "string:\"open "},
             Case{"SIN(x)^2.5E+2", "keyword:SIN=sin number:2.5E+2 "},
             Case{"_pi_*x2", "keyword:_pi_=_pi_ "},
             Case{"3..4", "number:3. number:4 "},                 // "." starts no number: plain
         })
        EXPECT_EQ(Describe(QString::fromUtf8(c.text), rules), c.tokens) << c.text;
}

TEST(SyntaxScan, TextsBetweenTheModelAndTheEditor)
{
    const std::string source = "y = a\r\n' \xC3\xA9t\xC3\xA9\r\nz = q";
    EXPECT_EQ(SourceToEditorText(source), QString::fromUtf8("y = a\n' \xC3\xA9t\xC3\xA9\nz = q"));
    EXPECT_EQ(EditorTextToSource(SourceToEditorText(source)), source);
    // "q" stands at byte 20 of the source; in the editor the CRs are gone and é is one character.
    EXPECT_EQ(source.find('q'), 20u);
    EXPECT_EQ(SourceOffsetToEditor(source, 20), 20 - 2 - 2);
    EXPECT_EQ(SourceOffsetToEditor(source, 7), 6); // the start of the second line
    EXPECT_EQ(SourceOffsetToEditor(source, 999), int(SourceToEditorText(source).size()));
}

TEST(SyntaxEditTest, TypedWordsTakeTheSpellingOfTheirList)
{
    EditorFixture f;
    f.editor->AddNames(" K ");
    f.Type("if k > 0 then\nendif ' if k\nx = \"if\"");
    EXPECT_EQ(f.Text(), "If K > 0 Then\nEndif ' if k\nx = \"if\"");
    // A word that merely begins with a keyword stays as typed.
    f.editor->SetText(QString());
    f.Type("iffy");
    EXPECT_EQ(f.Text(), "iffy");
    EXPECT_GT(f.edits, 0);
    EXPECT_EQ(f.lastId, 1184);
}

TEST(SyntaxEditTest, ShownTextIsNeitherAnEditNorCorrected)
{
    EditorFixture f;
    f.editor->SetSourceText("y = exp(-k*x)\r\nendif");
    Settle();
    EXPECT_EQ(f.edits, 0);
    EXPECT_EQ(f.Text(), "y = exp(-k*x)\nendif");
    EXPECT_EQ(f.editor->GetSourceText(), "y = exp(-k*x)\r\nendif");
    // The keyword still shows as one.
    f.editor->ColourAll();
    EXPECT_EQ(f.edits, 0);
}

TEST(SyntaxEditTest, PastedTextIsPlainAndTabIsACharacter)
{
    EditorFixture f;
    auto* data = new QMimeData;
    data->setHtml("<b style='color:red'>big</b>");
    data->setText("big");
    QApplication::clipboard()->setMimeData(data);
    EXPECT_TRUE(f.State(ID_EDIT_PASTE).m_enabled.value_or(false));
    f.editor->OnCmdMsg(ID_EDIT_PASTE, nullptr);
    EXPECT_EQ(f.Text(), "big");
    const QTextCharFormat format = f.editor->document()->begin().begin().fragment().charFormat();
    EXPECT_NE(format.foreground().color(), QColor(Qt::red));
    EXPECT_NE(format.fontWeight(), int(QFont::Bold));
    QTest::keyClick(f.editor.get(), Qt::Key_Tab);
    EXPECT_EQ(f.Text(), "big\t");
}

TEST(SyntaxEditTest, EditCommandsAndInsertCommands)
{
    EditorFixture f;
    EXPECT_FALSE(f.State(ID_EDIT_UNDO).m_enabled.value_or(true));
    EXPECT_TRUE(f.State(ID_EDIT_SELECT_ALL).m_enabled.value_or(false));
    EXPECT_FALSE(f.State(ID_EDIT_COPY).m_enabled.value_or(true));
    f.Type("y = ");
    f.editor->OnCmdMsg(33306, nullptr); // Function/exp
    f.editor->OnCmdMsg(33315, nullptr); // Constant/_pi_
    EXPECT_EQ(f.Text(), "y = exp(_pi_ ");
    f.editor->OnCmdMsg(ID_EDIT_SELECT_ALL, nullptr);
    EXPECT_TRUE(f.State(ID_EDIT_CUT).m_enabled.value_or(false));
    f.editor->OnCmdMsg(ID_EDIT_CLEAR, nullptr);
    EXPECT_EQ(f.Text(), "");
    EXPECT_FALSE(f.editor->OnCmdMsg(33325, nullptr)); // a column's command is no equation's

    CColumnSyntaxEdit column;
    column.OnCmdMsg(33325, nullptr);
    EXPECT_EQ(column.toPlainText(), "Result = ");
    EXPECT_NE(column.GetRules().keywords.indexOf(" SetBlank "), -1);
    CTransDataSyntaxEdit data;
    EXPECT_NE(data.GetRules().keywords.indexOf(" YCalc "), -1);
    CTransCurveSyntaxEdit curve;
    EXPECT_EQ(curve.GetRules().keywords.indexOf(" YCalc "), -1);
    EXPECT_NE(curve.GetRules().keywords.indexOf(" XData5 "), -1);

    // The context menu holds the three Insert popups.
    std::unique_ptr<QMenu> menu(f.editor->CreateContextMenu());
    std::vector<std::string> popups;
    for (QAction* a : menu->actions())
        if (a->menu())
            popups.push_back(a->text().toStdString());
    EXPECT_EQ(popups, (std::vector<std::string>{"Constant", "Function", "Keyword"}));
}
