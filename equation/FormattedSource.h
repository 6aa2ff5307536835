// Rich text kept with an equation or a transformation: the editor's RTF
// stream as bytes, in the stored form of the program's rich-text record
// (version word 0, a flag, then the counted bytes). The model only keeps and
// copies it; the editors read and write the text.
#pragma once

#include <string>

class CArchive;

class CFormattedSource {
public:
    bool HasText() const { return m_bHasText; }
    const std::string& GetRtf() const { return m_rtf; }
    void SetRtf(std::string rtf)
    {
        m_rtf = std::move(rtf);
        m_bHasText = true;
    }
    void Clear()
    {
        m_rtf.clear();
        m_bHasText = false;
    }

    void Serialize(CArchive& ar);

    friend bool operator==(const CFormattedSource&, const CFormattedSource&) = default;

private:
    bool m_bHasText = false;
    std::string m_rtf; // raw bytes of the stream
};
