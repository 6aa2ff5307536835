// The transformation item: a transformation of data points and curves that
// refers to an equation item by name.
#pragma once

#include "app/MXEquationBase.h"
#include "equation/Transformation.h"
#include "platform/StringIds.h"

class CMXTransform : public CMXProjectItem {
    DECLARE_SERIAL(CMXTransform)
public:
    CMXTransform();
    explicit CMXTransform(CProjectDocBase* document);

    void GetTypeName(std::string& out) const override;
    int GetKindFlag() const override { return KIND_TRANSFORM; }
    int GetStoreIconIndex() const override { return 8; }
    int GetLargeBitmapID() const override { return 455; }
    int GetSmallBitmapID() const override { return 454; }
    UINT GetNamePatternID() const override { return IDS_TRANSFORM_NAME_PATTERN; }
    UINT GetTypeTextID() const override { return IDS_TRANSFORMATION_TYPE_TEXT; }

    CTransformation& GetTransformation() { return m_transformation; }
    // The item the transformation refers to; none when it is missing.
    CMXProjectItem* FindSourceItem() const;
    bool SetTransformName(const std::string& name);

    // Follows renames and deletions of the item it refers to.
    void OnItemNotify(CUpdateNotification& note) override;
    std::vector<BYTE> SaveLinks() const override;
    void RestoreLinks(const std::vector<BYTE>& links) override;

    void Serialize(CArchive& ar) override;

    // Main heading, subheading and normal text.
    ItemFont m_fonts[3];
    int m_indents[2] = {500, 2500};

private:
    void InitFonts();
    CTransformation m_transformation;
};
