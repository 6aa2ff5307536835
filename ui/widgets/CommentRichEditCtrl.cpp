#include "ui/widgets/CommentRichEditCtrl.h"

#include "platform/widgets/CommandIds.h"
#include "ui/RichData.h"
#include "ui/widgets/RichTextDocument.h"
#include "ui/widgets/TextDocumentEditor.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFont>
#include <QFontDialog>
#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

struct ColourCommand {
    UINT id;
    COLORREF colour;
};
// The palette of the colour commands, as 0x00BBGGRR values.
constexpr ColourCommand kColours[] = {
    {33045, 0x000000}, {33034, 0x0000FF}, {33030, 0xFF0000}, {33031, 0xFFFF00}, {33032, 0x00FF00},
    {33033, 0x00FFFF}, {33035, 0xFF00FF}, {33036, 0x800000}, {33037, 0x808000}, {33038, 0x008000},
    {33039, 0x008080}, {33040, 0x000080}, {33041, 0x800080}, {33042, 0xFFFFFF}, {33043, 0xC0C0C0},
    {33044, 0x808080}, {33046, 0xF2F2F2}, {33047, 0xE5E5E5}, {33048, 0xD8D8D8}, {33049, 0xCCCCCC},
    {33050, 0xBFBFBF}, {33051, 0xB2B2B2}, {33052, 0xA5A5A5}, {33053, 0x999999}, {33054, 0x8C8C8C},
    {33055, 0x7F7F7F}, {33056, 0x666666}, {33057, 0x4C4C4C}, {33058, 0x333333}, {33059, 0x191919},
};

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

bool HasEffect(const QTextCharFormat& f, DWORD effect)
{
    switch (effect) {
    case CFE_BOLD: return f.fontWeight() >= QFont::Bold;
    case CFE_ITALIC: return f.fontItalic();
    case CFE_UNDERLINE: return f.fontUnderline();
    case CFE_STRIKEOUT: return f.fontStrikeOut();
    }
    return false;
}

void SetEffect(QTextCharFormat& f, DWORD effect, bool on)
{
    switch (effect) {
    case CFE_BOLD: f.setFontWeight(on ? QFont::Bold : QFont::Normal); break;
    case CFE_ITALIC: f.setFontItalic(on); break;
    case CFE_UNDERLINE: f.setFontUnderline(on); break;
    case CFE_STRIKEOUT: f.setFontStrikeOut(on); break;
    }
}

} // namespace

std::vector<int> PaginateUnits(const std::vector<double>& heights, double pageHeight)
{
    std::vector<int> starts{0};
    double used = 0;
    for (std::size_t i = 0; i < heights.size(); ++i) {
        double h = heights[i];
        if (used > 0 && used + h > pageHeight) {
            starts.push_back(int(i));
            used = 0;
        }
        used += h;
        // A unit taller than the page fills its page alone; the next unit starts a new one.
        if (h > pageHeight && i + 1 < heights.size()) {
            starts.push_back(int(i + 1));
            used = 0;
        }
    }
    return starts;
}

void InstallFontSubstitutes()
{
    QFont::insertSubstitution("Times New Roman", "Liberation Serif");
    QFont::insertSubstitution("Arial", "Liberation Sans");
    QFont::insertSubstitution("Courier New", "Liberation Mono");
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
}

CCommentRichEditCtrl::CCommentRichEditCtrl(QWidget* parent) : QTextEdit(parent)
{
    setAcceptRichText(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setViewportMargins(4, 4, 4, 4);
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (document()->isModified())
            emit textModified();
    });
}

CCommentRichEditCtrl::~CCommentRichEditCtrl() { DetachData(); }

void CCommentRichEditCtrl::AttachData(CRichData* data, const CHARFORMAT* charFormat)
{
    DetachData();
    m_pData = data;
    if (!data)
        return;
    const bool blocked = document()->blockSignals(true);
    AttachTextDocument(*data, document(), charFormat);
    document()->blockSignals(blocked);
    moveCursor(QTextCursor::End);
    document()->setModified(false);
}

void CCommentRichEditCtrl::DetachData()
{
    if (m_pData) {
        // The data may already have been given another editor's document.
        if (AttachedTextDocument(*m_pData) == document())
            m_pData->Detach();
        m_pData = nullptr;
    }
}

void CCommentRichEditCtrl::SetWordWrap(int mode)
{
    m_wordWrap = mode;
    switch (mode) {
    case NoWrap: setLineWrapMode(QTextEdit::NoWrap); break;
    case WrapToPage:
        setLineWrapMode(QTextEdit::FixedPixelWidth);
        setLineWrapColumnOrWidth(int(std::lround(m_pageWidth / 1440.0 * logicalDpiX())));
        break;
    default: setLineWrapMode(QTextEdit::WidgetWidth); break;
    }
}

