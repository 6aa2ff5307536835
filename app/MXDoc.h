// The program's workspace document: the file prefix with its magic and the
// dispatch of older formats, the served graph's name, lookups of items by
// name, the broadcast of change notices to items, and the save that waits for
// background calculations.
#pragma once

#include "draw/DrawText.h"
#include "framework/ProjectDocBase.h"
#include "graph/GraphSources.h"

#include <string>
#include <string_view>
#include <vector>

class CMXProjectItem;
class CUpdateNotification;

class CMXDoc : public CProjectDocBase, public CGraphSources, public CTextFieldSource {
    DECLARE_DYNAMIC(CMXDoc)
public:
    static constexpr char kMagic[6] = {'M', 'X', '4', 'V', 'Z', 'K'};

    CMXDoc() = default;

    void Serialize(CArchive& ar) override;

    // The workspace item of that name (without regard to case), in list row order; null when none.
    CMXProjectItem* FindItem(std::string_view name) const;
    // What graphs read of the workspace.
    CMXProjectItem* FindGraphItem(std::string_view name) const override { return FindItem(name); }
    const CMyData* FindTable(std::string_view name, CMXProjectItem** item = nullptr) const override;
    CGraphFitSource* FindFit(std::string_view name) const override;
    const CEquationBase* FindEquation(std::string_view name) const override;
    const CTransformation* FindTransformation(std::string_view name, const CEquationBase** equation) const override;
    bool GetAssociatedX(const CMyData& table, int column, std::vector<double>& values) const override;
    // The fields of graph texts: the named item's own answer.
    bool GetItemFieldText(std::string_view item, std::string_view name, std::string_view argument,
                          std::string& text) const override;

    // Names of the items whose kind flag shares a bit with the mask, in row order.
    int GetItemNames(int kindMask, std::vector<std::string>& names) const;
    // Tells the subject first (when included), then every other item.
    void NotifyItems(CUpdateNotification& note, bool includeSubject);

    const std::string& GetServedItemName() const { return m_strServedItem; }
    void SetServedItemName(const char* name) { m_strServedItem = name ? name : ""; }

    bool IsWorkspaceItem(const CDocItem* item) const override;
    CProjectItemBase* CreateDefaultItem() override;
    void GetProductNames(std::string& name, std::string& author) const override;
    // Waits for (or, when the user declines, refuses to save during) background calculations.
    bool OnSaveDocument(const std::string& path) override;
    // Compound files go to the base; the flat files of version 3 are
    // converted into a new workspace (see WasConvertedData and
    // WasVersion3Equations); any other file is refused with a message.
    bool OnOpenDocument(const std::string& path) override;

    // Set by the last load when it converted a version-3 data or workspace
    // file, or a version-3 equation file; cleared by every Serialize.
    bool WasConvertedData() const { return m_bConvertedData; }
    bool WasVersion3Equations() const { return m_bVersion3Equations; }
    // The notice that the program shows after opening a converted file
    // (string id), or 0 when the last load was no conversion.
    UINT GetConversionNoticeID() const;

    // The items in list row order (items without a row follow in document order).
    std::vector<CMXProjectItem*> ItemsInRowOrder() const;

    // The author name that summary information records (from the user information).
    static std::string s_author;

private:
    bool LoadFlatFile(const std::string& path);

    std::string m_strServedItem;
    bool m_bVersion3Equations = false;
    bool m_bConvertedData = false;
};
