// The type of a data-table column, kept in row 0 of the column: whether the
// user types into it, whether the program computes its cells and from which
// columns, and how it follows inserted and deleted columns.
#pragma once

#include "data/Data.h"
#include "data/DataTableItem.h"
#include "platform/StringIds.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class CDataColumnType;
class CUpdateNotification;

// Column type numbers; the name of each is string IDS_COLUMN_TYPE_NONE + number.
enum ColumnTypeNumber : int {
    kTypeNone = 0, kTypeXData = 1, kTypeYData = 2, kTypeXNData = 3, kTypeMean = 4, kTypeStdDev = 5,
    kTypeCalculated = 6, kTypeCalcX = 7, kTypeCalcY = 8, kTypeDifference = 9, kTypeSeries = 10,
    kTypeDerivative = 11, kTypePairMinus = 12, kTypePairPlus = 13, kTypePairDiv = 14,
    kTypePairMult = 15, kTypeNPoints = 16, kTypeSEM = 17, kTypeX2 = 18, kTypeSmooth = 19,
    kTypeFitResults = 20, kTypeFitInfo = 21, kTypeSummary = 22, kTypeSubset = 23, kTypeFTest = 24,
    kTypeParameters = 25, kTypeConstants = 26,
    kFirstTypeNumber = 0, kLastTypeNumber = 26,
};

// Edits the settings of a column type (the settings dialogs). The window layer
// installs one; without one a type keeps its settings as they are.
class CColumnSettingsEditor {
public:
    virtual ~CColumnSettingsEditor() = default;
    // Shows the settings of type for item; returns 1 when the user confirmed
    // (the editor has then stored the new settings in type), else 0.
    virtual int Edit(CDataColumnType& type, CDataTableItem* item) = 0;
};
CColumnSettingsEditor* SetColumnSettingsEditor(CColumnSettingsEditor* editor);
CColumnSettingsEditor* GetColumnSettingsEditor();

class CDataColumnType : public CData {
    DECLARE_SERIAL(CDataColumnType)
public:
    CDataColumnType() : CDataColumnType(kTypeNone, -1) {}
    CDataColumnType(int type, int column);

    void GetDisplayText(std::string& out, const CDataFormat& format) const override { out = m_name; }
    void GetPlainText(std::string& out) const override { out = m_name; }
    int GetKind() const override { return kColumnType; }
    int GetTypeNumber() const override { return m_type; }
    CData* Clone() const override;

    // Recomputes the column's cells (row -1: all rows).
    virtual void ComputeValue(int row, CDataTableItem* item, BOOL updateViews);
    // Runs the settings editor; 1 when the user confirmed.
    virtual int EditSettings(CDataTableItem* item);
    virtual int HasSettings() const { return 0; }
    virtual int IsEditable() const { return 1; }
    virtual int CanLock() const { return 0; }
    int IsLocked() const { return CanLock() && m_locked ? 1 : 0; }
    void SetLocked(CDataTableItem* item, BOOL locked);
    // Recomputes this column when one of the changed columns feeds it.
    virtual void PropagateChange(CDataTableItem* changedItem, CDataTableItem* ownItem, int column,
                                 std::vector<CDataColumnRef>& changes, std::map<int, int>& visited);
    // Whether this column's values depend on column of item. The walk follows
    // sources of sources; walked holds the columns already asked, so a cycle
    // in a damaged file ends the walk instead of the stack.
    virtual int DependsOn(CDataTableItem* item, int column, CDataTableItem* ownItem, std::set<int>& walked) const;
    int DependsOn(CDataTableItem* item, int column, CDataTableItem* ownItem) const;
    virtual void OnColumnsDeleted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count);
    virtual void OnColumnsInserted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count);
    // Reacts to a workspace notification (the kinds that show fit results
    // follow renamed and recalculated items). Base: nothing.
    virtual void OnNotify(CDataTableItem* item, const CUpdateNotification* notification) {}
    // A new cell for text typed into the column.
    virtual CData* MakeDataFromText(int row, std::string_view text);
    // A workspace notice, passed on by the item that owns the table; subject
    // is the notice's item when that is a data table item, else null.
    virtual void OnNotify(CDataTableItem* item, CDataTableItem* subject, CUpdateNotification& note) {}
    // The names of other items this column refers to, kept while items are
    // deleted and given back when the deletion is undone.
    virtual std::vector<std::string> GetLinks() const { return {}; }
    virtual void RestoreLinks(CDataTableItem* item, const std::vector<std::string>& links) {}

    // Tells every item that this column changed.
    void NotifyDependents(CDataTableItem* item);

    int GetColumn() const { return m_column; }
    void SetColumn(int column) { m_column = column; }
    const std::string& GetName() const { return m_name; }

    void Serialize(CArchive& ar) override;

protected:
    CDataColumnType(const CDataColumnType&) = default;
    // Asks the type of source (in ownItem's table) whether it depends on (item, column).
    static int SourceDependsOn(int source, CDataTableItem* item, int column, CDataTableItem* ownItem,
                               std::set<int>& walked);
    // The end of every computation: hint 113 when asked, then the notice and the modified flag.
    void FinishCompute(CDataTableItem* item, BOOL updateViews);
    // The settings editor (when one is set), then the whole column computed
    // again; 0 when the editor was cancelled.
    int EditThenRecompute(CDataTableItem* item);
    // Computes the data rows up to last for row -1, else row alone when it
    // lies inside; computeRow(r) replaces the cell of row r. Views are told
    // of the column or of that row.
    void ComputeRows(int row, CDataTableItem* item, BOOL updateViews, int last,
                     const std::function<void(int)>& computeRow);
    // Passes a change on through the own sources first, then recomputes the
    // rows of this column that depend on a changed (item, column).
    void PropagateThroughSources(CDataTableItem* changedItem, CDataTableItem* ownItem,
                                 const std::vector<int>& sources, std::vector<CDataColumnRef>& changes,
                                 std::map<int, int>& visited);

    int m_type;
    std::string m_name; // from the string table, never stored
    int m_column;
    int m_locked = 0;
};

// The type of that number for column, or null for a number outside 0 to 26
// and for a kind whose library has not registered it.
CDataColumnType* CreateColumnType(int type, int column);

// Kinds that show results of other workspace items live in libraries above
// this one; each registers its maker here when its library is loaded, so the
// table model creates them by number without depending on them.
using ColumnTypeMaker = CDataColumnType* (*)(int column);
void RegisterColumnType(int type, ColumnTypeMaker maker);

// Checks a source column chosen for column definedColumn of item: 0 when it
// may be used, else the message to show: 496 none chosen, 208 the column
// itself, 209 the source depends on the column being defined.
UINT CheckSourceColumn(CDataTableItem* item, int definedColumn, int source);

// The number of rows a computed column may fill: rows beyond the table's row
// limit are refused with a message.
int LimitComputedRows(int rows);
