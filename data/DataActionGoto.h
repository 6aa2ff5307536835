// Moving the current cell (Go To), undoable so that Undo returns to where the user was.
#pragma once

#include "data/DataAction.h"

class CDataActionGoto : public CDataAction {
    DECLARE_DYNAMIC(CDataActionGoto)
public:
    CDataActionGoto(int column, int row, CDataTableItem* item);
    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    int m_column, m_row;
};

// A column width the view has already changed by dragging.
class CDataActionColWidthChange : public CDataAction {
    DECLARE_DYNAMIC(CDataActionColWidthChange)
public:
    // Widths in logical units; -1 means the default width.
    CDataActionColWidthChange(int column, int oldWidth, int newWidth, CDataTableItem* item);
    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    int m_column, m_oldWidth, m_newWidth;
};

// A row height the view has already changed by dragging.
class CDataActionRowHeightChange : public CDataAction {
    DECLARE_DYNAMIC(CDataActionRowHeightChange)
public:
    CDataActionRowHeightChange(int row, int oldHeight, int newHeight, CDataTableItem* item);
    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    int m_row, m_oldHeight, m_newHeight;
};
