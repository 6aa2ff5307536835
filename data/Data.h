// Root of the values stored in a data table: numbers, texts, their forms with
// a descriptor, and column types. A cell answers how it is shown, how it is
// copied as text and what kind of value it is.
#pragma once

#include "platform/Object.h"

#include <string>

class CDataFormat;

class CData : public CObject {
    DECLARE_SERIAL(CData)
public:
    enum Kind : int { kBase = 0, kNumber = 1, kText = 2, kColumnType = 3 };
    enum Alignment : int { kAlignLeft = 0, kAlignRight = 2 };

    CData() = default;

    // The text shown in a grid; the base leaves out unchanged.
    virtual void GetDisplayText(std::string& out, const CDataFormat& format) const;
    // The text used for copying and export; the base leaves out unchanged.
    virtual void GetPlainText(std::string& out) const;
    virtual int GetKind() const { return kBase; }
    // 1 and the descriptor in out for the descriptor forms, else 0.
    virtual int GetDescriptor(std::string& out) const { return 0; }
    virtual int GetAlignment() const { return kAlignLeft; }
    virtual CData* Clone() const;
    // -1 for values; a column type gives its type number.
    virtual int GetTypeNumber() const { return -1; }

    void Serialize(CArchive& ar) override;

protected:
    CData(const CData&) = default;
    CData& operator=(const CData&) = default;
};
