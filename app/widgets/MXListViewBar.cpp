#include "app/widgets/MXListViewBar.h"

#include "framework/widgets/ImageListImages.h"

#include "app/MXDoc.h"
#include "app/MXProjectItem.h"
#include "app/ProjectAction.h"
#include "platform/StringIds.h"
#include "platform/widgets/CommandIds.h"
#include "framework/widgets/ProjectFrameMDIMain.h"
#include "platform/StringTable.h"
#include "ui/widgets/CommandImages.h"

#include <QLineEdit>
#include <QMenu>
#include <QPainter>

CMXListViewBar::CMXListViewBar(QWidget* parent) : CListViewBar(parent) {}

CMXDoc* CMXListViewBar::GetMXDoc() const { return dynamic_cast<CMXDoc*>(m_pDocument); }

void CMXListViewBar::RenameItem(CProjectItemBase* item, const std::string&, const std::string& newName)
{
    if (CMXDoc* doc = GetMXDoc())
        doc->GetActionList().Add(new CProjectItemRename(doc, item, newName));
}

void CMXListViewBar::DeleteSelectedItems()
{
    if (CMXDoc* doc = GetMXDoc())
        doc->GetActionList().Add(new CProjectItemDeleteItem(doc));
}

void CMXListViewBar::MoveItems(int x, int y)
{
    if (CMXDoc* doc = GetMXDoc())
        doc->GetActionList().Add(new CProjectItemMove(doc, POINT{x, y}));
}

bool CMXListViewBar::PasteItems(const std::vector<BYTE>& data, const POINT* dropPoint, bool)
{
    CMXDoc* doc = GetMXDoc();
    if (!doc || data.empty())
        return false;
    return doc->GetActionList().Add(new CProjectItemPaste(doc, data, dropPoint)) != 0;
}

void CMXListViewBar::CutSelectedItems()
{
    if (CMXDoc* doc = GetMXDoc())
        doc->GetActionList().Add(new CProjectItemCut(doc));
}

bool CMXListViewBar::CopySelectedItems()
{
    CMXDoc* doc = GetMXDoc();
    return doc && ::CopySelectedItems(doc);
}

bool CMXListViewBar::OnCmdMsg(UINT id, CCmdUI* ui)
{
    CMXDoc* doc = GetMXDoc();
    QLineEdit* editor = GetLabelEditor();
    switch (id) {
    case ID_EDIT_UNDO:
        if (editor) {
            if (ui) {
                ui->Enable(editor->isUndoAvailable());
                ui->SetText(LoadString(IDS_UNDO_PLAIN_TEXT));
            } else {
                editor->undo();
            }
        } else if (ui) {
            ui->Enable(doc && doc->GetActionList().CanUndo());
            ui->SetText(doc ? doc->GetActionList().GetUndoText() : "&Undo\tCtrl+Z");
        } else if (doc) {
            doc->GetActionList().Undo();
        }
        return true;
    case ID_EDIT_REDO:
        if (editor) {
            if (ui) {
                ui->Enable(false);
                ui->SetText(FormatString(IDS_REDO_TEXT, {""}));
            }
        } else if (ui) {
            ui->Enable(doc && doc->GetActionList().CanRedo());
            ui->SetText(doc ? doc->GetActionList().GetRedoText() : "&Redo\tCtrl+Y");
        } else if (doc) {
            doc->GetActionList().Redo();
        }
        return true;
    }
    return CListViewBar::OnCmdMsg(id, ui);
}

