#include "app/widgets/MXListViewBar.h"

#include "framework/widgets/ImageListImages.h"

#include "app/ItemIconTexts.h"
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

#include <map>
#include <string>
#include <utility>

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

const char* CMXListViewBar::KindIconName(int kindFlag)
{
    switch (kindFlag) {
    case KIND_DATA: return "table";
    case KIND_GRAPH: return "graph";
    case KIND_NOTES: return "notes";
    case KIND_EQUATION: return "equation";
    case KIND_LINEAR: return "linear-fit";
    case KIND_NONLINEAR: return "nonlinear-fit";
    case KIND_TRANSFORM: return "transform";
    case KIND_HARD_EQUATION: return "library-equation";
    }
    // Items of no kind of the program's own (objects of other programs).
    return "stored";
}

QIcon CMXListViewBar::KindIcon(int kindFlag, bool open)
{
    // Drawn once per kind and form: the list asks for them at every paint.
    static std::map<std::pair<std::string, bool>, QIcon> s_icons;
    const std::pair<std::string, bool> key{KindIconName(kindFlag), open};
    auto it = s_icons.find(key);
    if (it == s_icons.end())
        it = s_icons.emplace(key, CCommandImages::SvgIcon(QString::fromStdString(ItemIconPath(key.first, open)))).first;
    return it->second;
}

QIcon CMXListViewBar::ItemIcon(const CProjectItemBase* item, bool) const
{
    if (!item)
        return KindIcon(0);
    // While its window is open an item shows its icon's open form. An icon
    // the user chose for the item stands before its kind's.
    const bool open = item->m_bWindowOpen;
    QIcon own = ItemOwnIcon(*item, false, open);
    if (!own.isNull())
        return own;
    auto* mx = dynamic_cast<const CMXProjectItem*>(item);
    return KindIcon(mx ? mx->GetKindFlag() : 0, open);
}
