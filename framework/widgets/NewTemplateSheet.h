// The "New" chooser: one tab for a user and a group folder ("General") and one
// for each of their subfolders, listing the files as icons, a list or details.
// The caller gives the folders, a caption and the first entry of the file
// menu, and reads back the chosen file's path.
#pragma once

#include "platform/Types.h"

#include "framework/widgets/HelpPropertySheet.h"

#include <string>
#include <vector>

class CTemplateTab;
class QPushButton;

class CNewTemplateSheet : public CHelpPropertySheet {
    Q_OBJECT
public:
    enum Display { LargeIcons = 0, List = 1, Details = 2 };
    // The context menus the program passes (their first entry is command 1).
    static constexpr UINT kNewFileMenu = 2004;
    static constexpr UINT kAddItemMenu = 422;

    CNewTemplateSheet(const std::string& userFolder, const std::string& groupFolder, QWidget* parent,
                      UINT contextMenuId, UINT captionId);

    // Runs the sheet; the display survives in the profile for the next run.
    int DoModal();
    const std::string& GetChosenPath() const { return m_chosenPath; }

    int GetDisplay() const { return m_display; }
    // Shows every tab in that view (the active one at once, the others when shown).
    void SetDisplay(int display);
    unsigned GetSortCode() const { return m_sortCode; }
    void SetSortCode(unsigned code) { m_sortCode = code; }

    const std::string& UserFolder() const { return m_userFolder; }
    const std::string& GroupFolder() const { return m_groupFolder; }
    UINT ContextMenuId() const { return m_contextMenuId; }

    int PageCount() const { return int(m_pages.size()); }
    CTemplateTab* Page(int index) const { return m_pages[std::size_t(index)]; }
    const std::string& PageTitle(int index) const { return m_titles[std::size_t(index)]; }
    void SetActivePage(int index);
    QPushButton* OkButton() const;

    // The page's OK: takes the selected file as the chosen path and closes.
    void PressOk();

    // Writes the display to the profile ("Preferences", "New Display").
    void SaveDisplay() const;

private:
    std::vector<CTemplateTab*> m_pages;
    std::vector<std::string> m_titles;
    std::string m_chosenPath;
    unsigned m_sortCode = 1;
    int m_display = List;
    std::string m_userFolder;
    std::string m_groupFolder;
    UINT m_contextMenuId;
};
