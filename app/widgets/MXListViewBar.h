// The program's workspace list: every edit the user makes here (rename,
// delete, cut, paste, move, drop) runs as an undoable action on the
// workspace's action list, and Undo and Redo reach that list while the list
// holds the focus.
#pragma once

#include "framework/widgets/ListViewBar.h"

class CMXDoc;

class CMXListViewBar : public CListViewBar {
    Q_OBJECT
public:
    explicit CMXListViewBar(QWidget* parent = nullptr);

    CMXDoc* GetMXDoc() const;

    void RenameItem(CProjectItemBase* item, const std::string& oldName, const std::string& newName) override;
    void DeleteSelectedItems() override;
    void MoveItems(int x, int y) override;
    bool PasteItems(const std::vector<BYTE>& data, const POINT* dropPoint, bool sameWindow) override;
    void CutSelectedItems() override;
    bool CopySelectedItems() override;
    QMenu* MakeContextMenu(int kind, QWidget* parent) override;
    QIcon ItemIcon(const CProjectItemBase* item, bool small) const override;

    bool OnCmdMsg(UINT id, CCmdUI* ui) override;

    // The picture of an item kind (a kind flag; 0 and unknown flags give the
    // stored-item picture), or its open form.
    static QIcon KindIcon(int kindFlag, bool open = false);
    // The name of that picture among the item pictures ("table", "graph", ...).
    static const char* KindIconName(int kindFlag);
};
