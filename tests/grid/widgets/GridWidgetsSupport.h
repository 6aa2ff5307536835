// Grids with texts kept in a map, for the window tests.
#pragma once

#include "grid/CheckBoxCell.h"
#include "grid/DropDownListCell.h"
#include "grid/EditCell.h"
#include "grid/HeaderCell.h"
#include "grid/widgets/GridCtrl.h"
#include "grid/widgets/GridEditWnd.h"
#include "grid/widgets/GridListWnd.h"

#include <QApplication>
#include <QCoreApplication>
#include <QScrollBar>

#include <map>
#include <string>
#include <utility>

class CABListCell : public CDropDownListCell {
    DECLARE_DYNCREATE(CABListCell)
public:
    void FillList(CGridEditor& list) override
    {
        list.AddItem("A");
        list.AddItem("B");
    }
};

// A control of rows x columns with one heading row and column: text cells,
// a check-box column 3 and a list column 4. Stores of "bad" are refused.
class TextCtrl : public CGridCtrl {
public:
    TextCtrl(int rows, int columns, QWidget* parent = nullptr) : CGridCtrl(parent)
    {
        m_data.m_nRowCount = rows;
        m_data.m_nColumnCount = columns;
        m_data.m_nHeaderRows = m_data.m_nFrozenRows = m_data.m_nHeaderColumns = 1;
        m_data.m_nFixedDefaultColumnWidth = 1000; // one inch
        m_data.m_nFixedDefaultRowHeight = 250;    // a quarter inch
        m_data.m_pDefaultCellClass = RUNTIME_CLASS(CEditCell);
        m_data.m_rowClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
        m_data.m_columnClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
        m_data.m_priorityColumnClasses[3].pClass = RUNTIME_CLASS(CCheckBoxCell);
        m_data.m_priorityColumnClasses[4].pClass = RUNTIME_CLASS(CABListCell);
        m_data.m_priorityRowClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
        m_data.m_nCurrentRow = 1;
        m_data.m_nCurrentColumn = 1;
    }
    void GetCellValueText(int row, int column, std::string& text) override
    {
        auto it = cells.find({row, column});
        text = it == cells.end() ? std::string() : it->second;
    }
    int SetCellText(int row, int column, const std::string& text) override
    {
        if (text == "bad")
            return -1;
        cells[{row, column}] = text;
        return 1;
    }
    std::string Text(int row, int column) const
    {
        auto it = cells.find({row, column});
        return it == cells.end() ? std::string() : it->second;
    }
    // The shown text box, null when none is open.
    CGridEditWnd* Editor() const
    {
        for (CGridEditWnd* e : viewport()->findChildren<CGridEditWnd*>())
            if (e->isVisible())
                return e;
        return nullptr;
    }
    CGridListWnd* List() const
    {
        for (CGridListWnd* e : viewport()->findChildren<CGridListWnd*>())
            if (e->isVisible())
                return e;
        return nullptr;
    }
    QPoint Centre(int row, int column) const
    {
        RECT r;
        GetCellRect(row, column, r);
        return QPoint(int(r.left + r.right) / 2, int(r.top + r.bottom) / 2);
    }

    std::map<std::pair<int, int>, std::string> cells;
};

// Runs what the windows posted (keys passed on by editors, deferred deletes).
inline void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
