// One change of a fit item's settings as an undo step: the settings before
// and after the change. Undo and redo put one of them back, and, as every
// change of a fit's settings does, discard the results the fit had.
#pragma once

#include "framework/Action.h"
#include "platform/Types.h"

#include <vector>

class CMXResult;

// The views of a fit item show its settings anew; the hint's object is the item.
inline constexpr int HINT_FIT_SETTINGS_RESTORED = 2570;

class CFitSettingsAction : public CAction {
    DECLARE_DYNAMIC(CFitSettingsAction)
public:
    // The change is made already; before holds the settings it replaced.
    // discardResults: whether undo and redo leave the fit not fitted (a change
    // that kept the results, such as restoring the default criteria, keeps them).
    CFitSettingsAction(CMXResult* item, UINT descriptionId, std::vector<BYTE> before, bool discardResults = true);

    // Takes the settings after the change; 0 (nothing to record) when they are the same.
    int Do() override;
    int Redo() override;
    int Undo() override;
    int CanUndo() override { return 1; }
    int CanRedo() override { return 1; }

private:
    int Apply(const std::vector<BYTE>& settings);

    CMXResult* m_pItem;
    std::vector<BYTE> m_before;
    std::vector<BYTE> m_after;
    bool m_bDiscard;
};
