// A data view without a window: performs the structural edits on the item's
// table (telling its column types), keeps widths, heights and the view state,
// and can be told to refuse.
#pragma once

#include "data/DataTableView.h"
#include "framework/ActionList.h"

#include "FakeItem.h"

#include <map>

class FakeView : public CDataTableView {
public:
    explicit FakeView(FakeItem& item) : m_item(item) {}

    CDataViewState GetViewState() const override { return state; }
    void SetViewState(const CDataViewState& s) override
    {
        state = s;
        ++restores;
    }
    void EnsureGridSize() override {}
    int GetSelectionKind() const override { return kind; }
    std::vector<RECT> GetSelectedRanges() const override { return selection; }

    bool InsertColumns(int first, int count, bool) override
    {
        if (refuse)
            return false;
        m_item.table.InsertColumns(first, count);
        m_item.ColumnsInserted(first, count);
        return true;
    }
    bool DeleteColumns(int first, int count, bool) override
    {
        if (refuse)
            return false;
        m_item.table.DeleteColumns(first, count);
        m_item.ColumnsDeleted(first, count);
        return true;
    }
    bool InsertRows(int first, int count, bool) override
    {
        if (refuse)
            return false;
        m_item.table.InsertRows(first, count);
        return true;
    }
    bool DeleteRows(int first, int count, bool) override
    {
        if (refuse)
            return false;
        m_item.table.DeleteRows(first, count);
        return true;
    }
    bool InsertCells(const RECT& block) override
    {
        if (refuse)
            return false;
        m_item.table.InsertCellRange(block, TRUE);
        return true;
    }
    bool DeleteCells(const RECT& block) override
    {
        if (refuse)
            return false;
        m_item.table.DeleteCellRange(block, TRUE);
        return true;
    }
    int GetColumnWidth(int column) const override
    {
        auto it = widths.find(column);
        return it == widths.end() ? defaultWidth : it->second;
    }
    bool IsDefaultColumnWidth(int column) const override { return !widths.count(column); }
    void SetColumnWidth(int column, int width) override
    {
        if (width < 0)
            widths.erase(column);
        else
            widths[column] = width;
    }
    int GetRowHeight(int row) const override
    {
        auto it = heights.find(row);
        return it == heights.end() ? 20 : it->second;
    }
    bool IsDefaultRowHeight(int row) const override { return !heights.count(row); }
    void SetRowHeight(int row, int height) override
    {
        if (height < 0)
            heights.erase(row);
        else
            heights[row] = height;
    }
    void SizeColumnToFit(int column, bool) override { widths[column] = 77; }
    bool AskColumnWidth(int& width, bool& useDefault) override
    {
        offered = width;
        width = answerSize;
        useDefault = answerDefault;
        return !cancelDialog;
    }
    bool AskRowHeight(int& height, bool& useDefault) override { return AskColumnWidth(height, useDefault); }
    void SetCurrentCell(int column, int row) override { current = POINT{column, row}; }
    void SelectColumns(const std::vector<int>& columns) override { selected = columns; }
    bool CopyToClipboard() override { return clipboardWorks; }
    std::unique_ptr<CMyData> ReadClipboardTable(RECT& block) override
    {
        if (!clipboard)
            return nullptr;
        block = clipboardBlock;
        auto copy = std::make_unique<CMyData>();
        for (int c = block.left; c <= block.right; ++c)
            for (int r = block.top; r <= block.bottom; ++r)
                if (CData* cell = clipboard->GetCell(r, c))
                    copy->SetCell(r, c, cell->Clone());
        return copy;
    }
    int AskPasteInsert(bool) override { return pasteAnswer; }
    void FillFromSource(const CMyData& source, const RECT& block, int column, int row) override
    {
        for (int c = block.left; c <= block.right; ++c)
            for (int r = block.top; r <= block.bottom; ++r) {
                CData* cell = source.GetCell(r, c);
                const int tr = row + r - block.top, tc = column + c - block.left;
                if (cell)
                    m_item.table.SetCell(tr, tc, cell->Clone());
                else
                    m_item.table.DeleteCell(tr, tc);
            }
    }
    CDataGridPrefs GetGridPrefs() const override { return prefs; }
    void SetGridPrefs(const CDataGridPrefs& p) override { prefs = p; }
    void RedrawCell(int, int) override {}
    void Repaint() override {}

    CDataViewState state;
    int restores = 0;
    int kind = 2;
    std::vector<RECT> selection;
    bool refuse = false;
    bool clipboardWorks = true;
    int defaultWidth = 64;
    std::map<int, int> widths, heights;
    POINT current{0, 0};
    std::vector<int> selected;
    CMyData* clipboard = nullptr;
    RECT clipboardBlock{0, 0, -1, -1};
    int pasteAnswer = 1;
    CDataGridPrefs prefs;
    int offered = -2, answerSize = 50;
    bool answerDefault = false, cancelDialog = false;

private:
    FakeItem& m_item;
};

// An item with a view and an action list.
class ViewedItem : public FakeItem {
public:
    CDataTableView* GetActiveView() override { return &view; }
    CActionList* GetActionList() override { return &actions; }
    FakeView view{*this};
    CActionList actions;
};
