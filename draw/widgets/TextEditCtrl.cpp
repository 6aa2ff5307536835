#include "draw/widgets/TextEditCtrl.h"

#include "draw/DrawData.h"
#include "draw/DrawTextBase.h"
#include "draw/FormatMerge.h"
#include "draw/widgets/DrawCommands.h"
#include "draw/widgets/DrawView.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/widgets/CommandIds.h"
#include "ui/widgets/RichTextDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>

#include <cmath>

namespace {
// Pixels of the text to page units at 96 pixels an inch.
constexpr double kUnitsPerPixel = 720.0 / 96.0;
}

CTextEditCtrl::CTextEditCtrl(CDrawTextBase* obj, CDrawView* view, QWidget* parent)
    : QTextEdit(parent)
    , m_pObject(obj)
    , m_pView(view)
{
    setObjectName("InPlaceTextEditor");
    setFrameStyle(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAcceptRichText(true);
    document()->setDocumentMargin(2);
    if (CDrawData* page = obj ? obj->GetPage() : nullptr) {
        QPalette p = palette();
        const COLORREF c = page->m_crPaper;
        p.setColor(QPalette::Base, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
        setPalette(p);
    }
    connect(this, &QTextEdit::cursorPositionChanged, this, [this] {
        if (m_pObject)
            m_pObject->OnSelectionChanged();
    });
    connect(this, &QTextEdit::selectionChanged, this, [this] {
        if (m_pObject)
            m_pObject->OnSelectionChanged();
    });
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            [this] { RequestResize(); });
}

CTextEditCtrl::~CTextEditCtrl() = default;

void CTextEditCtrl::SetVisible(bool visible)
{
    m_bShown = visible;
    SetPageRect(m_pageRect);
    setVisible(true);
}

void CTextEditCtrl::SetPageRect(const RECT& rect)
{
    m_pageRect = rect;
    if (!m_pView)
        return;
    QRect r = m_pView->DocToClient(rect).adjusted(1, 1, -1, -1);
    if (!m_bShown)
        r.moveLeft(-30000); // hidden: out of sight, still laying text out
    setGeometry(r);
}

void CTextEditCtrl::RequestResize()
{
    if (!m_pObject || !m_pView || !m_bShown)
        return;
    const double heightPixels = document()->size().height();
    const int height = int(std::ceil(heightPixels * kUnitsPerPixel * 100.0 / std::max(1, m_pView->GetZoomUnits())));
    const RECT n = NormalizedRect(m_pObject->GetPosition());
    if (height > n.bottom - n.top)
        m_pObject->OnRequestResize(height, m_pView);
}

CHARFORMAT CTextEditCtrl::SelectionCharFormat() const
{
    const QTextCursor cursor = textCursor();
    const QFont font = document()->defaultFont();
    if (!cursor.hasSelection())
        return CharFormatFromQt(cursor.charFormat(), font);
    CHARFORMAT merged;
    bool any = false;
    const int start = cursor.selectionStart(), end = cursor.selectionEnd();
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() <= end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || fragment.position() + fragment.length() <= start || fragment.position() >= end)
                continue;
            const CHARFORMAT f = CharFormatFromQt(fragment.charFormat(), font);
            if (!any)
                merged = f;
            else
                IntersectCharFormat(merged, f);
            any = true;
        }
    }
    return any ? merged : CharFormatFromQt(cursor.charFormat(), font);
}

void CTextEditCtrl::GetSelectionCharFormat(CHARFORMAT& format) { format = SelectionCharFormat(); }

void CTextEditCtrl::SetSelectionCharFormat(const CHARFORMAT& format)
{
    QTextCursor cursor = textCursor();
    cursor.mergeCharFormat(CharFormatToQt(format));
    mergeCurrentCharFormat(CharFormatToQt(format));
}

void CTextEditCtrl::GetSelectionParaFormat(PARAFORMAT& format)
{
    const QTextCursor cursor = textCursor();
    format = ParaFormatFromQt(cursor.blockFormat(), cursor.currentList() != nullptr);
}