int CCommentRichEditCtrl::SelectionEffect(DWORD effect) const
{
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return HasEffect(cursor.charFormat(), effect) ? 1 : 0;
    bool any = false, all = true;
    const int start = cursor.selectionStart(), end = cursor.selectionEnd();
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
                continue;
            bool has = HasEffect(fragment.charFormat(), effect);
            any |= has;
            all &= has;
        }
    }
    return all && any ? 1 : any ? -1 : 0;
}

void CCommentRichEditCtrl::ToggleEffect(DWORD effect)
{
    int state = SelectionEffect(effect);
    QTextCharFormat format;
    // A mixed selection gets the effect everywhere; a uniform one flips it.
    SetEffect(format, effect, state != 1);
    QTextCursor cursor = textCursor();
    cursor.mergeCharFormat(format);
    mergeCurrentCharFormat(format);
}

void CCommentRichEditCtrl::SetAlignment(WORD alignment)
{
    Qt::Alignment a = alignment == PFA_CENTER ? Qt::AlignHCenter : alignment == PFA_RIGHT ? Qt::AlignRight : Qt::AlignLeft;
    setAlignment(a | Qt::AlignAbsolute);
}

void CCommentRichEditCtrl::ToggleBullets()
{
    QTextCursor cursor = textCursor();
    if (QTextList* list = cursor.currentList()) {
        for (int i = list->count() - 1; i >= 0; --i)
            list->remove(list->item(i));
        QTextBlockFormat block = cursor.blockFormat();
        block.setIndent(0);
        cursor.setBlockFormat(block);
        return;
    }
    QTextListFormat format;
    format.setStyle(QTextListFormat::ListDisc);
    cursor.createList(format);
}

void CCommentRichEditCtrl::SetTextColour(COLORREF colour)
{
    QTextCharFormat format;
    format.setForeground(ToQColor(colour));
    textCursor().mergeCharFormat(format);
    mergeCurrentCharFormat(format);
}

void CCommentRichEditCtrl::PlainFormat()
{
    QTextCharFormat format;
    format.setFontWeight(QFont::Normal);
    format.setFontItalic(false);
    format.setFontUnderline(false);
    format.setFontStrikeOut(false);
    QTextCursor cursor = textCursor();
    cursor.mergeCharFormat(format);
    // Back to the automatic colour: the format carries no colour of its own.
    cursor.beginEditBlock();
    if (cursor.hasSelection()) {
        QTextCharFormat clear;
        clear.clearForeground();
        cursor.mergeCharFormat(clear);
    }
    if (cursor.currentList())
        ToggleBullets();
    cursor.endEditBlock();
    mergeCurrentCharFormat(format);
}

namespace {

CCommentRichEditCtrl::ColourChooser& ColourSeam()
{
    static CCommentRichEditCtrl::ColourChooser chooser;
    return chooser;
}

CCommentRichEditCtrl::FontChooser& FontSeam()
{
    static CCommentRichEditCtrl::FontChooser chooser;
    return chooser;
}

// The character formats of the selected text, fragment by fragment (the
// format at the caret when nothing is selected).
std::vector<QTextCharFormat> SelectedFormats(const QTextEdit& edit)
{
    const QTextCursor cursor = edit.textCursor();
    if (!cursor.hasSelection())
        return {cursor.charFormat()};
    std::vector<QTextCharFormat> formats;
    const int start = cursor.selectionStart(), end = cursor.selectionEnd();
    for (QTextBlock block = edit.document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() > start && fragment.position() < end)
                formats.push_back(fragment.charFormat());
        }
    }
    if (formats.empty())
        formats.push_back(cursor.charFormat());
    return formats;
}

} // namespace

void CCommentRichEditCtrl::SetColourChooser(ColourChooser chooser) { ColourSeam() = std::move(chooser); }
void CCommentRichEditCtrl::SetFontChooser(FontChooser chooser) { FontSeam() = std::move(chooser); }

bool CCommentRichEditCtrl::GetViewCharFormat(CHARFORMAT& format)
{
    const std::vector<QTextCharFormat> formats = SelectedFormats(*this);
    std::vector<CHARFORMAT> records;
    records.reserve(formats.size());
    for (const QTextCharFormat& f : formats)
        records.push_back(CharFormatFromQt(f, document()->defaultFont()));
    format = records.front();
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_COLOR | CFM_CHARSET | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    for (const CHARFORMAT& r : records) {
        if (std::strncmp(r.szFaceName, format.szFaceName, LF_FACESIZE) != 0)
            format.dwMask &= ~DWORD(CFM_FACE | CFM_CHARSET);
        if (r.yHeight != format.yHeight)
            format.dwMask &= ~DWORD(CFM_SIZE);
        if (r.crTextColor != format.crTextColor || (r.dwEffects & CFE_AUTOCOLOR) != (format.dwEffects & CFE_AUTOCOLOR))
            format.dwMask &= ~DWORD(CFM_COLOR);
        for (DWORD effect : {DWORD(CFE_BOLD), DWORD(CFE_ITALIC), DWORD(CFE_UNDERLINE), DWORD(CFE_STRIKEOUT)})
            if ((r.dwEffects & effect) != (format.dwEffects & effect))
                format.dwMask &= ~effect; // the effect bits and their mask bits agree
    }
    return true;
}

