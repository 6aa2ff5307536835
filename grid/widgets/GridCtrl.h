// A grid as a child control of a dialog or form: it owns its grid data, walks
// its cells with Tab and Shift+Tab and leaves them for the dialog's next or
// previous control at either end. The small editable grids of the program
// derive from it and supply cell classes and texts.
#pragma once

#include "grid/GridData.h"
#include "grid/widgets/GridWindow.h"

#include <utility>
#include <vector>

class CGridCtrl : public CGridWindow {
    Q_OBJECT
public:
    explicit CGridCtrl(QWidget* parent = nullptr);
    ~CGridCtrl() override;

    // Takes the place of the dialog's placeholder child whose "controlId"
    // property is id (its geometry, its place in a layout and in the tab
    // order); without one the control goes at rect. Builds the fonts.
    bool CreateInDialog(QWidget* parent, int id, const QRect& rect);

    // The keys the control wants from its dialog: arrows and all keys.
    virtual int GetDlgCode() const { return 5; }

    // A control's grid has no heading rows or columns and no default cell
    // class until its subclass names them.
    void InitCells() override;
    void BroadcastGridEvent(CGridEngine& sender, int code, const void* data) override;

    CGridData& GetData() { return m_data; }

    // The edit menu of a small grid (Undo, Cut, Copy, Paste, Clear), then the
    // grid's own entries after a separator; the chosen command runs.
    using MenuEntries = std::vector<std::pair<const char*, int>>;
    void ShowEditMenu(const QPoint& position, const MenuEntries& extra = {});
    // Three columns fitted to the window, less a few pixels: row numbers
    // three digits wide, a third of the rest, and what remains.
    void FitNumberedColumns(int lessPixels);
    // The listed edit commands act only while the current cell is in that
    // column; elsewhere they are greyed and do nothing.
    void LimitEditCommands(int column, std::vector<int> ids);

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CGridCmdState& state) override;

protected:
    void RouteKeyDown(UINT key, UINT repeat, UINT flags) override;
    // Moves to the next (previous) cell, or the focus to the next (previous) control.
    void TabWalk(bool backward);

    CGridData m_data;

private:
    bool IsLimited(int id) const;
    int m_nEditColumn = -1;
    std::vector<int> m_limitedIds;
};
