// Carries selected workspace items to the clipboard or a drop target in the
// private workspace format: the items as a framework object array, their icon
// positions, and the index of the focused one.
#pragma once

#include "platform/Clipboard.h"
#include "platform/Types.h"

#include <memory>
#include <vector>

class CArchive;
class CProjectDocBase;
class CProjectItemBase;

class CProjectServerItem {
public:
    explicit CProjectServerItem(CProjectDocBase* document) : m_pDocument(document) {}

    void AddItem(CProjectItemBase* item, int x, int y);
    void SetFocusedIndex(int index) { m_focused = index; }
    // The source list while a drag runs; 0 otherwise.
    void SetPrivateValue(std::uint32_t value) { m_private = value; }

    // The formats the items are offered in.
    ClipboardFormats GetClipboardData() const;
    bool CopyToClipboard() const;

    // The bytes of the workspace-data format.
    std::vector<BYTE> WorkspaceData() const;

    // What a reader gets back: new items (not yet in any document), positions
    // and the focused index. Every count is checked against the data.
    struct Contents {
        std::vector<std::unique_ptr<CProjectItemBase>> items;
        std::vector<POINT> positions;
        int focused = -1;
    };
    static Contents ReadWorkspaceData(const std::vector<BYTE>& bytes, CProjectDocBase* document);

private:
    CProjectDocBase* m_pDocument;
    std::vector<CProjectItemBase*> m_items;
    std::vector<POINT> m_positions;
    int m_focused = -1;
    std::uint32_t m_private = 0;
};
