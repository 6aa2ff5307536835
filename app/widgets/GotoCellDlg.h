// "Go to Cell": a row and a column as the data view numbers them. Row -1 is
// the Type row, 0 the Column Name row and 1 the first data row; columns are
// the 1-based column numbers. The caller reads the members after OK.
#pragma once

#include <QDialog>

class CDataExchange;
class QLineEdit;

class CGotoCellDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kLargest = 1073741820;

    explicit CGotoCellDlg(QWidget* parent = nullptr);

    int m_nColumn = 0;
    int m_nRow = 0;
    // The table's real extent: the last row and column a user may name.
    int m_nMaxRow = kLargest;
    int m_nMaxColumn = kLargest;

    // Moves the members to the controls (false) or checks and takes the controls' values (true).
    bool UpdateData(bool save);
    QLineEdit* RowEdit() const { return m_row; }
    QLineEdit* ColumnEdit() const { return m_column; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* m_row;
    QLineEdit* m_column;
};

// An integer from the edit within [minimum, maximum]; a failed check shows
// the range message and ends the exchange.
void DDX_IntRange(CDataExchange* pDX, QLineEdit* edit, int& value, int minimum, int maximum);
