// The editors in which equations are typed. A CSyntaxEdit knows the words of
// a language: it splits its text into comments, strings, numbers, keywords,
// declared names and plain text, shows each class in its own colour and
// weight, and rewrites a recognised keyword or name in the spelling of its
// list ("endif" becomes "Endif", "k" becomes "K" where "K" is declared). Only
// the lines an edit touches are looked at again.
//
// CEqnSyntaxEdit is the equation language's editor: its keywords, functions
// and constants, an Insert menu of them, the standard edit commands, Tab as
// a character, and a signal to its page whenever the user changes the text.
// Three further editors add the words of a table column's equation and of
// the two parts of a transformation.
//
// The model keeps equation texts with CR LF line ends (as stored files hold
// them); the editor holds LF. Offsets into the model's text (a compile
// error's range) are turned into editor positions by SourceOffsetToEditor.
#pragma once

#include "platform/Types.h"
#include "platform/widgets/CommandRouter.h"

#include <QColor>
#include <QString>
#include <QTextEdit>

#include <string>
#include <string_view>
#include <vector>

class QMenu;
class QSyntaxHighlighter;

enum ESyntaxClass { SyntaxPlain, SyntaxComment, SyntaxString, SyntaxNumber, SyntaxKeyword, SyntaxName, SyntaxClassCount };

// How a text is split into words.
struct SSyntaxRules {
    bool caseSensitive = false;
    bool correctSpelling = true;
    QChar comment1 = QChar(1); // a comment starts here (with comment2 after it, when set)
    QChar comment2 = QChar(0);
    QString quotes = QStringLiteral("\"");
    // Word lists: single blanks between the words and around the list.
    QString keywords, keywordSearch;
    QString names, nameSearch;
};

struct SSyntaxToken {
    int start = 0;
    int length = 0;
    ESyntaxClass kind = SyntaxPlain;
    // The word as its list spells it (keywords and names); empty otherwise.
    QString spelling;
};

// The comments, strings, numbers, keywords and names of a text, in order.
std::vector<SSyntaxToken> ScanSyntax(QStringView text, const SSyntaxRules& rules);

// Texts between the model (CR LF, UTF-8) and the editor (LF).
QString SourceToEditorText(std::string_view source);
std::string EditorTextToSource(const QString& text);
// The editor position of a byte offset into the model's text.
int SourceOffsetToEditor(std::string_view source, int offset);

// One entry of an Insert menu: the command, its popup, its text and what it inserts.
struct SInsertCommand {
    UINT id;
    const char* popup;
    const char* menuText;
    const char* inserted;
};

class CSyntaxEdit : public QTextEdit, public CCmdTarget {
    Q_OBJECT
public:
    explicit CSyntaxEdit(QWidget* parent = nullptr);
    ~CSyntaxEdit() override;

    // The control id the editor reports with its change signal.
    void SetControlId(int id);
    int GetControlId() const { return m_nControlId; }

    // Word lists: appended, or emptied.
    void SetKeywords(std::string_view list);
    void AddNames(std::string_view list);
    void ClearKeywords();
    void ClearNames();
    // Empties both lists and sets the editor's own keywords again.
    void ResetWords();
    virtual void SetDefaultKeywords() {}
    SSyntaxRules& GetRules() { return m_rules; }
    const SSyntaxRules& GetRules() const { return m_rules; }

    void SetColour(ESyntaxClass kind, QColor colour, bool bold);
    QColor GetColour(ESyntaxClass kind) const { return m_colours[kind]; }
    bool IsBold(ESyntaxClass kind) const { return m_bold[kind]; }

    // One pass over the characters [first, last): spellings corrected and
    // colours shown again. ColourLines takes whole lines; ColourAll the text.
    void ColourText(int first, int last);
    void ColourLines(int a, int b);
    void ColourAll();
    bool IsColouring() const { return m_bBusy; }
    // Corrects the lines the user changed since the last correction; the
    // editor runs it once the edit is over (tests may call it at once).
    void CorrectPending();

    // Shows a text without counting it as the user's edit.
    void SetText(const QString& text);
    void SetSourceText(std::string_view source) { SetText(SourceToEditorText(source)); }
    std::string GetSourceText() const { return EditorTextToSource(toPlainText()); }
    // Selects [start, end) of the editor's text and shows it.
    void SelectRange(int start, int end);
    // Selects a range given as offsets into the model's text.
    void SelectSourceRange(int start, int end);
    // Replaces the selection with text, as the Insert commands do.
    void ReplaceSelection(const QString& text);
    // Puts a name at the caret in place of the selection and gives the
    // editor the focus, as a double click in a list of symbols does.
    void InsertName(const QString& name);

    // Edit commands and the Insert commands.
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;
    // The Insert commands of this editor; none in the base.
    virtual const std::vector<SInsertCommand>& GetInsertCommands() const;
    // The editor's context menu: the edit commands and the Insert popups.
    QMenu* CreateContextMenu();

signals:
    // The user changed the text (not a colouring pass, not SetText).
    void textEdited(int controlId);

protected:
    void insertFromMimeData(const QMimeData* source) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class CSyntaxHighlighter;
    void OnContentsChange(int position, int removed, int added);
    void Correct(int first, int last);

    SSyntaxRules m_rules;
    QColor m_colours[SyntaxClassCount];
    bool m_bold[SyntaxClassCount] = {};
    QSyntaxHighlighter* m_pHighlighter = nullptr;
    int m_nControlId = 0;
    bool m_bBusy = false;
    bool m_bSetting = false;
    QString m_lastText;
    // The range the user changed and that awaits its corrections, or first -1.
    int m_nPendingFirst = -1;
    int m_nPendingLast = -1;
};

// The equation language's editor.
class CEqnSyntaxEdit : public CSyntaxEdit {
    Q_OBJECT
public:
    explicit CEqnSyntaxEdit(QWidget* parent = nullptr);
    void SetDefaultKeywords() override;
    const std::vector<SInsertCommand>& GetInsertCommands() const override;
    // The language's keywords, functions and constants as a word list.
    static const char* EquationKeywords();
};

// The equation of a data-table column: adds Column, Row, Data, ValidData, SetBlank and Result.
class CColumnSyntaxEdit : public CEqnSyntaxEdit {
    Q_OBJECT
public:
    explicit CColumnSyntaxEdit(QWidget* parent = nullptr);
    void SetDefaultKeywords() override;
    const std::vector<SInsertCommand>& GetInsertCommands() const override;
};

// The data-point part of a transformation: adds the point's values.
class CTransDataSyntaxEdit : public CEqnSyntaxEdit {
    Q_OBJECT
public:
    explicit CTransDataSyntaxEdit(QWidget* parent = nullptr);
    void SetDefaultKeywords() override;
    const std::vector<SInsertCommand>& GetInsertCommands() const override;
};

// The curve part of a transformation: adds the extra x values.
class CTransCurveSyntaxEdit : public CEqnSyntaxEdit {
    Q_OBJECT
public:
    explicit CTransCurveSyntaxEdit(QWidget* parent = nullptr);
    void SetDefaultKeywords() override;
    const std::vector<SInsertCommand>& GetInsertCommands() const override;
};