void CTextEditCtrl::SetSelectionParaFormat(const PARAFORMAT& format)
{
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.mergeBlockFormat(ParaFormatToQt(format));
    if (format.dwMask & PFM_NUMBERING) {
        if (format.wNumbering == PFN_BULLET && !cursor.currentList()) {
            QTextListFormat list;
            list.setStyle(QTextListFormat::ListDisc);
            list.setIndent(0);
            cursor.createList(list);
        } else if (format.wNumbering != PFN_BULLET) {
            if (QTextList* list = cursor.currentList())
                list->remove(cursor.block());
        }
    }
    cursor.endEditBlock();
}

void CTextEditCtrl::ReplaceSelection(const std::string& utf8)
{
    insertPlainText(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
}

void CTextEditCtrl::ToggleEffect(DWORD mask, DWORD effect)
{
    const CHARFORMAT current = SelectionCharFormat();
    CHARFORMAT f;
    f.dwMask = mask;
    // An attribute that is determined and set is cleared; otherwise it is set.
    f.dwEffects = ((current.dwMask & mask) && (current.dwEffects & effect)) ? 0 : effect;
    if (m_pObject)
        m_pObject->SetCharFormat(m_pView, f);
}

void CTextEditCtrl::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        if (m_pView)
            m_pView->EndTextEditing();
        return;
    }
    if (event->key() == Qt::Key_Space && (event->modifiers() & Qt::ControlModifier)) {
        OnCmdMsg(ID_TEXT_PLAIN, nullptr);
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void CTextEditCtrl::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    auto add = [&](UINT id, const QString& text) {
        QAction* action = menu.addAction(text);
        CCmdUI ui(id);
        OnCmdMsg(id, &ui);
        action->setEnabled(ui.m_enabled.value_or(false));
        connect(action, &QAction::triggered, this, [this, id] { OnCmdMsg(id, nullptr); });
    };
    add(ID_EDIT_UNDO, tr("&Undo"));
    menu.addSeparator();
    add(ID_EDIT_CUT, tr("Cu&t"));
    add(ID_EDIT_COPY, tr("&Copy"));
    add(ID_EDIT_PASTE, tr("&Paste"));
    add(ID_EDIT_CLEAR, tr("&Delete"));
    menu.addSeparator();
    add(ID_EDIT_SELECT_ALL, tr("Select &All"));
    menu.exec(event->globalPos());
}

