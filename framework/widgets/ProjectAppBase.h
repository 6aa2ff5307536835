// The application base of every workspace program: it holds the workspace
// template with the one open workspace and the docked workspace list, answers
// the commands at the end of the command route (File/New, the list's width
// and icon style, the default Undo and Redo texts), asks to save a modified
// workspace, and refreshes the main window's icons.
#pragma once

#include "platform/widgets/CommandRouter.h"
#include "platform/Types.h"

#include <QObject>

#include <memory>
#include <string>

class CListViewBar;
class CProjectDocBase;
class CProjectFrameMDIMain;
class CProjectItemBase;
class CProjectTemplateBase;

class CProjectAppBase : public QObject, public CCmdTarget {
    Q_OBJECT
public:
    CProjectAppBase();
    ~CProjectAppBase() override;

    static CProjectAppBase* GetProjectApp();
    CProjectDocBase* GetProjectDoc() const;
    CListViewBar* GetListViewBar() const { return m_pListViewBar; }
    void SetListViewBar(CListViewBar* bar) { m_pListViewBar = bar; }
    CProjectTemplateBase* GetWorkspaceTemplate() const { return m_pWorkspaceTemplate.get(); }
    CProjectFrameMDIMain* GetMainWnd() const { return m_pMainWnd; }

    virtual bool CreateWorkspaceBar(CProjectFrameMDIMain* mainFrame) { return false; }
    virtual void LoadSettings();
    virtual void SaveSettings() {}
    virtual void UpdateMainIcons();
    // The template whose frames show the item's kind; null for kinds without windows.
    virtual CProjectTemplateBase* GetItemTemplate(const CProjectItemBase* item) const { return nullptr; }

    // Asks whether a modified workspace is to be saved; false when the user cancels.
    virtual bool SaveModified(CProjectDocBase* document);
    // Saves under the document's path, or asks for one; false when not saved.
    virtual bool DoSave(CProjectDocBase* document, bool askPath);
    // The path to save to, asked of the user; empty when cancelled.
    virtual std::string PromptSavePath(CProjectDocBase* document);

    // Turns an opened document into an untitled one.
    void MakeUntitled(CProjectDocBase* document);

    bool OnCmdMsg(UINT id, CCmdUI* ui) override;

    // Machine-wide measurement unit preference: 0 inches, 1 centimetres.
    int m_nMeasurement = 0;
    // Set while the workspace's stored windows are being reopened.
    int m_nWindowRestore = 0;

protected:
    std::unique_ptr<CProjectTemplateBase> m_pWorkspaceTemplate;
    CListViewBar* m_pListViewBar = nullptr;
    CProjectFrameMDIMain* m_pMainWnd = nullptr;
};

// The open workspace of the running application, or null.
CProjectDocBase* GetProjectDoc();
