// Locking or unlocking the selected columns against typing.
#pragma once

#include "data/DataAction.h"

#include <map>
#include <vector>

class CDataActionColumnLock : public CDataAction {
    DECLARE_DYNAMIC(CDataActionColumnLock)
public:
    CDataActionColumnLock(BOOL lock, CDataTableItem* item);

    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    void Apply();

    BOOL m_lock;
    std::map<int, int> m_oldLocked; // column -> locked before
    std::vector<int> m_typesAdded;  // columns that had no type and got one
};
