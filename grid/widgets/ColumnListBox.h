// List boxes of a data table's columns by name, for the dialogs in which the
// user picks source columns: one column (CColumnListBox) or several with
// check boxes (CColumnCheckListBox), the latter counting the checked ones in
// a label. Entry i is table column i: entries are never sorted or filtered.
#pragma once

#include <QListWidget>

#include <string>
#include <vector>

// What the lists read of a data table.
class CColumnNameSource {
public:
    virtual ~CColumnNameSource() = default;
    virtual int GetLastColumn() const = 0;
    // The name cell, or "(Column n)" with the 1-based number when it is empty.
    virtual std::string GetColumnName(int column) const = 0;
};

class CColumnListBox : public QListWidget {
    Q_OBJECT
public:
    explicit CColumnListBox(QWidget* parent = nullptr) : QListWidget(parent) {}
    void FillColumns(const CColumnNameSource& source, int minimumCount);
    int GetColumnCount() const { return m_nCount; }

private:
    int m_nCount = 0;
};

class CColumnCheckListBox : public QListWidget {
    Q_OBJECT
public:
    explicit CColumnCheckListBox(QWidget* parent = nullptr);
    // labelId: the "controlId" of a label in the parent (-1 none); labelStringId its "%d" format text.
    void FillColumns(const CColumnNameSource& source, int excludedColumn, int labelId, unsigned labelStringId);
    void UpdateLabel();
    bool IsChecked(int index) const;
    void SetChecked(int index, bool checked);
    int CheckedCount() const;

private:
    int m_nExcluded = -1;
    int m_nLabelId = -1;
    unsigned m_nLabelStringId = 0;
};

// Saving: the checked entries in ascending order, nothing from a disabled
// list. Loading: exactly the listed entries checked. An empty list does nothing.
void DDX_ColumnCheckList(bool save, CColumnCheckListBox& list, std::vector<int>& columns);
