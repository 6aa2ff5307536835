// The history of done actions with a current position, so that Undo and Redo
// walk back and forth through it. The list owns its actions and deletes every
// one that leaves it.
#pragma once

#include "framework/Action.h"

#include <memory>
#include <string>
#include <vector>

class CActionList {
public:
    static constexpr int kDefaultDepth = 10;

    // depth: the greatest number of actions kept (at least 1).
    explicit CActionList(int depth = kDefaultDepth);
    ~CActionList();
    CActionList(const CActionList&) = delete;
    CActionList& operator=(const CActionList&) = delete;

    // Runs the action and, when it succeeds, records it as the current one,
    // dropping the redo tail and trimming the oldest action beyond the depth.
    // The list takes the action in every case; a failed or null action is
    // deleted and 0 returned, leaving the list as it was.
    int Add(std::unique_ptr<CAction> action);
    int Add(CAction* action) { return Add(std::unique_ptr<CAction>(action)); }

    // Non-zero when the current action was undone.
    int Undo();
    // The redone action's own result; 0 when there is nothing to redo.
    int Redo();
    int CanUndo() const;
    int CanRedo() const;
    // The Edit menu's texts, naming the action that Undo or Redo would reach.
    std::string GetUndoText() const;
    std::string GetRedoText() const;
    void RemoveAll();

    int GetDepth() const { return m_depth; }
    int GetCount() const { return int(m_actions.size()); }
    // The action at a position, oldest first; null out of range.
    CAction* GetAction(int index) const;
    // The most recently done action that is not undone; null when there is none.
    CAction* GetCurrent() const { return GetAction(m_current); }

private:
    // The action that Redo would reach: after the current one, or the oldest.
    CAction* NextAction() const { return GetAction(m_current + 1); }
    void DeleteRedoTail();

    std::vector<std::unique_ptr<CAction>> m_actions; // oldest first
    int m_current = -1;                              // index of the current action; -1 for none
    int m_depth;
};
