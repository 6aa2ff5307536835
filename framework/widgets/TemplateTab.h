// One tab of the New chooser: the files of its folder (and of the group
// folder's folder of the same name), sortable by column, with a file menu.
#pragma once

#include "framework/TemplateFolder.h"

#include <QWidget>

#include <vector>

class CNewTemplateSheet;
class QAction;
class QListView;
class QMenu;
class QStackedWidget;
class QStandardItemModel;
class QToolBar;
class QTreeView;

class CTemplateTab : public QWidget {
    Q_OBJECT
public:
    CTemplateTab(CNewTemplateSheet* sheet, const std::string& title, bool general);

    void OnInitDialog();
    bool IsInitialised() const { return m_initialised; }
    void FillList();
    // Applies the sheet's display.
    void OnSetActive();
    void SetDisplay(int display);

    // The rows in their shown order.
    const std::vector<CTemplateFileRecord>& Records() const { return m_records; }
    // The selected row (-1: none) and selecting one.
    int SelectedRow() const;
    void SelectRow(int row);
    // A header click on a column (0 name, 1 size, 2 type, 3 modified).
    void OnColumnClick(int column);
    // The file menu of the selected row, built but not shown (for the caller to exec).
    QMenu* BuildContextMenu();
    // Carries out a file-menu command: 1 the program's own entry (OK), then
    // open, show in folder, rename (to the name given, or asked for), move to trash.
    enum Command { CmdOwn = 1, CmdOpen = 2, CmdShowInFolder = 3, CmdRename = 4, CmdTrash = 5 };
    bool RunCommand(int command, const QString& newName = QString());

    QListView* ListView() const { return m_listView; }
    QTreeView* DetailsView() const { return m_treeView; }
    QAction* ViewAction(int display) const { return m_viewActions[display]; }

    // The Modified column: short date and time, the date alone at midnight.
    static QString FormatModified(std::int64_t nanoseconds);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateOk();
    void ShowContextMenu(const QPoint& globalPos);
    void SizeColumns();
    void Resort();
    void FillRows();

    CNewTemplateSheet* m_sheet;
    std::string m_title;
    bool m_general;
    bool m_initialised = false;
    std::vector<CTemplateFileRecord> m_records;
    QStandardItemModel* m_model;
    QToolBar* m_toolBar;
    QAction* m_viewActions[3] = {};
    QStackedWidget* m_stack;
    QListView* m_listView;
    QTreeView* m_treeView;
};
