// The base of every named item of a workspace: its name and type text, its
// last-modified time, its page setup with header and footer, its id, its
// icons and its row in the workspace list, its frame's placement, and the
// stored record that precedes every item kind's own data.
#pragma once

#include "framework/DocItem.h"
#include "framework/ImageListData.h"
#include "platform/Types.h"

#include <string>
#include <string_view>

class CArchive;
class CItemListCtrl;
class CProjectDocBase;
class CProjectTemplateBase;

class CProjectItemBase : public CDocItem {
    DECLARE_SERIAL(CProjectItemBase)
public:
    // For loading: defaults, no document, no id.
    CProjectItemBase();
    // A new item: takes the document's next id, joins its item list and list.
    explicit CProjectItemBase(CProjectDocBase* document);
    ~CProjectItemBase() override;

    const std::string& GetName() const { return m_strName; }
    void GetName(std::string& out) const { out = m_strName; }
    // Sets the name and asks the document to renumber the item's windows.
    virtual void SetName(const std::string& name, int notify = 1);
    virtual void GetTypeName(std::string& out) const {}
    virtual CProjectTemplateBase* GetTemplate() const;
    // Shows or opens the item's window (through the document's window host).
    virtual bool OpenWindow();
    virtual void NotifyChanged() {}
    virtual void CloseWindow();
    virtual int GetContextMenuID() const { return -1; }
    virtual int GetIconIndex() const;
    virtual int GetAltIconIndex() const;
    virtual int GetLargeBitmapID() const { return 0; }
    virtual int GetSmallBitmapID() const { return 0; }
    virtual int GetStoreIconIndex() const { return 0; }
    virtual int GetLargeImageBase() const { return 0; }
    virtual int GetSmallImageBase() const { return 0; }
    // Expands an item-specific field of a printed header or footer.
    virtual bool GetFieldText(std::string& text, char code);

    // Names the item from a pattern: %1 empty on the first try, then " #2",
    // " #3", ...; %2 the optional text. Returns the number used (1 for the
    // plain name), or -1 without a document.
    int MakeUniqueName(std::string_view pattern, std::string_view text = {});
    int SetUniqueName(UINT patternStringId, std::string_view text = {});
    // Another item of the document with this name, compared without regard to case.
    CProjectItemBase* FindByName(std::string_view name) const;
    // When another item bears the name, renames this one to "Copy of ..." (or
    // "Another ..." when another is set), numbered until free.
    void MakeCopyName(bool another = false);

    // Stamps the time (when set) and sets the item's and the document's modified flags.
    void SetModified(bool modified);
    bool IsModified() const { return m_bModified; }
    void ClearModified() { m_bModified = false; }
    const SYSTEMTIME& GetModifiedTime() const { return m_timeModified; }
    void SetModifiedTime(const SYSTEMTIME& time) { m_timeModified = time; }
    std::string FormatTime() const;
    std::string FormatTimeLong() const;

    int GetItemId() const { return m_nItemId; }
    void SetItemId(int id) { m_nItemId = id; }

    // The item's row in the workspace list.
    CItemListCtrl* GetList() const;
    void InsertInList(CItemListCtrl& list);
    void UpdateListText();
    int GetListIndex() const;
    void SelectInList();
    bool IsSelectedInList() const;
    void SaveListPosition();
    // Records whether a window is open and dims the row of a closed item.
    void SetRowState(bool open);
    void OnFrameDestroyed();
    POINT GetListPosition() const { return m_ptListPos; }
    void SetListPosition(POINT position) { m_ptListPos = position; }

    void Serialize(CArchive& ar) override;
    // Called once the archive that read the item is closed: an item may then
    // rearrange what it read (the archive no longer refers to it).
    virtual void OnLoaded() {}
    // The item's list and window layout, kept in the workspace's main stream.
    void SerializeListLayout(CArchive& ar);
    static void SkipListLayout(CArchive& ar);

    // Sort order of the list's columns: keys bit 0x1 name, 0x2 type, 0x4
    // time; 0x8000 reverses.
    static int CompareItems(const CProjectItemBase& a, const CProjectItemBase& b, int keys);

    // The page setup, header and footer.
    RECT m_rcMargins{1000, 1000, 1000, 1000}; // thousandths of an inch
    int m_nOrientation = 1;                   // 1 portrait, 2 landscape
    int m_nFooterDistance = 300;
    int m_nHeaderDistance = 300;
    std::string m_strHeader;
    std::string m_strFooter;
    LOGFONT m_lfHeaderFooter;
    int m_nHeaderFooterSize = 100; // tenths of a point

    bool m_bDimWhenClosed = true;
    std::string m_strTypeText;
    int m_nOpenWindows = 0;
    int m_nNextWindowNumber = 1;
    bool m_bWindowOpen = false;
    WINDOWPLACEMENT m_wpFrame{0, 0, 0, {}, {}, {}};
    // The tab its form showed last, so that the item reopens on it (kept for
    // the session, not stored).
    int m_nSelectedTab = 0;
    int m_nKindValue = 0;
    int m_nIconOffset = 0;
    std::string m_strIconFile;
    int m_nIconSlot = -1;
    CImageListData m_largeIcons;
    CImageListData m_smallIcons;

    // The work area the layout records are written for and read into; the
    // program sets it from the screen.
    static SIZE s_workArea;

protected:
    std::string m_strName;
    SYSTEMTIME m_timeModified;
    int m_nItemId = 0;
    bool m_bModified = true;
    POINT m_ptListPos;

private:
    void InitDefaults();
    std::string FindFreeName(std::string_view pattern, std::string_view text, int* number) const;
};

// How dates show in the list and in printed headers; the program installs one
// that follows the user's locale.
using TimeFormatter = std::string (*)(const SYSTEMTIME& time, bool longDate, bool seconds);
void SetTimeFormatter(TimeFormatter formatter);
std::string FormatSystemTime(const SYSTEMTIME& time, bool longDate, bool seconds);
