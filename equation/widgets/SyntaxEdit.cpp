#include "equation/widgets/SyntaxEdit.h"

#include "platform/widgets/CommandIds.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <map>
#include <memory>

namespace {

bool IsWordStart(QChar c) { return (c.unicode() < 0x80 && c.isLetter()) || c == u'_'; }
bool IsWordChar(QChar c) { return (c.unicode() < 0x80 && c.isLetterOrNumber()) || c == u'_'; }
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsLineEnd(QChar c) { return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator; }

// The longest number that starts at text[at] (a digit): digits, a point, digits, an exponent.
int NumberLength(QStringView text, int at)
{
    const int n = int(text.size());
    int i = at;
    while (i < n && IsDigit(text[i]))
        ++i;
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && IsDigit(text[i]))
            ++i;
    }
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        int j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        if (j < n && IsDigit(text[j])) {
            while (j < n && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i - at;
}

// Where " word " stands in a search list, or -1.
int FindWord(const QString& search, QStringView word, bool caseSensitive)
{
    if (search.isEmpty())
        return -1;
    QString key = QStringLiteral(" ") + word.toString() + QStringLiteral(" ");
    if (!caseSensitive)
        key = key.toLower();
    return int(search.indexOf(key));
}

QString SearchCopy(const QString& list, bool caseSensitive) { return caseSensitive ? list : list.toLower(); }

// A word list from the model's text, with a blank at each end.
QString WordList(std::string_view list)
{
    QString words = QString::fromUtf8(list.data(), qsizetype(list.size()));
    if (!words.startsWith(u' '))
        words.prepend(u' ');
    if (!words.endsWith(u' '))
        words.append(u' ');
    return words;
}

constexpr const char* kEquationKeywords =
    " If Then Endif Else Return For To Step Next Goto abs acos alog asin atan cos exp frac int log ln sin sqr sqrt "
    "tan _pi_ _e_ _rnd_ _grnd_ ";

const std::vector<SInsertCommand>& EquationInserts()
{
    static const std::vector<SInsertCommand> commands = {
        {33315, "Constant", "_pi_", "_pi_ "}, {33316, "Constant", "_e_", "_e_ "},
        {33317, "Constant", "_rnd_", "_rnd_ "}, {33318, "Constant", "_grnd_", "_grnd_ "},
        {33300, "Function", "abs", "abs("}, {33301, "Function", "acos", "acos("},
        {33302, "Function", "alog", "alog("}, {33303, "Function", "asin", "asin("},
        {33304, "Function", "atan", "atan("}, {33305, "Function", "cos", "cos("},
        {33306, "Function", "exp", "exp("}, {33307, "Function", "frac", "frac("},
        {33308, "Function", "int", "int("}, {33309, "Function", "log", "log("},
        {33310, "Function", "ln", "ln("}, {33311, "Function", "sin", "sin("},
        {33312, "Function", "sqr", "sqr("}, {33313, "Function", "sqrt", "sqrt("},
        {33314, "Function", "tan", "tan("},
        {33290, "Keyword", "If", "If "}, {33291, "Keyword", "Then", "Then"},
        {33292, "Keyword", "Endif", "Endif "}, {33293, "Keyword", "Else", "Else "},
        {33294, "Keyword", "Return", "Return"}, {33295, "Keyword", "For", "For "},
        {33296, "Keyword", "To", "To "}, {33297, "Keyword", "Step", "Step "},
        {33298, "Keyword", "Next", "Next"}, {33299, "Keyword", "Goto", "Goto "},
    };
    return commands;
}

// The equation's commands with more entries after a separator in their popups.
std::vector<SInsertCommand> Extended(std::initializer_list<SInsertCommand> extra)
{
    std::vector<SInsertCommand> all = EquationInserts();
    all.insert(all.end(), extra.begin(), extra.end());
    return all;
}

} // namespace

