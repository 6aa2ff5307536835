// The program's base of every workspace item kind: the item's own undo list,
// the broadcast of renames and changes to the other items, the per-kind
// answers, hooks for background calculation, and stored-item files.
#pragma once

#include "framework/ActionList.h"
#include "framework/ProjectItemBase.h"

#include <string>
#include <string_view>
#include <vector>

class CMXDoc;
class CUpdateNotification;

// One bit per item kind, so that choosers can keep the kinds they want.
enum ItemKindFlag : int {
    KIND_DATA = 1,
    KIND_GRAPH = 2,
    KIND_NOTES = 4,
    KIND_EQUATION = 8,
    KIND_LINEAR = 16,
    KIND_NONLINEAR = 32,
    KIND_TRANSFORM = 64,
    KIND_HARD_EQUATION = 128,
};

class CMXProjectItem : public CProjectItemBase {
    DECLARE_SERIAL(CMXProjectItem)
public:
    CMXProjectItem() = default;
    explicit CMXProjectItem(CProjectDocBase* document) : CProjectItemBase(document) {}

    CMXDoc* GetMXDoc() const;
    CActionList& GetActionList() { return m_actions; }

    // Broadcasts a rename (kind 0) to every item when notify is set; an unchanged name does nothing.
    void SetName(const std::string& name, int notify = 1) override;
    // Tells every item and view that this item changed (kind 8).
    void NotifyChanged() override;
    int GetContextMenuID() const override { return 147; }

    virtual int GetKindFlag() const { return 0; }
    // Expands a named field of a printed header or graph text with its parameter
    // text; returns 1 (with the error text) when the field or parameter is bad.
    using CProjectItemBase::GetFieldText;
    virtual int GetFieldText(std::string& text, std::string_view field, std::string_view parameter);
    // The name pattern of new items of the kind (string id; 0 for none) and the list's type text id.
    virtual UINT GetNamePatternID() const { return 0; }
    virtual UINT GetTypeTextID() const { return 0; }
    virtual void OnBackgroundMessage(int code, long long value) {}
    virtual void OnItemNotify(CUpdateNotification& note) {}
    virtual bool IsCalculating() const { return false; }
    virtual void WaitForCalculation() {}
    virtual void StopCalculation() {}
    // The references this item holds to other items, as bytes of its own
    // choosing: taken before items are deleted and given back when the
    // deletion is undone, since a deletion makes referrers drop their links.
    virtual std::vector<BYTE> SaveLinks() const { return {}; }
    virtual void RestoreLinks(const std::vector<BYTE>& links) {}

    // Gives a new item its kind's unique name and type text.
    void InitNewItem();

    void Serialize(CArchive& ar) override;

    // The stored-item file: "MX Item" and a zero, version 0, the icon index, then the item.
    void SaveToFile(const std::string& path);
    static constexpr char kStoredItemMagic[8] = {'M', 'X', ' ', 'I', 't', 'e', 'm', '\0'};

private:
    CActionList m_actions;
};
