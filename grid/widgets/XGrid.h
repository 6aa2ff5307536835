// The grid in which an equation's symbols are listed with their descriptions
// (X variables, parameters, constants): one row per symbol and an empty row at
// the end for a new one, so the grid always has symbols + 2 rows with its
// heading row. Rows are deleted and inserted from its context menu or with
// the two push buttons of its dialog.
#pragma once

#include "grid/widgets/GridCtrl.h"

#include <functional>
#include <string>
#include <vector>

class QPushButton;

enum : int {
    ID_EDIT_DELETE_ROW = 32970, ID_EDIT_INSERT_ROW = 32971,
    IDC_XGRID_DELETE_ROW = 1180, IDC_XGRID_INSERT_ROW = 1181,
};

class CXGrid : public CGridCtrl {
    Q_OBJECT
public:
    explicit CXGrid(QWidget* parent = nullptr);

    // Binds the grid to the owner's arrays (kept the same length) and its
    // changes-pending flag (may be null). With attachButtons, the dialog's
    // buttons 1180 "&Delete Row" and 1181 "&Insert Row" (found by their
    // "controlId" property) run the two commands; false when one is missing.
    bool Attach(int* pending, std::vector<std::string>* symbols, std::vector<std::string>* descriptions,
                bool attachButtons);
    // How the owner hears of a change.
    void SetChangeHandler(std::function<void()> handler) { m_onChanged = std::move(handler); }

    void SetRow(int index, const std::string& symbol, const std::string& description);
    void GetRow(int index, std::string& symbol, std::string& description) const;
    int GetCount() const { return m_pSymbols ? int(m_pSymbols->size()) : 0; }
    // Fits the columns to the window: row numbers, a third for the symbols, the rest for descriptions.
    void Refresh();

    void GetCellValueText(int row, int column, std::string& text) override;
    void GetHeaderText(int row, int column, std::string& text) override;
    int SetCellText(int row, int column, const std::string& text) override;

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CGridCmdState& state) override;
    void DeleteRows();
    void InsertRow();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void RouteKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnContextMenu(const QPoint& position) override;

private:
    void SyncRowCount();
    void Changed(bool wasPending);

    int* m_pPending = nullptr;
    std::vector<std::string>* m_pSymbols = nullptr;
    std::vector<std::string>* m_pDescriptions = nullptr;
    std::function<void()> m_onChanged;
    bool m_bInCommand = false;
};
