#include "data/DataActionGoto.h"

#include "data/DataTableItem.h"
#include "platform/StringIds.h"

IMPLEMENT_DYNAMIC(CDataActionGoto, CDataAction)
IMPLEMENT_DYNAMIC(CDataActionColWidthChange, CDataAction)
IMPLEMENT_DYNAMIC(CDataActionRowHeightChange, CDataAction)

CDataActionGoto::CDataActionGoto(int column, int row, CDataTableItem* item)
    : CDataAction(IDS_TABLE_GO_TO, item), m_column(column), m_row(row)
{
}

int CDataActionGoto::Do()
{
    SaveViewState();
    CDataTableView* view = View();
    if (!view)
        return 0;
    SetModified();
    view->SetCurrentCell(m_column, m_row);
    return 1;
}

int CDataActionGoto::Redo()
{
    RestoreViewState();
    SetModified();
    if (CDataTableView* view = View())
        view->SetCurrentCell(m_column, m_row);
    return 1;
}

int CDataActionGoto::Undo()
{
    RestoreViewState();
    SetModified();
    return 1;
}

CDataActionColWidthChange::CDataActionColWidthChange(int column, int oldWidth, int newWidth, CDataTableItem* item)
    : CDataAction(IDS_TABLE_RESIZE_COLUMN, item), m_column(column), m_oldWidth(oldWidth), m_newWidth(newWidth)
{
}

int CDataActionColWidthChange::Do()
{
    SaveViewState();
    SetModified();
    return 1;
}

int CDataActionColWidthChange::Redo()
{
    RestoreViewState();
    SetModified();
    if (CDataTableView* view = View())
        view->SetColumnWidth(m_column, m_newWidth);
    return 1;
}

int CDataActionColWidthChange::Undo()
{
    RestoreViewState();
    SetModified();
    if (CDataTableView* view = View())
        view->SetColumnWidth(m_column, m_oldWidth);
    return 1;
}

CDataActionRowHeightChange::CDataActionRowHeightChange(int row, int oldHeight, int newHeight, CDataTableItem* item)
    : CDataAction(IDS_TABLE_RESIZE_ROW, item), m_row(row), m_oldHeight(oldHeight), m_newHeight(newHeight)
{
}

int CDataActionRowHeightChange::Do()
{
    SaveViewState();
    SetModified();
    return 1;
}

int CDataActionRowHeightChange::Redo()
{
    RestoreViewState();
    SetModified();
    if (CDataTableView* view = View())
        view->SetRowHeight(m_row, m_newHeight);
    return 1;
}

int CDataActionRowHeightChange::Undo()
{
    RestoreViewState();
    SetModified();
    if (CDataTableView* view = View())
        view->SetRowHeight(m_row, m_oldHeight);
    return 1;
}
