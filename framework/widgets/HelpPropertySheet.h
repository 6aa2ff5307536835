// The base of every property sheet of the program: pages on tabs, OK, Cancel
// and Apply. While the help style is on (it always is), sheets show no Help
// button: help comes from the title bar's "?" button and "What's This?" on
// each control.
#pragma once

#include "platform/Types.h"

#include <QDialog>

class QDialogButtonBox;
class QTabWidget;

// The process-wide help style switch: 1 (context help instead of Help buttons).
extern int g_nHelpStyle;

class CHelpPropertySheet : public QDialog {
    Q_OBJECT
public:
    CHelpPropertySheet(UINT captionId, QWidget* parent = nullptr, int selectPage = 0);
    CHelpPropertySheet(const QString& caption, QWidget* parent = nullptr, int selectPage = 0);

    // Adds a page under its tab title (the page's window title when empty).
    void AddPage(QWidget* page, const QString& title = {});
    int GetPageCount() const;
    QWidget* GetPage(int index) const;
    int GetActiveIndex() const;
    void SetActivePage(int index);
    bool HasHelpButton() const;
    QDialogButtonBox* GetButtons() const { return m_buttons; }
    QTabWidget* GetTabs() const { return m_tabs; }

    // Tabs keep to one row on this platform; the flag is kept for the pages
    // that ask it.
    int m_bStacked = 1;

signals:
    // Apply, and OK before the sheet closes: the pages store their values.
    void applied();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Init(const QString& caption, int selectPage);

    QTabWidget* m_tabs = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    int m_nSelectPage = 0;
};
