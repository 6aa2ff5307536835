// A help-aware sheet of preference pages with OK, Cancel and Apply, whose
// pages check their fields before any of them is applied.
#pragma once

#include "framework/widgets/HelpPropertySheet.h"

#include <vector>

class CPreferencePage;
class CPreferences;
class CProjectDocBase;
class QPushButton;

class COptionsSheet : public CHelpPropertySheet {
    Q_OBJECT
public:
    explicit COptionsSheet(const QString& caption, QWidget* parent = nullptr);

    // The sheet takes the page (as a child widget).
    void AddPage(CPreferencePage* page);
    int PageCount() const { return int(m_pages.size()); }
    CPreferencePage* Page(int index) const { return m_pages[std::size_t(index)]; }
    void SetActivePage(int index);
    CPreferencePage* ActivePage() const;

    // After changes have been applied Cancel can no longer undo them: it reads "Close".
    void SetCancelToClose();
    QPushButton* OkButton() const;
    QPushButton* CancelButton() const;
    QPushButton* ApplyButton() const;

    // Saves and applies every page that was opened; false (and the failing
    // page shown) when a page's check fails.
    bool Apply();

    // The sheet's pages in order: Directories, Data Filters, Number Format,
    // User Info, Options. The document's views are refreshed when number
    // characters change.
    void AddStandardPages(CPreferences& preferences, CProjectDocBase* document = nullptr);

public slots:
    void accept() override;

private:
    void OnCurrentChanged(int index);
    void UpdateApplyButton();

    std::vector<CPreferencePage*> m_pages;
};

// Runs the Options sheet on the preferences; 1 when it ended with OK, else 0.
int ShowOptionsSheet(QWidget* parent, CPreferences& preferences, CProjectDocBase* document = nullptr);
