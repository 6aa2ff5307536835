// "Sort Data": the index column, the columns sorted with it and the order.
// Only columns of entered values take part; a computed column is neither
// offered as index nor can it be checked. OK records the undoable sort.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class CDataView;
class CMXGrid;
class QComboBox;
class QLabel;
class QListWidget;
class QRadioButton;

class CSortDataDlg : public QDialog {
    Q_OBJECT
public:
    CSortDataDlg(CMXGrid* item, int indexColumn, QWidget* parent = nullptr);

    // Preselects the columns of the view's selected ranges (not those that
    // begin in the heading column, nor computed columns).
    void InitFromSelection(const CDataView& view);
    // After OK: the sort, through the item's action list.
    bool RecordUndo(CDataView& view);

    std::string m_indexName;
    int m_nIndexColumn;
    std::vector<int> m_columns;
    int m_nOrder = 0; // 0 ascending, 1 descending

    QComboBox* IndexCombo() const { return m_index; }
    QListWidget* List() const { return m_list; }
    QRadioButton* DescendingButton() const { return m_descending; }
    void accept() override;

private:
    void UpdateCount();
    CMXGrid* m_pItem;
    QComboBox* m_index;
    QListWidget* m_list;
    QLabel* m_count;
    QRadioButton* m_ascending;
    QRadioButton* m_descending;
};
