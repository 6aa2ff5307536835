// "Column Summary Statistics": the source column of a summary column. No
// source, or the column being defined, keeps the dialog open.
#pragma once

#include <QDialog>

class CDataTableItem;
class QListWidget;

class CColumnStatsDlg : public QDialog {
    Q_OBJECT
public:
    CColumnStatsDlg(CDataTableItem* item, int column, QWidget* parent = nullptr);
    int m_source = -1;
    QListWidget* Sources() const { return m_sources; }
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    int m_column;
    QListWidget* m_sources;
};