std::vector<SSyntaxToken> ScanSyntax(QStringView text, const SSyntaxRules& rules)
{
    std::vector<SSyntaxToken> tokens;
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        const QChar c = text[i];
        const bool comment = c == rules.comment1
            && (rules.comment2.isNull() || (i + 1 < n && text[i + 1] == rules.comment2));
        if (comment) {
            int end = i;
            while (end < n && !IsLineEnd(text[end]))
                ++end;
            tokens.push_back({i, end - i, SyntaxComment, {}});
            i = end;
        } else if (rules.quotes.contains(c)) {
            int end = i + 1;
            while (end < n && text[end] != c && !IsLineEnd(text[end]))
                ++end;
            if (end < n && text[end] == c)
                ++end;
            tokens.push_back({i, end - i, SyntaxString, {}});
            i = end;
        } else if (IsDigit(c)) {
            const int length = NumberLength(text, i);
            tokens.push_back({i, length, SyntaxNumber, {}});
            i += length;
        } else if (IsWordStart(c)) {
            int end = i + 1;
            while (end < n && IsWordChar(text[end]))
                ++end;
            const QStringView word = text.mid(i, end - i);
            int at = FindWord(rules.keywordSearch, word, rules.caseSensitive);
            if (at >= 0) {
                tokens.push_back({i, end - i, SyntaxKeyword, rules.keywords.mid(at + 1, end - i)});
            } else if ((at = FindWord(rules.nameSearch, word, rules.caseSensitive)) >= 0) {
                tokens.push_back({i, end - i, SyntaxName, rules.names.mid(at + 1, end - i)});
            }
            i = end;
        } else {
            ++i;
        }
    }
    return tokens;
}

