// The workspace document base: keeps every item in a stream of its own inside
// a compound file, with a main stream that lists the items, the id counter and
// the layout of the item windows. It also owns the workspace-level undo list
// and the workspace list's model.
#pragma once

#include "framework/ActionList.h"
#include "framework/ItemListCtrl.h"
#include "framework/SummaryInfo.h"
#include "framework/WorkspaceHost.h"
#include "platform/Object.h"

#include <memory>
#include <string>
#include <vector>

class CArchive;
class CCompoundFile;
class CDocItem;
class CProjectItemBase;
class CStorage;

class CProjectDocBase : public CObject {
    DECLARE_DYNAMIC(CProjectDocBase)
public:
    // The name of the main stream inside the compound file.
    static constexpr const char* kMainStream = "Contents";

    CProjectDocBase();
    ~CProjectDocBase() override;
    CProjectDocBase(const CProjectDocBase&) = delete;
    CProjectDocBase& operator=(const CProjectDocBase&) = delete;

    // The document's items, in the order they joined. The document owns them.
    const std::vector<CDocItem*>& GetItems() const { return m_items; }
    void AddItem(CDocItem* item);
    // Takes the item out of the document (and its row out of the list) without deleting it.
    void RemoveItem(CDocItem* item);
    // The workspace items, in the order they joined.
    std::vector<CProjectItemBase*> GetProjectItems() const;

    int NextItemId() { return ++m_nLastItemId; }
    int GetLastItemId() const { return m_nLastItemId; }
    virtual int GetDefaultOrientation() const { return 1; }

    virtual CItemListCtrl* GetItemListCtrl() { return &m_list; }
    const CItemListCtrl& GetList() const { return m_list; }
    CActionList& GetActionList() { return m_actions; }

    CWorkspaceHost* GetHost() const { return m_pHost; }
    void SetHost(CWorkspaceHost* host) { m_pHost = host; }
    void AddView(CDocView* view);
    void RemoveView(CDocView* view);
    void UpdateAllViews(CDocView* sender, int hint = 0, CObject* object = nullptr);

    bool IsModified() const { return m_bModified; }
    virtual void SetModifiedFlag(bool modified = true) { m_bModified = modified; }
    const std::string& GetPathName() const { return m_strPathName; }
    void SetPathName(const std::string& path);
    const std::string& GetTitle() const { return m_strTitle; }
    void SetTitle(const std::string& title) { m_strTitle = title; }
    bool IsNewWorkspace() const { return m_bNewWorkspace; }

    // Document events. Open and save return false after reporting what failed.
    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const std::string& path);
    // After an open that failed: whether the workspace's contents went with
    // it (it is then a new, empty workspace) or were left as they were.
    bool OpenReplacedContents() const { return m_bOpenReplacedContents; }
    virtual bool OnSaveDocument(const std::string& path);
    // Deletes every item and forgets the workspace.
    virtual void DeleteContents();

    // The main stream after the program's prefix.
    void Serialize(CArchive& ar) override;
    virtual void StoreItem(CArchive& ar, CDocItem* item);
    void LoadItem(CArchive& ar);
    void SerializeItems(CArchive& ar);
    virtual bool IsWorkspaceItem(const CDocItem* item) const;
    // A blank item to stand in for one whose stream is missing; none in the base.
    virtual CProjectItemBase* CreateDefaultItem() { return nullptr; }
    // Fills the application-name and author texts of the summary information.
    virtual void GetProductNames(std::string& name, std::string& author) const {}
    // The workspace's summary information (title, author, revision, times).
    CSummaryInfo& GetSummaryInfo() { return *m_summary; }

    // Notes that a deleted item's stream is to go at the next save.
    void MarkItemStreamDeleted(const CProjectItemBase* item);
    void DestroyDeletedStreams();
    static std::string ItemStreamName(int id);

    // 1-based position of the item among the workspace items; 0 for none.
    int GetItemOrdinal(const CProjectItemBase* item) const;
    // Renumbers the item windows so that their titles carry ":n" when an item has several.
    virtual void UpdateFrameCounts();
    virtual void CloseAllItemWindows();

    // The item whose window is being created (a new window binds itself to it).
    CProjectItemBase* m_pItemBeingOpened = nullptr;

protected:
    // Runs ar over the compound file being read or written.
    CStorage* GetRootStorage() const;
    void ReportException(const std::exception& e, bool saving, const std::string& path);

    bool m_bNewWorkspace = true;
    bool m_bOpenReplacedContents = false;

private:
    void StoreWindowState(CArchive& ar, const std::vector<CWorkspaceHost::FrameState>& frames);
    void LoadWindowState(int count, CArchive& ar);

    std::vector<CDocItem*> m_items;
    int m_nLastItemId = 0;
    int m_nSkippedItems = 0; // items of unknown classes passed over by the last load
    std::vector<std::string> m_recoveredItems; // names of the stand-ins for damaged items of the last load
    std::vector<std::string> m_pendingStreams;
    CActionList m_actions;
    CItemListCtrl m_list;
    CWorkspaceHost* m_pHost = nullptr;
    std::vector<CDocView*> m_views;
    bool m_bModified = false;
    std::string m_strPathName;
    std::string m_strTitle;
    std::unique_ptr<CCompoundFile> m_file;
    std::unique_ptr<CSummaryInfo> m_summary = std::make_unique<CSummaryInfo>();
};
