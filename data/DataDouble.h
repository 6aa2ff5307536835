// A number cell, and its form that carries a descriptor text beside it.
#pragma once

#include "data/Data.h"

class CDataDouble : public CData {
    DECLARE_SERIAL(CDataDouble)
public:
    CDataDouble() = default;
    explicit CDataDouble(double value) : m_value(value) {}
    CDataDouble(const CDataDouble&) = default;
    CDataDouble& operator=(const CDataDouble&) = default;

    void GetDisplayText(std::string& out, const CDataFormat& format) const override;
    // Every digit is kept: the shortest text that reads back to the same value.
    void GetPlainText(std::string& out) const override;
    int GetKind() const override { return kNumber; }
    int GetAlignment() const override { return kAlignRight; }
    CData* Clone() const override { return new CDataDouble(*this); }
    void Serialize(CArchive& ar) override;

    double GetValue() const { return m_value; }
    void SetValue(double value) { m_value = value; }

    double m_value = 0.0;
};

class CDataDoubleDescriptor : public CDataDouble {
    DECLARE_SERIAL(CDataDoubleDescriptor)
public:
    CDataDoubleDescriptor() = default;
    CDataDoubleDescriptor(std::string descriptor, double value)
        : CDataDouble(value), m_descriptor(std::move(descriptor)) {}
    // The descriptor is the text of a string id.
    CDataDoubleDescriptor(UINT descriptorId, double value);

    int GetDescriptor(std::string& out) const override;
    CData* Clone() const override { return new CDataDoubleDescriptor(*this); }
    void Serialize(CArchive& ar) override;

    std::string m_descriptor;
};
