// A notepad: free rich text about the study, kept with the workspace.
#pragma once

#include "app/MXProjectItem.h"
#include "platform/StringIds.h"
#include "ui/RichData.h"

class CMXNotes : public CMXProjectItem {
    DECLARE_SERIAL(CMXNotes)
public:
    CMXNotes();
    explicit CMXNotes(CProjectDocBase* document);

    void GetTypeName(std::string& out) const override;
    int GetKindFlag() const override { return KIND_NOTES; }
    int GetStoreIconIndex() const override { return 5; }
    int GetLargeBitmapID() const override { return 362; }
    int GetSmallBitmapID() const override { return 364; }
    UINT GetNamePatternID() const override { return IDS_NOTES_NAME_PATTERN; }
    UINT GetTypeTextID() const override { return IDS_NOTES_TYPE_TEXT; }

    CRichData& GetRichData() { return m_richData; }
    const CRichData& GetRichData() const { return m_richData; }

    void Serialize(CArchive& ar) override;

private:
    CRichData m_richData;
};
