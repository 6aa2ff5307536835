// The graph item: a printable page of drawing objects on which graphs,
// texts and shapes lie, the zoom its window shows it at, and what it offers
// other programs under its name. Workspace notices reach every object of the
// page, so that graphs follow the data, fits and equations they show.
#pragma once

#include "app/MXProjectItem.h"
#include "draw/DrawData.h"
#include "draw/DrawSrvrItem.h"

#include <functional>
#include <memory>
#include <string>

class CMXGraph;

// The page of a graph item: changes mark the item modified, and the extent
// offered to other programs is brought up to date at most once a second
// while a window shows the page.
class CMXDrawData : public CDrawData {
    DECLARE_SERIAL(CMXDrawData)
public:
    CMXDrawData() = default;

    void SetModified(bool modified) override;
    void UpdateServerExtent() override;
    // The owning item's workspace, wherever the item moves.
    CProjectDocBase* GetDocument() const override;

    CMXGraph* GetOwner() const { return m_pOwner; }
    void SetOwner(CMXGraph* owner) { m_pOwner = owner; }
    // The open window's timer that brings the extent up to date later; none: at once.
    void SetExtentTimer(std::function<void()> start) { m_startExtentTimer = std::move(start); }
    // The timer ran out: the extent is computed now.
    void OnExtentTimer() { CDrawData::UpdateServerExtent(); }

private:
    CMXGraph* m_pOwner = nullptr;
    std::function<void()> m_startExtentTimer;
};

// What a graph item offers other programs, under the item's name.
class CGraphServerItem : public CDrawSrvrItem {
public:
    CGraphServerItem(CProjectDocBase* document, CMXGraph* graph, CDrawData* page, std::string name);

    bool IsCopyEmbedded() override { return m_bCopyEmbedded; }
    CDrawViewBase* GetActiveDrawView() override;
    const std::string& GetItemName() const { return m_strName; }

    bool m_bCopyEmbedded = true;
    // The view that shows the served graph (the program sets it as windows come and go).
    static std::function<CDrawViewBase*(CMXGraph*)> s_findView;

private:
    CMXGraph* m_pGraph;
    std::string m_strName;
};

class CMXGraph : public CMXProjectItem {
    DECLARE_SERIAL(CMXGraph)
public:
    CMXGraph();
    explicit CMXGraph(CProjectDocBase* document);
    ~CMXGraph() override;

    void GetTypeName(std::string& out) const override;
    int GetKindFlag() const override { return KIND_GRAPH; }
    int GetStoreIconIndex() const override { return 3; }
    int GetLargeBitmapID() const override { return 356; }
    int GetSmallBitmapID() const override { return 357; }
    UINT GetNamePatternID() const override { return 113; }
    UINT GetTypeTextID() const override { return 173; }

    void SetName(const std::string& name, int notify = 1) override;
    void OnItemNotify(CUpdateNotification& note) override;
    void Serialize(CArchive& ar) override;

    CMXDrawData& GetPage() { return m_page; }
    // The item's page setup (margins in thousandths of an inch, orientation)
    // carried to the page after the page-setup dialog.
    void ApplyPageSetupToPage();
    int GetZoom() const { return m_nZoom; }
    void SetZoom(int percent) { m_nZoom = percent; }
    CGraphServerItem* GetServerItem() const { return m_pServerItem.get(); }

private:
    void MakeServerItem();

    CMXDrawData m_page;
    std::unique_ptr<CGraphServerItem> m_pServerItem;
    int m_nZoom = 100;
};