bool CTextEditCtrl::OnCmdMsg(UINT id, CCmdUI* ui)
{
    CDrawView* view = m_pView.data();
    auto enable = [&](bool on) {
        if (ui)
            ui->Enable(on);
        return true;
    };
    if (id >= ID_COLOR_FIRST && id <= ID_COLOR_LAST) {
        const COLORREF colour = kDrawPalette[id - ID_COLOR_FIRST];
        if (ui) {
            ui->Enable();
            COLORREF current = 0;
            ui->SetRadio(m_pObject && m_pObject->GetTextColor(current) && current == colour);
            return true;
        }
        if (m_pObject) {
            m_pObject->SetTextColor(colour, true);
            if (CDrawData* page = m_pObject->GetPage())
                page->SetModified(true);
        }
        return true;
    }
    switch (id) {
    case ID_EDIT_CLEAR:
        if (ui)
            return enable(true);
        {
            QTextCursor cursor = textCursor();
            if (!cursor.hasSelection())
                cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            setTextCursor(cursor);
        }
        return true;
    case ID_EDIT_COPY:
        if (ui)
            return enable(textCursor().hasSelection());
        copy();
        return true;
    case ID_EDIT_CUT:
        if (ui)
            return enable(textCursor().hasSelection());
        cut();
        return true;
    case ID_EDIT_PASTE:
        if (ui)
            return enable(canPaste());
        paste();
        return true;
    case ID_EDIT_SELECT_ALL:
        if (ui)
            return enable(true);
        selectAll();
        return true;
    case ID_EDIT_UNDO:
        if (ui) {
            ui->Enable(document()->isUndoAvailable());
            ui->SetText(LoadString(25172));
            return true;
        }
        undo();
        return true;
    case ID_CANCEL_EDIT:
        if (ui)
            return enable(true);
        if (view)
            view->EndTextEditing();
        return true;
    case ID_TEXT_PLAIN:
        if (ui)
            return enable(true);
        ToggleEffect(CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT, 0);
        return true;
    case ID_FORMAT_BOLD:
    case ID_FORMAT_ITALIC:
    case ID_FORMAT_UNDERLINE: {
        const DWORD bit = id == ID_FORMAT_BOLD ? CFE_BOLD : id == ID_FORMAT_ITALIC ? CFE_ITALIC : CFE_UNDERLINE;
        if (ui) {
            const CHARFORMAT f = SelectionCharFormat();
            ui->Enable();
            ui->SetCheck((f.dwMask & bit) && (f.dwEffects & bit));
            return true;
        }
        ToggleEffect(bit, bit);
        return true;
    }
    case ID_FORMAT_ALIGN_LEFT:
    case ID_FORMAT_ALIGN_RIGHT:
    case ID_FORMAT_ALIGN_CENTER: {
        if (ui) {
            PARAFORMAT f;
            GetSelectionParaFormat(f);
            const WORD a = id == ID_FORMAT_ALIGN_LEFT ? 1 : id == ID_FORMAT_ALIGN_RIGHT ? 2 : 3;
            ui->Enable();
            ui->SetRadio((f.dwMask & PFM_ALIGNMENT) && f.wAlignment == a);
            return true;
        }
        PARAFORMAT f;
        f.dwMask = PFM_ALIGNMENT;
        f.wAlignment = id == ID_FORMAT_ALIGN_LEFT ? 1 : id == ID_FORMAT_ALIGN_RIGHT ? 2 : 3;
        if (m_pObject)
            m_pObject->SetParaFormat(view, f);
        return true;
    }
    case ID_FORMAT_BULLETS: {
        PARAFORMAT f;
        GetSelectionParaFormat(f);
        const bool has = f.wNumbering == PFN_BULLET;
        if (ui) {
            ui->Enable();
            ui->SetCheck(has);
            return true;
        }
        PARAFORMAT b;
        b.dwMask = PFM_NUMBERING | PFM_OFFSET | PFM_STARTINDENT;
        b.wNumbering = has ? 0 : PFN_BULLET;
        b.dxOffset = has ? 0 : 360;
        if (m_pObject)
            m_pObject->SetParaFormat(view, b);
        return true;
    }
    case ID_FORMAT_SET_FACE:
    case ID_FORMAT_SET_SIZE:
        return enable(true);
    case ID_OBJECT_TEXT_COLOR:
    case ID_COLOR_CUSTOM:
        if (ui)
            return enable(true);
        if (m_pObject) {
            COLORREF current = 0;
            m_pObject->GetTextColor(current);
            COLORREF chosen = 0;
            if (CDrawView::ChooseColour(this, current == kMixedColour ? 0 : current, chosen))
                m_pObject->SetTextColor(chosen, true);
        }
        return true;
    case ID_OBJECT_PROPERTIES:
        if (ui)
            return enable(true);
        if (view && m_pObject)
            m_pObject->OnEditProperties(view);
        return true;
    case ID_VIEW_ZOOM:
        return enable(false);
    case ID_COLOR_TARGET_TEXT:
        if (ui) {
            ui->Enable();
            ui->SetRadio(true);
        }
        return true;
    case ID_COLOR_TARGET_FILL:
    case ID_COLOR_ON_OFF:
    case ID_DRAW_LINE:
        if (ui) {
            ui->Enable(false);
            ui->SetCheck(false);
        }
        return true;
    default: return false;
    }
}