void CCommentRichEditCtrl::SetViewCharFormat(const CHARFORMAT& format)
{
    const QTextCharFormat qt = CharFormatToQt(format);
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.mergeCharFormat(qt);
    if ((format.dwMask & CFM_COLOR) && (format.dwEffects & CFE_AUTOCOLOR) && cursor.hasSelection()) {
        QTextCharFormat clear;
        clear.clearForeground();
        cursor.mergeCharFormat(clear);
    }
    cursor.endEditBlock();
    mergeCurrentCharFormat(qt);
}

void CCommentRichEditCtrl::ChooseFont()
{
    CHARFORMAT format;
    GetViewCharFormat(format);
    bool chosen = false;
    if (FontSeam()) {
        chosen = FontSeam()(this, format);
    } else {
        QFont initial = document()->defaultFont();
        const QTextCharFormat current = CharFormatToQt(format);
        initial = current.font().resolve(initial);
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, this);
        if (ok) {
            QTextCharFormat picked;
            picked.setFont(font);
            const DWORD colour = format.dwEffects & CFE_AUTOCOLOR;
            const COLORREF textColour = format.crTextColor;
            format = CharFormatFromQt(picked, font);
            format.dwEffects = (format.dwEffects & ~DWORD(CFE_AUTOCOLOR)) | colour;
            format.crTextColor = textColour;
            chosen = true;
        }
    }
    if (!chosen)
        return;
    // Face, character set, effects and size; the colour stays as it is.
    format.dwMask = CFM_FACE | CFM_CHARSET | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    SetViewCharFormat(format);
}

void CCommentRichEditCtrl::ChooseTextColour()
{
    CHARFORMAT format;
    GetViewCharFormat(format);
    const COLORREF initial = (format.dwEffects & CFE_AUTOCOLOR) || !(format.dwMask & CFM_COLOR)
        ? COLORREF(RGB(palette().color(QPalette::Text).red(), palette().color(QPalette::Text).green(),
                       palette().color(QPalette::Text).blue()))
        : format.crTextColor;
    COLORREF chosen = initial;
    if (ColourSeam()) {
        if (!ColourSeam()(this, initial, chosen))
            return;
    } else {
        const QColor colour = QColorDialog::getColor(ToQColor(initial), this);
        if (!colour.isValid())
            return;
        chosen = RGB(colour.red(), colour.green(), colour.blue());
    }
    SetTextColour(chosen);
}

