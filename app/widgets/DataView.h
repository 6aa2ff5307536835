// The window in which a data table is read and edited: a grid view whose
// engine works on the grid settings stored in the data-table item and whose
// cells show the item's table. Grid row r shows table row r - 1 and grid
// column c table column c - 1; grid row 0 and column 0 are headings, grid
// row 1 shows the column types and grid row 2 the column names. The view
// owns no table state: every answer is read from the item when asked.
#pragma once

#include "data/MyData.h"
#include "grid/widgets/GridView.h"
#include "platform/widgets/CommandRouter.h"

#include <QRect>

#include <memory>
#include <string>
#include <vector>

class CAction;
class CDataTableView;
class CMXGrid;
class CMXDoc;
class CMyData;
class QMenu;
class QPageLayout;
class QPagedPaintDevice;

// Command ids of the data-table window.
enum : UINT {
    ID_TABLE_INSERT_ROW = 32820, ID_TABLE_INSERT_COLUMN = 32821, ID_TABLE_INSERT_CELLS = 32822,
    ID_TABLE_DELETE = 32818, ID_TABLE_COLUMN_WIDTH = 32823, ID_TABLE_ROW_HEIGHT = 32824,
    ID_TABLE_GOTO_CELL = 32834, ID_EDIT_PASTE_OPTIONS = 32846, ID_TABLE_COLUMN_FORMAT = 32941,
    ID_EDIT_CURRENT_CELL = 32984, ID_TABLE_SORT = 33006, ID_TABLE_SIZE_TO_FIT = 33008,
    ID_EDIT_PROPERTIES = 33069, ID_TABLE_LOCK_COLUMN = 33208, ID_VIEW_ZOOM_CUSTOM = 32992,
    ID_EDIT_COPY_TO = 32849, ID_EDIT_PASTE_FROM = 32850, ID_TABLE_PREFERENCES = 32875,
};

// The clipboard form of copied cells with their types and formats.
inline constexpr const char* kPrivateDataFormat = "application/x-marlox-private-data";

class CDataView : public CGridView, public CCmdTarget {
    Q_OBJECT
public:
    // The grid has room for this many data rows and columns.
    static constexpr int kDataRows = kTableRows - kFirstDataRow;
    static constexpr int kDataColumns = kTableColumns;
    // Grid rows above the first data row (column numbers, types, names).
    static constexpr int kHeadingRows = 3;

    enum TextColour { kCalculatedText, kRowColumnText, kHeadingText, kLockedText, kEditableText };

    explicit CDataView(CMXGrid* item, QWidget* parent = nullptr);
    ~CDataView() override;

    CMXGrid* GetFrameItem() const { return m_pItem; }
    CMXDoc* GetMXDocument() const;
    // The item is going away: the view lets go of it.
    void Detach();

    COLORREF GetTextColour(TextColour which) const;
    // Text colour of a table column's data: calculated, locked or editable.
    COLORREF ColumnTextColour(int tableColumn) const;

    // ---- Engine hooks ----
    void InitCells() override;
    int GetLastRow(int column) const override;
    int GetLastColumn(int row) const override;
    // Home and End keys of a table: Home to the row's first column, End to
    // its last used one; with Ctrl, the first data cell and the last used cell.
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void GetCellText(int row, int column, std::string& text) override;
    void GetEditText(int row, int column, std::string& text) override;
    void GetHeaderText(int row, int column, std::string& text) override;
    int SetCellText(int row, int column, const std::string& text) override;
    void OnCellsChanged(const std::vector<CGridCellRef>& cells) override;
    int GetDefaultColumnWidth(int column, bool zoomed) const override;
    int GetDefaultRowHeight(int row, bool zoomed) const override;
    void SetupFonts() override;
    int HandlePaste() override;
    void OnBeforeCopy() override;
    // The clipboard: the copied text travels with the cells' own form and
    // every exporting filter's format.
    bool EmptyClipboard() override { return true; }
    void SetClipboardText(const std::string& text) override;
    bool GetClipboardText(std::string& text) override;
    bool ClipboardHasText() const override;
    void OnUndo() override;
    void OnRedo() override;
    void OnUpdateUndo(CGridCmdState& state) override;
    void OnUpdateRedo(CGridCmdState& state) override;
    void OnRButtonCellChanged(UINT flags, POINT point) override;
    void OnColumnWidthChanging(int column, int* width) override;
    void OnRowHeightChanging(int row, int* height) override;
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;

