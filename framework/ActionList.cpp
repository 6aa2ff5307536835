#include "framework/ActionList.h"

#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>

CActionList::CActionList(int depth)
    : m_depth(std::max(depth, 1))
{
}

CActionList::~CActionList()
{
    RemoveAll();
}

CAction* CActionList::GetAction(int index) const
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    return m_actions[std::size_t(index)].get();
}

void CActionList::DeleteRedoTail()
{
    m_actions.erase(m_actions.begin() + (m_current + 1), m_actions.end());
}

int CActionList::Add(std::unique_ptr<CAction> action)
{
    if (!action || !action->Do())
        return 0;
    DeleteRedoTail();
    m_actions.push_back(std::move(action));
    m_current = GetCount() - 1;
    if (GetCount() > m_depth) {
        m_actions.erase(m_actions.begin());
        --m_current;
    }
    return 1;
}

int CActionList::Undo()
{
    CAction* current = GetCurrent();
    if (!current || !current->Undo())
        return 0;
    --m_current;
    // An action that cannot come back would leave the ones after it redoing
    // on a state they were never done in.
    if (!CanRedo())
        DeleteRedoTail();
    return 1;
}

int CActionList::Redo()
{
    CAction* next = NextAction();
    if (!next)
        return 0;
    int result = next->Redo();
    // A failed redo leaves the action undone: making it current would let the
    // next Undo reverse a change that never happened.
    if (result)
        ++m_current;
    return result;
}

int CActionList::CanUndo() const
{
    CAction* current = GetCurrent();
    return current ? current->CanUndo() : 0;
}

int CActionList::CanRedo() const
{
    CAction* next = NextAction();
    return next ? next->CanRedo() : 0;
}

std::string CActionList::GetUndoText() const
{
    CAction* current = GetCurrent();
    return FormatString(IDS_UNDO_TEXT, {current ? current->GetDescription() : std::string()});
}

std::string CActionList::GetRedoText() const
{
    CAction* next = NextAction();
    return FormatString(IDS_REDO_TEXT, {next ? next->GetDescription() : std::string()});
}

void CActionList::RemoveAll()
{
    // Newest first: a later action may still refer to what an earlier one holds.
    while (!m_actions.empty())
        m_actions.pop_back();
    m_current = -1;
}
