// How the column types that show other items' results find those items: by
// name, in the workspace of the data table item that owns the column.
#pragma once

#include "app/MXDoc.h"
#include "app/MXProjectItem.h"
#include "app/MXResult.h"
#include "data/DataTableItem.h"
#include "platform/StringIds.h"

#include <string>

inline CMXDoc* WorkspaceOf(CDataTableItem* item)
{
    auto* owner = dynamic_cast<CMXProjectItem*>(item);
    return owner ? owner->GetMXDoc() : nullptr;
}

// The fit item of that name; null for an empty name or when there is none.
inline CMXResult* FindFitItem(CDataTableItem* item, const std::string& name)
{
    if (name.empty())
        return nullptr;
    CMXDoc* doc = WorkspaceOf(item);
    return doc ? dynamic_cast<CMXResult*>(doc->FindItem(name)) : nullptr;
}

// The text that stands in row 2 when a fit column has nothing to show, from
// the fit's state at the last computation. A failed fit says so: it is not
// calculating any more.
inline UINT FitFallbackText(int lastState)
{
    if (lastState == CMXResult::kCalculating)
        return IDS_COL_CALCULATING;
    if (lastState == CMXResult::kFailed)
        return IDS_COL_FAILED;
    return IDS_COL_NOT_FITTED;
}

// Stored fit states: a failed fit keeps the value 2 of older files; a stored 2 reads as failed.
inline int StoredFitState(int state) { return state == CMXResult::kFailed ? CMXResult::kCalculating : state; }
inline int LoadedFitState(int state)
{
    return state == CMXResult::kCalculating ? CMXResult::kFailed
        : state >= CMXResult::kNotFitted && state <= CMXResult::kPartFitted ? state : CMXResult::kNotFitted;
}
