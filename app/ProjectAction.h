// Undoable changes of the workspace's item list. Each action takes a picture
// of the workspace list (view settings, each row's state and icon position) so
// that undo and redo put the list back as the user saw it.
#pragma once

#include "framework/Action.h"
#include "platform/File.h"
#include "platform/Types.h"

#include <string>
#include <vector>

class CMXDoc;
class CMXProjectItem;
class CProjectItemBase;

class CProjectAction : public CAction {
    DECLARE_DYNAMIC(CProjectAction)
public:
    CProjectAction(CMXDoc* document, UINT textId);
    CProjectAction(CMXDoc* document, std::string text);

    int Do() override;
    int Redo() override;
    int Undo() override;
    int CanUndo() override { return 1; }
    int CanRedo() override { return 1; }

    void CaptureState();
    void RestoreState();

protected:
    CMXDoc* m_pDocument;

private:
    struct RowState {
        UINT state = 0;
        POINT position;
        std::string name;
    };
    int m_viewMode = 0;
    int m_alignment = 3;
    bool m_autoArrange = true;
    std::vector<RowState> m_rows;
};

class CProjectItemRename : public CProjectAction {
    DECLARE_DYNAMIC(CProjectItemRename)
public:
    CProjectItemRename(CMXDoc* document, CProjectItemBase* item, std::string newName);
    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    // Renames the row that bears from to to; 0 when there is none.
    int RenameRow(const std::string& from, const std::string& to);
    std::string m_oldName;
    std::string m_newName;
    CProjectItemBase* m_pItem;
};

// Removes the selected items, keeping them (with their positions, placements
// and open windows) in a memory file so that undo can bring them back.
class CProjectItemDelete : public CProjectAction {
    DECLARE_DYNAMIC(CProjectItemDelete)
public:
    CProjectItemDelete(CMXDoc* document, UINT textId);
    int Do() override;
    int Redo() override;
    int Undo() override;

protected:
    bool StoreSelectedItems();
    bool DeleteSelectedItems();
    void ReadItemsBack();
    // Cut puts the items on the clipboard between storing and deleting.
    virtual bool BeforeDelete() { return true; }

private:
    // Asks every item for the links it holds, so that undo can restore them.
    void SaveLinks();
    CMemFile m_store;
    std::vector<std::pair<std::string, std::vector<BYTE>>> m_links;
};

class CProjectItemDeleteItem : public CProjectItemDelete {
    DECLARE_DYNAMIC(CProjectItemDeleteItem)
public:
    explicit CProjectItemDeleteItem(CMXDoc* document);
};

class CProjectItemCut : public CProjectItemDelete {
    DECLARE_DYNAMIC(CProjectItemCut)
public:
    explicit CProjectItemCut(CMXDoc* document);

protected:
    bool BeforeDelete() override;
};

class CProjectItemMove : public CProjectAction {
    DECLARE_DYNAMIC(CProjectItemMove)
public:
    CProjectItemMove(CMXDoc* document, POINT target);
    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    void PlaceSelected(POINT target);
    POINT m_target;
};

// Puts the selected items on the clipboard in the workspace format (no undo step).
bool CopySelectedItems(CMXDoc* document);

class CProjectItemPaste : public CProjectAction {
    DECLARE_DYNAMIC(CProjectItemPaste)
public:
    // data: the workspace-format bytes; drop point given for a drop.
    CProjectItemPaste(CMXDoc* document, std::vector<BYTE> data, const POINT* dropPoint = nullptr);
    int Do() override;
    int Redo() override { return 0; }
    int Undo() override;
    int CanUndo() override;
    int CanRedo() override { return 0; }

private:
    std::vector<BYTE> m_data;
    bool m_hasDrop = false;
    POINT m_drop;
    struct Pasted {
        std::string name;
        SYSTEMTIME time;
    };
    std::vector<Pasted> m_pasted;
};

// Adds one new item; the kinds supply CreateItem.
class CProjectItemAdd : public CProjectAction {
    DECLARE_DYNAMIC(CProjectItemAdd)
public:
    CProjectItemAdd(CMXDoc* document, UINT textId);
    int Do() override;
    int Redo() override;
    int Undo() override;
    int CanUndo() override;

    // The item made by the last Do or Redo (null after an undo).
    CMXProjectItem* GetAddedItem() const { return m_pAdded; }

protected:
    virtual CMXProjectItem* CreateItem(CMXDoc* document) = 0;

private:
    int Add(bool openWindow);
    CMXProjectItem* FindAdded() const;
    std::string m_name;
    SYSTEMTIME m_time;
    CMXProjectItem* m_pAdded = nullptr;
};
