// Changing a table's look (grid values, text colours, font) as one undoable step.
#pragma once

#include "data/DataAction.h"

class CDataActionGridPrefs : public CDataAction {
    DECLARE_DYNAMIC(CDataActionGridPrefs)
public:
    CDataActionGridPrefs(CDataTableItem* item, const CDataGridPrefs& prefs);

    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    CDataGridPrefs m_new;
    CDataGridPrefs m_old;
};