bool CCommentRichEditCtrl::OnCmdMsg(UINT id, CCmdUI* ui)
{
    const bool selection = textCursor().hasSelection();
    auto canPaste = [this] {
        const QMimeData* data = QApplication::clipboard() ? QApplication::clipboard()->mimeData() : nullptr;
        return data && canInsertFromMimeData(data);
    };
    switch (id) {
    case ID_EDIT_CUT:
        if (ui) ui->Enable(selection && !isReadOnly()); else cut();
        return true;
    case ID_EDIT_COPY:
        if (ui) ui->Enable(selection); else copy();
        return true;
    case ID_EDIT_CLEAR:
        if (ui) ui->Enable(selection && !isReadOnly()); else textCursor().removeSelectedText();
        return true;
    case ID_EDIT_PASTE:
        if (ui) ui->Enable(!isReadOnly() && canPaste()); else paste();
        return true;
    case ID_EDIT_SELECT_ALL:
        if (ui) ui->Enable(); else selectAll();
        return true;
    case ID_EDIT_UNDO:
        if (ui) {
            ui->Enable(document()->isUndoAvailable());
            ui->SetText("&Undo\tCtrl+Z");
        } else {
            undo();
        }
        return true;
    case ID_EDIT_REDO:
        if (ui) {
            ui->Enable(document()->isRedoAvailable());
            ui->SetText("&Redo\tCtrl+Y");
        } else {
            redo();
        }
        return true;
    case ID_FORMAT_BOLD:
    case ID_FORMAT_ITALIC:
    case ID_FORMAT_UNDERLINE: {
        DWORD effect = id == ID_FORMAT_BOLD ? CFE_BOLD : id == ID_FORMAT_ITALIC ? CFE_ITALIC : CFE_UNDERLINE;
        if (ui) {
            ui->Enable();
            ui->SetCheck(SelectionEffect(effect) == 1);
        } else {
            ToggleEffect(effect);
        }
        return true;
    }
    case ID_FORMAT_ALIGN_LEFT:
    case ID_FORMAT_ALIGN_CENTER:
    case ID_FORMAT_ALIGN_RIGHT: {
        WORD a = id == ID_FORMAT_ALIGN_LEFT ? PFA_LEFT : id == ID_FORMAT_ALIGN_CENTER ? PFA_CENTER : PFA_RIGHT;
        if (ui) {
            Qt::Alignment current = alignment() & Qt::AlignHorizontal_Mask;
            Qt::Alignment want = a == PFA_CENTER ? Qt::AlignHCenter : a == PFA_RIGHT ? Qt::AlignRight : Qt::AlignLeft;
            ui->Enable();
            ui->SetCheck((current & want) != 0);
        } else {
            SetAlignment(a);
        }
        return true;
    }
    case ID_FORMAT_BULLETS:
        if (ui) {
            ui->Enable();
            ui->SetCheck(textCursor().currentList() != nullptr);
        } else {
            ToggleBullets();
        }
        return true;
    case ID_FORMAT_PLAIN:
        if (ui) ui->Enable(); else PlainFormat();
        return true;
    case ID_FORMAT_FONT:
        if (ui) ui->Enable(!isReadOnly()); else ChooseFont();
        return true;
    case ID_FORMAT_TEXT_COLOR:
    case ID_FORMAT_CUSTOM_COLOR:
        if (ui) ui->Enable(!isReadOnly()); else ChooseTextColour();
        return true;
    default: break;
    }
    for (const ColourCommand& c : kColours) {
        if (c.id != id)
            continue;
        if (ui) {
            ui->Enable();
            QTextCharFormat f = textCursor().charFormat();
            ui->SetCheck(f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().color() == ToQColor(c.colour));
        } else {
            SetTextColour(c.colour);
        }
        return true;
    }
    return false;
}

namespace {

// A copy of the text laid out at the width it is printed at.
std::unique_ptr<QTextDocument> LayoutCopy(const QTextDocument& source, QSizeF textSize)
{
    std::unique_ptr<QTextDocument> copy(source.clone());
    copy->setDocumentMargin(0);
    copy->setPageSize(QSizeF(textSize.width(), 1e9));
    copy->setTextWidth(textSize.width());
    copy->documentLayout(); // forces layout
    return copy;
}

struct Line {
    int position; // first character
    double top;
    double height;
};

std::vector<Line> Lines(QTextDocument& doc)
{
    std::vector<Line> lines;
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QRectF blockRect = layout->blockBoundingRect(block);
        QTextLayout* textLayout = block.layout();
        for (int i = 0; textLayout && i < textLayout->lineCount(); ++i) {
            QTextLine line = textLayout->lineAt(i);
            lines.push_back({block.position() + line.textStart(), blockRect.top() + line.y(), line.height()});
        }
    }
    return lines;
}

} // namespace

std::vector<int> CCommentRichEditCtrl::PageStarts(QSizeF textSize) const
{
    auto doc = LayoutCopy(*document(), textSize);
    std::vector<Line> lines = Lines(*doc);
    std::vector<double> heights;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // A line's share includes the spacing up to the next one.
        double next = i + 1 < lines.size() ? lines[i + 1].top : lines[i].top + lines[i].height;
        heights.push_back(std::max(next - lines[i].top, lines[i].height));
    }
    std::vector<int> units = PaginateUnits(heights, textSize.height());
    std::vector<int> starts;
    for (int u : units)
        starts.push_back(lines.empty() ? 0 : lines[std::size_t(u)].position);
    return starts;
}

void CCommentRichEditCtrl::DrawPage(QPainter& painter, const QRectF& textRect, const std::vector<int>& starts,
                                    int page) const
{
    if (page < 0 || std::size_t(page) >= starts.size())
        return;
    auto doc = LayoutCopy(*document(), textRect.size());
    std::vector<Line> lines = Lines(*doc);
    double top = 0, bottom = 1e18;
    for (const Line& line : lines) {
        if (line.position == starts[std::size_t(page)])
            top = line.top;
        if (std::size_t(page) + 1 < starts.size() && line.position == starts[std::size_t(page) + 1])
            bottom = line.top;
    }
    painter.save();
    painter.setClipRect(textRect);
    painter.translate(textRect.left(), textRect.top() - top);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(0, top, textRect.width(), std::min(bottom - top, textRect.height()));
    painter.setClipRect(context.clip, Qt::IntersectClip);
    doc->documentLayout()->draw(&painter, context);
    painter.restore();
}
