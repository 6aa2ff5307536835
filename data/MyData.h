// A data table: a sparse grid of typed cells addressed by (row, column), both
// from 0. Row 0 of a column holds its column type and row 1 its name; data
// rows start at row 2. The table owns its columns and they own their cells.
#pragma once

#include "data/ColData.h"
#include "data/DataFormat.h"
#include "platform/Object.h"
#include "platform/Types.h"

#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CData;
class CDataDouble;
class CDataColumnType;
class CFile;

// The first row that holds data (rows 0 and 1 are the type and the name).
constexpr int kFirstDataRow = 2;
// The largest table a window shows: 16,384 columns, and a million data rows
// below the type and name rows.
constexpr int kTableColumns = 16384;
constexpr int kTableRows = 1048576 + kFirstDataRow;
// The most rows a table takes from a computation (series, calculated columns).
constexpr int kMaxTableRows = 1000000;

class CMyData : public CObject {
    DECLARE_SERIAL(CMyData)
public:
    CMyData();
    // A table read from text: tab-separated when the text holds a tab, else
    // blank-separated. Lines end with LF, CRLF or CR.
    explicit CMyData(std::string_view text);
    ~CMyData() override;
    CMyData(const CMyData&) = delete;
    CMyData& operator=(const CMyData&) = delete;

    // Stores cell (owned from now on; null leaves an association without a cell).
    void SetCell(int row, int column, CData* cell);
    void SetNumber(int row, int column, double value);
    CData* GetCell(int row, int column) const;
    // A short look at a cell that keeps no object for a plain number (see
    // CColData::PeekCell); the answer lives as long as scratch and the cell.
    const CData* PeekCell(int row, int column, CDataDouble& scratch) const;
    bool HasAssociation(int row, int column) const;
    CDataColumnType* GetColumnType(int column) const;
    // The value of a number cell; false for anything else and for the blank
    // value, which counts as missing wherever numbers are collected.
    bool GetNumber(int row, int column, double& value) const;
    void GetColumnName(int column, std::string& out) const;
    std::string GetColumnName(int column) const
    {
        std::string s;
        GetColumnName(column, s);
        return s;
    }
    // The column's format, or the default one for a column without a record.
    // Read only: formats change through SetColumnFormat.
    const CDataFormat& GetColumnFormat(int column) const;
    int IsColumnMissing(int column) const;
    // Merges format into the column's format (see the source for when a
    // column record is created for it).
    void SetColumnFormat(int column, const CDataFormat& format);
    // Puts back a format exactly as it was (undo).
    void ReplaceColumnFormat(int column, const CDataFormat& format);
    const CDataFormat& GetDefaultFormat() const { return m_defaultFormat; }
    void MergeDefaultFormat(const CDataFormat& format) { m_defaultFormat.Merge(format); }
    void ReplaceDefaultFormat(const CDataFormat& format) { m_defaultFormat = format; }

    CData* DetachCell(int row, int column);
    void DeleteCell(int row, int column);
    // Empties rows first..last of a column (with the usual record clean-up).
    void DeleteCells(int column, int firstRow, int lastRow);
    // Writes a run of numbers down a column from firstRow, as DeleteCells
    // over the run and SetNumber for each number would: row firstRow + i
    // gets values[i] where present[i] is not 0 (every row when present is
    // empty) and is emptied otherwise. Calculated columns write their
    // results this way, with one notice for the run from their caller.
    void SetNumberRun(int column, int firstRow, std::span<const double> values,
                      std::span<const std::uint8_t> present = {});

    // The column's last row (-1 when missing); column -1: the highest over all columns.
    int GetLastRow(int column) const;
    int GetLastColumn() const { return m_lastColumn; }

    // rect: left column, top row, right column, bottom row, inclusive.
    void DeleteCellRange(const RECT& rect, BOOL shiftUp);
    void InsertCellRange(const RECT& rect, BOOL shiftDown);
    void DeleteRows(int firstRow, int count);
    void InsertRows(int firstRow, int count);
    void InsertColumns(int firstColumn, int count);
    void DeleteColumns(int firstColumn, int count);

    // Writes the rectangle as tab-separated text with CRLF between rows, so
    // that reading the text gives the same cells: a text that would read back
    // otherwise (as a number, as blanks, split at tabs, line ends or, in one
    // column, blanks) is quoted. Control characters other than the tab and
    // line ends make a text file unreadable and are left out; the cells that
    // lost them go to leftOut (column, row). Returns the file position afterwards.
    std::uint64_t WriteRangeAsText(CFile& file, const RECT& rect, std::vector<POINT>* leftOut = nullptr) const;

    CColData* GetColumn(int column) const;
    // Column numbers that have a record, ascending.
    std::vector<int> GetColumnNumbers() const;
    void CompactNumbers();

    void Serialize(CArchive& ar) override;

private:
    CColData& EnsureColumn(int column);
    void RemoveColumnIfEmpty(int column);
    void RecalcLastColumn();
    void MoveCell(int fromRow, int fromColumn, int toRow, int toColumn);
    void ReadTabText(std::string_view text);
    void ReadBlankText(std::string_view text);

    std::map<int, std::unique_ptr<CColData>> m_columns;
    int m_lastColumn = -1;
    CDataFormat m_defaultFormat;
};

// A cell for text a user typed: null for an empty or blank text, text for an
// entry that begins with an apostrophe, a number when the whole trimmed text
// reads as one (with decimalChar, empty = the current one, as the point),
// else text holding the entry as given.
CData* MakeDataFromString(std::string_view text, std::string_view decimalChar = {});