QMenu* CMXListViewBar::MakeContextMenu(int kind, QWidget* parent)
{
    auto* main = qobject_cast<CProjectFrameMDIMain*>(window());
    if (!main)
        return nullptr;
    CCommandRouter& router = main->GetRouter();
    router.UpdateAll();
    auto* menu = new QMenu(parent);
    auto add = [&](QMenu* m, UINT id) {
        if (QAction* a = router.Action(id))
            m->addAction(a);
    };
    if (kind == 0) {
        QMenu* addMenu = menu->addMenu("&Add");
        for (UINT id : {ID_ADD_DATA, ID_ADD_EQUATION, ID_ADD_GRAPH, ID_ADD_LINEAR, ID_ADD_NONLINEAR, ID_ADD_NOTEPAD,
                        ID_ADD_TRANSFORM})
            add(addMenu, id);
        add(menu, ID_EDIT_PASTE);
        add(menu, ID_EDIT_SELECT_ALL);
        menu->addSeparator();
        QMenu* bar = menu->addMenu("Project &Window");
        for (UINT id : {ID_BAR_HIDDEN, ID_BAR_NORMAL, ID_BAR_WIDE})
            add(bar, id);
        bar->addSeparator();
        add(bar, ID_BAR_LARGE_ICONS);
        add(bar, ID_BAR_SMALL_ICONS);
    } else if (kind == 1) {
        add(menu, ID_ITEM_OPEN);
        menu->setDefaultAction(router.Action(ID_ITEM_OPEN));
        add(menu, ID_ITEM_CLOSE);
        menu->addSeparator();
        for (UINT id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_CLEAR, ID_EDIT_SELECT_ALL})
            add(menu, id);
        menu->addSeparator();
        add(menu, ID_ITEM_RENAME);
        add(menu, ID_FILE_STORE_STOCK);
        menu->addSeparator();
        add(menu, ID_ITEM_ICON);
    } else {
        add(menu, ID_ITEM_OPEN);
        menu->setDefaultAction(router.Action(ID_ITEM_OPEN));
        add(menu, ID_ITEM_CLOSE);
    }
    return menu;
}

QIcon CMXListViewBar::KindIcon(int kindFlag)
{
    switch (kindFlag) {
    case KIND_DATA: return CCommandImages::GlyphIcon("D", QColor(70, 110, 190));
    case KIND_GRAPH: return CCommandImages::GlyphIcon("G", QColor(60, 150, 80));
    case KIND_EQUATION: return CCommandImages::GlyphIcon("E", QColor(150, 90, 170));
    case KIND_LINEAR: return CCommandImages::GlyphIcon("L", QColor(200, 120, 40));
    case KIND_NONLINEAR: return CCommandImages::GlyphIcon("N", QColor(190, 70, 60));
    case KIND_TRANSFORM: return CCommandImages::GlyphIcon("T", QColor(40, 140, 150));
    case KIND_HARD_EQUATION: return CCommandImages::GlyphIcon("H", QColor(120, 120, 120));
    case KIND_NOTES: {
        // A page with lines of writing.
        QIcon icon;
        for (int size : {16, 32}) {
            QPixmap pixmap(size, size);
            pixmap.fill(Qt::transparent);
            QPainter p(&pixmap);
            const double s = size / 32.0;
            p.setPen(QPen(QColor(90, 90, 90), 1));
            p.setBrush(QColor(255, 250, 205));
            p.drawRect(QRectF(5 * s, 2 * s, 22 * s, 28 * s));
            p.setPen(QPen(QColor(70, 110, 190), size > 16 ? 1.5 : 1));
            for (int line = 0; line < 5; ++line)
                p.drawLine(QPointF(9 * s, (9 + 4.5 * line) * s), QPointF(23 * s, (9 + 4.5 * line) * s));
            p.end();
            icon.addPixmap(pixmap);
        }
        return icon;
    }
    }
    return CCommandImages::GlyphIcon("?", QColor(200, 200, 200));
}

QIcon CMXListViewBar::ItemIcon(const CProjectItemBase* item, bool) const
{
    // An icon the user chose for the item stands before its kind's.
    if (item) {
        QIcon own = ItemOwnIcon(*item, false);
        if (!own.isNull())
            return own;
    }
    auto* mx = dynamic_cast<const CMXProjectItem*>(item);
    return KindIcon(mx ? mx->GetKindFlag() : 0);
}