QString SourceToEditorText(std::string_view source)
{
    QString text = QString::fromUtf8(source.data(), qsizetype(source.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

std::string EditorTextToSource(const QString& text)
{
    QString source = text;
    source.replace(QChar::ParagraphSeparator, u'\n');
    source.replace(QChar::LineSeparator, u'\n');
    source.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return source.toStdString();
}

int SourceOffsetToEditor(std::string_view source, int offset)
{
    offset = std::clamp(offset, 0, int(source.size()));
    // A CR that a LF follows is no character of the editor.
    const std::string_view head = source.substr(0, std::size_t(offset));
    int crs = 0;
    for (std::size_t i = 0; i < head.size(); ++i)
        if (head[i] == '\r' && i + 1 < source.size() && source[i + 1] == '\n')
            ++crs;
    return int(QString::fromUtf8(head.data(), qsizetype(head.size())).size()) - crs;
}

// Shows each class of words in its colour, as the editor's rules find them.
class CSyntaxHighlighter : public QSyntaxHighlighter {
public:
    CSyntaxHighlighter(CSyntaxEdit* editor) : QSyntaxHighlighter(editor->document()), m_pEditor(editor) {}

protected:
    void highlightBlock(const QString& text) override
    {
        for (const SSyntaxToken& token : ScanSyntax(text, m_pEditor->m_rules)) {
            QTextCharFormat format;
            format.setForeground(m_pEditor->m_colours[token.kind]);
            format.setFontWeight(m_pEditor->m_bold[token.kind] ? QFont::Bold : QFont::Normal);
            setFormat(token.start, token.length, format);
        }
    }

private:
    CSyntaxEdit* m_pEditor;
};

// ---------------------------------------------------------------- CSyntaxEdit

CSyntaxEdit::CSyntaxEdit(QWidget* parent) : QTextEdit(parent)
{
    // Words match without regard to case and take their list's spelling;
    // comments are green, numbers and strings magenta, keywords blue, names bold.
    m_colours[SyntaxPlain] = Qt::black;
    m_colours[SyntaxComment] = QColor(0x00, 0x80, 0x00);
    m_colours[SyntaxNumber] = QColor(0xFF, 0x00, 0xFF);
    m_colours[SyntaxString] = QColor(0xFF, 0x00, 0xFF);
    m_colours[SyntaxKeyword] = QColor(0x00, 0x00, 0xFF);
    m_colours[SyntaxName] = Qt::black;
    m_bold[SyntaxName] = true;
    setAcceptRichText(false);
    // Corrections would make an undo history that undoes nothing the user did.
    setUndoRedoEnabled(false);
    setLineWrapMode(QTextEdit::NoWrap);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(9);
    document()->setDefaultFont(font);
    setFont(font);
    // Tab stops every fifth of an inch.
    setTabStopDistance(logicalDpiX() / 5.0);
    m_pHighlighter = new CSyntaxHighlighter(this);
    connect(document(), &QTextDocument::contentsChange, this, &CSyntaxEdit::OnContentsChange);
}

CSyntaxEdit::~CSyntaxEdit() = default;

void CSyntaxEdit::SetControlId(int id)
{
    m_nControlId = id;
    setProperty("controlId", id);
    setObjectName(QString::number(id));
}

void CSyntaxEdit::SetKeywords(std::string_view list)
{
    m_rules.keywords = m_rules.keywords.isEmpty() ? WordList(list) : m_rules.keywords + WordList(list).mid(1);
    m_rules.keywordSearch = SearchCopy(m_rules.keywords, m_rules.caseSensitive);
}

void CSyntaxEdit::AddNames(std::string_view list)
{
    m_rules.names = m_rules.names.isEmpty() ? WordList(list) : m_rules.names + WordList(list).mid(1);
    m_rules.nameSearch = SearchCopy(m_rules.names, m_rules.caseSensitive);
}

void CSyntaxEdit::ClearKeywords()
{
    m_rules.keywords.clear();
    m_rules.keywordSearch.clear();
}

void CSyntaxEdit::ClearNames()
{
    m_rules.names.clear();
    m_rules.nameSearch.clear();
}

void CSyntaxEdit::ResetWords()
{
    ClearKeywords();
    ClearNames();
    SetDefaultKeywords();
}

void CSyntaxEdit::SetColour(ESyntaxClass kind, QColor colour, bool bold)
{
    m_colours[kind] = colour;
    m_bold[kind] = bold;
    m_pHighlighter->rehighlight();
}

void CSyntaxEdit::Correct(int first, int last)
{
    if (!m_rules.correctSpelling || m_rules.caseSensitive || first >= last)
        return;
    const QString text = toPlainText();
    last = std::min(last, int(text.size()));
    const QTextCursor shown = textCursor();
    const int anchor = shown.anchor(), position = shown.position();
    const bool busy = m_bBusy;
    m_bBusy = true;
    for (const SSyntaxToken& token : ScanSyntax(QStringView(text).mid(first, last - first), m_rules)) {
        if (token.spelling.isEmpty() || token.spelling.size() != token.length)
            continue;
        if (QStringView(text).mid(first + token.start, token.length) == token.spelling)
            continue;
        QTextCursor cursor(document());
        cursor.setPosition(first + token.start);
        cursor.setPosition(first + token.start + token.length, QTextCursor::KeepAnchor);
        cursor.insertText(token.spelling);
    }
    // Same lengths: the user's selection stays where it was.
    QTextCursor restored(document());
    restored.setPosition(anchor);
    restored.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(restored);
    m_bBusy = busy;
}

void CSyntaxEdit::ColourText(int first, int last)
{
    if (first >= last)
        return;
    Correct(first, last);
    const bool busy = m_bBusy;
    m_bBusy = true;
    for (QTextBlock block = document()->findBlock(first); block.isValid() && block.position() < last;
         block = block.next())
        m_pHighlighter->rehighlightBlock(block);
    m_bBusy = busy;
}

void CSyntaxEdit::ColourLines(int a, int b)
{
    const QTextBlock first = document()->findBlock(std::max(a, 0));
    QTextBlock last = document()->findBlock(std::max(b, 0));
    if (!last.isValid())
        last = document()->lastBlock();
    ColourText(first.position(), last.position() + last.length() - 1);
}

void CSyntaxEdit::ColourAll()
{
    // The whole text shows its classes again; spellings are corrected only
    // where the user types, so that showing an equation never changes it.
    const bool busy = m_bBusy;
    m_bBusy = true;
    m_pHighlighter->rehighlight();
    m_bBusy = busy;
}

void CSyntaxEdit::SetText(const QString& text)
{
    m_bSetting = true;
    setPlainText(text);
    m_lastText = toPlainText();
    m_nPendingFirst = m_nPendingLast = -1;
    m_bSetting = false;
    ColourAll();
}

void CSyntaxEdit::OnContentsChange(int position, int removed, int added)
{
    if (m_bBusy || m_bSetting)
        return;
    // The highlighter marks blocks as changed without changing their text.
    const QString now = toPlainText();
    if (now == m_lastText)
        return;
    m_lastText = now;
    (void)removed;
    const bool queued = m_nPendingFirst >= 0;
    m_nPendingFirst = queued ? std::min(m_nPendingFirst, position) : position;
    m_nPendingLast = queued ? std::max(m_nPendingLast, position + added) : position + added;
    // The document is changed again only once this edit is over.
    if (!queued)
        QMetaObject::invokeMethod(this, &CSyntaxEdit::CorrectPending, Qt::QueuedConnection);
    emit textEdited(m_nControlId);
}

void CSyntaxEdit::CorrectPending()
{
    if (m_nPendingFirst < 0)
        return;
    const int first = m_nPendingFirst, last = m_nPendingLast;
    m_nPendingFirst = m_nPendingLast = -1;
    ColourLines(first, last);
    m_lastText = toPlainText();
}

void CSyntaxEdit::SelectRange(int start, int end)
{
    const int length = int(toPlainText().size());
    QTextCursor cursor(document());
    cursor.setPosition(std::clamp(start, 0, length));
    cursor.setPosition(std::clamp(end, 0, length), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void CSyntaxEdit::SelectSourceRange(int start, int end)
{
    const std::string source = GetSourceText();
    SelectRange(SourceOffsetToEditor(source, start), SourceOffsetToEditor(source, end));
}

void CSyntaxEdit::ReplaceSelection(const QString& text) { textCursor().insertText(text); }

void CSyntaxEdit::InsertName(const QString& name)
{
    ReplaceSelection(name);
    QTextCursor cursor = textCursor();
    cursor.clearSelection();
    setTextCursor(cursor);
    setFocus();
}

void CSyntaxEdit::insertFromMimeData(const QMimeData* source)
{
    // Pasted text takes the editor's own plain formatting.
    if (source && source->hasText())
        textCursor().insertText(source->text());
}

bool CSyntaxEdit::canInsertFromMimeData(const QMimeData* source) const { return source && source->hasText(); }

void CSyntaxEdit::keyPressEvent(QKeyEvent* event)
{
    // Tab is a character of the text; Ctrl+Tab leaves the editor.
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::NoModifier) {
        textCursor().insertText(QStringLiteral("\t"));
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

const std::vector<SInsertCommand>& CSyntaxEdit::GetInsertCommands() const
{
    static const std::vector<SInsertCommand> none;
    return none;
}

bool CSyntaxEdit::OnCmdMsg(UINT id, CCmdUI* ui)
{
    const bool selection = textCursor().hasSelection();
    switch (id) {
    case ID_EDIT_CLEAR:
    case ID_EDIT_COPY:
    case ID_EDIT_CUT:
        if (ui)
            ui->Enable(selection && (id == ID_EDIT_COPY || !isReadOnly()));
        else if (selection && id == ID_EDIT_COPY)
            copy();
        else if (selection && id == ID_EDIT_CUT && !isReadOnly())
            cut();
        else if (selection && !isReadOnly())
            textCursor().removeSelectedText();
        return true;
    case ID_EDIT_PASTE:
        if (ui)
            ui->Enable(canPaste() && !isReadOnly());
        else if (!isReadOnly())
            paste();
        return true;
    case ID_EDIT_SELECT_ALL:
        if (ui)
            ui->Enable(true);
        else
            selectAll();
        return true;
    case ID_EDIT_UNDO:
        if (ui)
            ui->Enable(false);
        return true;
    default: break;
    }
    for (const SInsertCommand& command : GetInsertCommands()) {
        if (command.id != id)
            continue;
        if (ui)
            ui->Enable(!isReadOnly());
        else if (!isReadOnly())
            ReplaceSelection(QString::fromUtf8(command.inserted));
        return true;
    }
    return false;
}

QMenu* CSyntaxEdit::CreateContextMenu()
{
    auto* menu = new QMenu(this);
    auto add = [this](QMenu* into, const QString& text, UINT id) {
        QAction* action = into->addAction(text);
        action->setData(id);
        CCmdUI ui(id);
        OnCmdMsg(id, &ui);
        action->setEnabled(ui.m_enabled.value_or(false));
        connect(action, &QAction::triggered, this, [this, id] { OnCmdMsg(id, nullptr); });
    };
    add(menu, tr("Cu&t"), ID_EDIT_CUT);
    add(menu, tr("&Copy"), ID_EDIT_COPY);
    add(menu, tr("&Paste"), ID_EDIT_PASTE);
    add(menu, tr("Select &All"), ID_EDIT_SELECT_ALL);
    const std::vector<SInsertCommand>& commands = GetInsertCommands();
    if (!commands.empty())
        menu->addSeparator();
    std::map<std::string, QMenu*> popups;
    std::map<std::string, std::size_t> counts;
    for (const SInsertCommand& c : commands) {
        QMenu*& popup = popups[c.popup];
        if (!popup)
            popup = menu->addMenu(QString::fromUtf8(c.popup));
        // The words a class adds stand after a separator in their popup.
        const bool own = &c - commands.data() >= std::ptrdiff_t(EquationInserts().size());
        if (own && counts[c.popup]++ == 0 && !popup->isEmpty())
            popup->addSeparator();
        add(popup, QString::fromUtf8(c.menuText), c.id);
    }
    return menu;
}

void CSyntaxEdit::contextMenuEvent(QContextMenuEvent* event)
{
    std::unique_ptr<QMenu> menu(CreateContextMenu());
    menu->exec(event->globalPos());
}

// ---------------------------------------------------------------- the equation editors

CEqnSyntaxEdit::CEqnSyntaxEdit(QWidget* parent) : CSyntaxEdit(parent)
{
    SSyntaxRules& rules = GetRules();
    rules.caseSensitive = false;
    rules.quotes = QStringLiteral("\"");
    rules.comment1 = u'\'';
    rules.comment2 = QChar(0);
    CEqnSyntaxEdit::SetDefaultKeywords();
}

const char* CEqnSyntaxEdit::EquationKeywords() { return kEquationKeywords; }

void CEqnSyntaxEdit::SetDefaultKeywords() { SetKeywords(kEquationKeywords); }

const std::vector<SInsertCommand>& CEqnSyntaxEdit::GetInsertCommands() const { return EquationInserts(); }

CColumnSyntaxEdit::CColumnSyntaxEdit(QWidget* parent) : CEqnSyntaxEdit(parent)
{
    ResetWords();
}

void CColumnSyntaxEdit::SetDefaultKeywords()
{
    CEqnSyntaxEdit::SetDefaultKeywords();
    SetKeywords(" Column Row Data ValidData SetBlank Result ");
}

const std::vector<SInsertCommand>& CColumnSyntaxEdit::GetInsertCommands() const
{
    static const std::vector<SInsertCommand> commands = Extended({
        {33319, "Constant", "Column", "Column"}, {33320, "Constant", "Row", "Row"},
        {33321, "Function", "Data", "Data("}, {33322, "Function", "ValidData", "ValidData("},
        {33325, "Keyword", "Result", "Result = "}, {33324, "Keyword", "SetBlank", "SetBlank"},
    });
    return commands;
}

CTransDataSyntaxEdit::CTransDataSyntaxEdit(QWidget* parent) : CEqnSyntaxEdit(parent)
{
    ResetWords();
}

void CTransDataSyntaxEdit::SetDefaultKeywords()
{
    CEqnSyntaxEdit::SetDefaultKeywords();
    SetKeywords(" XData XData2 XData3 XData4 XData5 YData YCalc ");
}

const std::vector<SInsertCommand>& CTransDataSyntaxEdit::GetInsertCommands() const
{
    static const std::vector<SInsertCommand> commands = Extended({
        {33326, "Constant", "XData", "XData"}, {33327, "Constant", "XData2", "XData2"},
        {33330, "Constant", "XData3", "XData3"}, {33331, "Constant", "XData4", "XData4"},
        {33332, "Constant", "XData5", "XData5"}, {33328, "Constant", "YData", "YData"},
        {33329, "Constant", "YCalc", "YCalc"},
    });
    return commands;
}

CTransCurveSyntaxEdit::CTransCurveSyntaxEdit(QWidget* parent) : CEqnSyntaxEdit(parent)
{
    ResetWords();
}

void CTransCurveSyntaxEdit::SetDefaultKeywords()
{
    CEqnSyntaxEdit::SetDefaultKeywords();
    SetKeywords(" XData2 XData3 XData4 XData5 ");
}

const std::vector<SInsertCommand>& CTransCurveSyntaxEdit::GetInsertCommands() const
{
    static const std::vector<SInsertCommand> commands = Extended({
        {33327, "Constant", "XData2", "XData2"}, {33330, "Constant", "XData3", "XData3"},
        {33331, "Constant", "XData4", "XData4"}, {33332, "Constant", "XData5", "XData5"},
    });
    return commands;
}
