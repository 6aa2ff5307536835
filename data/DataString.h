// A text cell, and its form that carries a descriptor text beside it. A text
// that begins with an apostrophe is shown without it: the apostrophe is how a
// user keeps a number-like entry as text.
#pragma once

#include "data/Data.h"

class CDataString : public CData {
    DECLARE_SERIAL(CDataString)
public:
    CDataString() = default;
    explicit CDataString(std::string text) : m_text(std::move(text)) {}
    CDataString(const CDataString&) = default;
    CDataString& operator=(const CDataString&) = default;

    void GetDisplayText(std::string& out, const CDataFormat& format) const override;
    void GetPlainText(std::string& out) const override { out = m_text; }
    int GetKind() const override { return kText; }
    CData* Clone() const override { return new CDataString(*this); }
    void Serialize(CArchive& ar) override;

    const std::string& GetText() const { return m_text; }

    std::string m_text;
};

class CDataStringDescriptor : public CDataString {
    DECLARE_SERIAL(CDataStringDescriptor)
public:
    CDataStringDescriptor() = default;
    CDataStringDescriptor(std::string descriptor, std::string text)
        : CDataString(std::move(text)), m_descriptor(std::move(descriptor)) {}

    int GetDescriptor(std::string& out) const override;
    int GetAlignment() const override { return kAlignRight; }
    CData* Clone() const override { return new CDataStringDescriptor(*this); }
    void Serialize(CArchive& ar) override;

    std::string m_descriptor;
};
