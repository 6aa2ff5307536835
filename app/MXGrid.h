// The workspace item that holds one data table: the table, the stored look of
// its grid, the splitter layout and colours of its window; it passes
// workspace notices on to its calculated columns and gives fits and graphs
// their numbers.
#pragma once

#include "app/MXProjectItem.h"
#include "data/DataTableItem.h"
#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"
#include "framework/DoubleColumns.h"
#include "grid/MXGridData.h"
#include "platform/StringIds.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CEquationTransform;
class CWorkerThread;

// A view hint's record: two numbers (a 1-based column and row, or a first and last column).
class CHintRecord : public CObject {
    DECLARE_DYNAMIC(CHintRecord)
public:
    CHintRecord(int first, int second) : first(first), second(second) {}
    int first;
    int second;
};

// How the x values of a fit are gathered and how points are weighted.
enum FitXKind : int { kXColumn = 0, kXAssociated = 3, kXAssociatedAll = 4, kXColumns = 5 };
enum FitWeighting : int { kWeightNone = 0, kWeightStatistical = 1, kWeightProportional = 2, kWeightErrors = 3 };

struct FitDataRequest {
    int xKind = kXColumn;
    int weighting = kWeightNone;
    std::vector<int> xColumns; // the first is the x column
    int yColumn = -1;
    int errorColumn = -1;
    bool rangeTest = false;
    IntDoubleRecord lower; // n != 0: the limit is set
    IntDoubleRecord upper;
    // The number of x variables the equation has (further ones from associated values or columns).
    int xCount = 1;
};

struct FitData {
    CDoubleColumns x;
    std::vector<double> y;
    std::vector<double> weights;
    std::vector<int> rows;
};

// The extent of a table's points on both axes.
struct DataExtent {
    int count = 0;
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

class CMXGrid : public CMXProjectItem, public CDataTableItem {
    DECLARE_SERIAL(CMXGrid)
public:
    CMXGrid();
    explicit CMXGrid(CProjectDocBase* document);

    void GetTypeName(std::string& out) const override;
    int GetKindFlag() const override { return KIND_DATA; }
    int GetStoreIconIndex() const override { return 4; }
    int GetLargeBitmapID() const override { return 349; }
    int GetSmallBitmapID() const override { return 350; }
    UINT GetNamePatternID() const override { return IDS_DATA_NAME_PATTERN; }
    UINT GetTypeTextID() const override { return IDS_DATA_TABLE_TYPE_TEXT; }
    int GetFieldText(std::string& text, std::string_view field, std::string_view parameter) override;

    // The table and its owner's services.
    CMyData& GetTable() override { return m_table; }
    const CMyData& GetTable() const { return m_table; }
    CMXGridData& GetGridData() { return m_gridData; }
    void SetModified(bool modified = true) override { CProjectItemBase::SetModified(modified); }
    void UpdateViews(int hint, int first, int second) override;
    void BroadcastColumnChanges(const std::vector<CDataColumnRef>& changes) override;
    void OnItemNotify(CUpdateNotification& note) override;
    // The links of the table's result columns to other items.
    std::vector<BYTE> SaveLinks() const override;
    void RestoreLinks(const std::vector<BYTE>& links) override;
    // The undo actions work through the active data view and the item's own action list.
    CDataTableView* GetActiveView() override { return m_pActiveView; }
    void SetActiveView(CDataTableView* view) { m_pActiveView = view; }
    CActionList* GetActionList() override { return &CMXProjectItem::GetActionList(); }

    // Read operations for fits and graphs. Rows 0 and 1 hold a column's type and name.
    int GetAssociatedX(int column, std::vector<double>& values) const;
    CData* MakeCellFromText(std::string_view text, int column, int row) const;
    void CollectNumbers(int column, std::vector<double>& values, std::vector<int>& rows) const;
    int CountNumbers(int column) const;
    void CollectColumnValues(int column, std::vector<double>& values) const;
    DataExtent GetDataExtent(int xColumn, int yColumn, int xErrorColumn, int yErrorColumn,
                             CEquationTransform* transform, bool xLog, bool yLog) const;
    // The points of one fit; -1 when cancelled or when associated x values are missing.
    int CollectFitData(const FitDataRequest& request, FitData& out, CWorkerThread* poll) const;

    void Serialize(CArchive& ar) override;
    // Moves the numbers read into the table's compact storage.
    void OnLoaded() override { m_table.CompactNumbers(); }

    // The data frame's 2 x 2 splitter: rows 1 and 2, columns 1 and 2 (minimum, ideal, current).
    std::array<TripleRecord, 4> m_splitter{};
    int m_viewPosition[2] = {0, 0};
    // Text that cannot be edited, row and column numbers, headings, locked text.
    std::array<COLORREF, 4> m_colours{};

    // What new tables start with; the program fills it from its preferences.
    struct NewTableDefaults {
        std::array<COLORREF, 4> colours{RGB(128, 128, 128), RGB(0, 0, 0), RGB(0, 0, 0), RGB(128, 128, 128)};
        CDataFormat numberFormat;
        // The grid's lines, text and background, its font and text size in
        // tenths of a point; unset (the grid format's own) until the program
        // gives its preferences.
        std::optional<COLORREF> gridColour;
        std::optional<COLORREF> textColour;
        std::optional<COLORREF> backColour;
        std::optional<LOGFONT> font;
        int textSize = 0;
    };
    static NewTableDefaults s_defaults;

private:
    void ReceiveNotice(CUpdateNotification& note);

    CMyData m_table;
    CMXGridData m_gridData;
    CDataTableView* m_pActiveView = nullptr; // run time: not owned
};
