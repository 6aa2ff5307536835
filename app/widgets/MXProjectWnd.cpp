#include "app/widgets/MXProjectWnd.h"

#include "app/MXProjectItem.h"
#include "app/widgets/MXListViewBar.h"
#include "platform/widgets/CommandIds.h"
#include "ui/widgets/TabFormView.h"

CMXProjectItem* CMXProjectWnd::GetMXItem() const { return dynamic_cast<CMXProjectItem*>(m_pItem); }

void CMXProjectWnd::OnLayoutChanged(UINT)
{
    if (QWidget* view = widget())
        view->updateGeometry();
    updateGeometry();
}

QWidget* CMXProjectWnd::CreateView()
{
    // The frame shows its kind's picture, as the list does.
    if (CMXProjectItem* item = GetMXItem())
        setWindowIcon(CMXListViewBar::KindIcon(item->GetKindFlag()));
    return CreateItemView();
}

bool CMXProjectWnd::OnCmdMsg(UINT id, CCmdUI* ui)
{
    CMXProjectItem* item = GetMXItem();
    if (item && (id == ID_EDIT_UNDO || id == ID_EDIT_REDO)) {
        // In a form, the focused edit box undoes its own typing first.
        if (auto* form = qobject_cast<CTabFormView*>(widget())) {
            CCmdUI probe(id);
            if (form->OnCmdMsg(id, &probe) && probe.m_enabled.value_or(false))
                return form->OnCmdMsg(id, ui);
        }
        CActionList& actions = item->GetActionList();
        const bool undo = id == ID_EDIT_UNDO;
        if (ui) {
            ui->Enable(undo ? actions.CanUndo() != 0 : actions.CanRedo() != 0);
            ui->SetText(undo ? actions.GetUndoText() : actions.GetRedoText());
        } else if (undo) {
            actions.Undo();
        } else {
            actions.Redo();
        }
        return true;
    }
    return CProjectFrameBase::OnCmdMsg(id, ui);
}

void CMXProjectWnd::OnDetach()
{
    if (auto* form = qobject_cast<CTabFormView*>(widget()))
        form->Detach();
}