    // ---- Table operations (grid coordinates); false when refused ----
    bool InsertColumns(int first, int count, bool refresh);
    bool DeleteColumns(int first, int count, bool refresh);
    bool InsertRows(int first, int count, bool refresh);
    bool DeleteRows(int first, int count, bool refresh);
    // Blocks: left, top, right, bottom grid coordinates, inclusive.
    bool InsertCells(const CGridRange& block);
    bool DeleteCells(const CGridRange& block);
    // Writes block (table coordinates, turned in place when transposing) of
    // source at (destColumn, destRow) of the item's table. operation: 0 none,
    // 1 add, 2 subtract, 3 multiply, 4 divide.
    void FillFromSource(const CMyData& source, RECT& block, int destColumn, int destRow, bool pasteBlanks,
                        bool transpose, int operation);
    void SizeColumnToFit(int tableColumn, bool refresh);
    int GetSelectionKind() const;
    void GetLockState(int& enable, int& state) const;
    // Copies of the selected cells at their own table coordinates and their
    // bounding block; null when no cell is selected.
    std::unique_ptr<CMyData> CopySelectionToTable(RECT& bounds) const;
    // Zoom in percent, held to 5-600.
    void SetZoomPercent(int percent);
    int GetZoomPercent() const;

    // What the table's undo actions work through (table coordinates).
    CDataTableView* GetTableView() const;
    // Runs an undoable edit through the item's action list; false when it failed.
    bool RunAction(CAction* action);
    // How the next paste combines with the cells it lands on.
    void SetPasteOptions(int operation, bool pasteBlanks, bool transpose);

    // ---- Commands ----
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;
    // The paste of the clipboard text with the given options.
    void PasteText(const std::string& text, int operation, bool pasteBlanks, bool transpose);
    // Pastes a table's block at the selection's top-left cell.
    void PasteTable(const CMyData& source, RECT block, int operation, bool pasteBlanks, bool transpose);
    // Reads the clipboard: the private form, else a filter's format, else text; null when empty.
    std::unique_ptr<CMyData> ReadClipboardTable(RECT& block) const;
    // Edit/Paste From and Copy To: through the data filters.
    bool PasteFromFile(const std::string& path);
    bool CopyToFile(const std::string& path);
    // The type command of a column type number (-1 when the id is none).
    static int TypeOfCommand(UINT id);
    static UINT CommandOfType(int type);
    // The type commands in menu order with their menu texts.
    static std::vector<std::pair<UINT, std::string>> TypeCommands();

    // ---- Printing on the item's paper: its margins, header and footer ----
    // Lays the table out for paper of the layout on a device of that
    // resolution, inside the item's margins; the number of pages.
    int BeginItemPrinting(QPaintDevice& device, const QPageLayout& layout);
    // Paints page (from 1) with its header and footer, the painter's origin
    // at the paper's top-left corner in device pixels.
    void PrintItemPage(QPainter& painter, int page);
    // Prints the device's pages fromPage..toPage (0: all) in the item's
    // orientation; the number of pages printed.
    int PrintTo(QPagedPaintDevice& device, int fromPage = 0, int toPage = 0);
    void PrintItem();
    void PrintPreviewItem();

protected:
    void OnContextMenu(const QPoint& position) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // The engine's update, once the grid has been laid out for its window
    // (before that, sizes are not known and the first showing lays it out).
    void RefreshGrid(int code, int argument);
    void SendNotification(int kind, int first, int count);
    void SendBlockNotification(int kind, const RECT& block);
    void AfterStructureChange(bool refresh);
    void ShowMenu(QMenu& menu, const QPoint& position);
    void SetColumnType(int column, int type);
    void UpdateTableCommand(UINT id, CCmdUI& ui);
    void RunTableCommand(UINT id);

    class ActionHost;
    CMXGrid* m_pItem;
    std::unique_ptr<ActionHost> m_pActionHost;
    int m_nPasteOperation = 0;
    bool m_bPasteBlanks = true;
    bool m_bPasteTranspose = false;
    std::vector<std::pair<std::string, std::vector<BYTE>>> m_copyFormats; // set by the hook before copy
    int m_nColumn0Width = 0; // logical units, unzoomed
    int m_nRow2Height = 0;
    SIZE m_printPaper{0, 0};      // thousandths of an inch
    QRect m_printArea;            // device pixels inside the margins
    int m_nPrintResolution = 0;
};
