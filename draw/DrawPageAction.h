// One undoable change of a page: the page's stored form before and after.
// Whatever the drawing view changes (objects drawn, moved, styled, grouped,
// pasted, deleted) is undone by putting the page back as it was; the views
// drop their selections first, since the objects are made anew.
#pragma once

#include "framework/Action.h"
#include "platform/Types.h"

#include <vector>

class CDrawData;

class CDrawPageAction : public CAction {
    DECLARE_DYNAMIC(CDrawPageAction)
public:
    CDrawPageAction(UINT descriptionId, CDrawData* page, std::vector<BYTE> before, std::vector<BYTE> after);

    // The change was made before the action was added: doing it is nothing.
    int Do() override { return 1; }
    int Redo() override { return Restore(m_after); }
    int Undo() override { return Restore(m_before); }
    int CanUndo() override { return 1; }
    int CanRedo() override { return 1; }

    // The page's stored form.
    static std::vector<BYTE> Snapshot(CDrawData& page);
    // Reads a snapshot back into the page (views told before and after).
    static bool RestoreSnapshot(CDrawData& page, const std::vector<BYTE>& bytes);

private:
    int Restore(const std::vector<BYTE>& bytes) { return RestoreSnapshot(*m_pPage, bytes) ? 1 : 0; }

    CDrawData* m_pPage;
    std::vector<BYTE> m_before;
    std::vector<BYTE> m_after;
};
