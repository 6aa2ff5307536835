#include "app/MXEquationBase.h"

#include "framework/ArchiveHelpers.h"

#include <cstring>

IMPLEMENT_SERIAL(CMXEquationBase, CMXProjectItem, VERSIONABLE_SCHEMA | 0)

namespace {
constexpr BYTE kVariableSwiss = 0x22; // variable pitch, swiss family
constexpr BYTE kVariableRoman = 0x12; // variable pitch, roman family
} // namespace

ItemFont MakeItemFont(const char* face, LONG weight, bool italic, BYTE pitchAndFamily, int tenthsOfPoint)
{
    ItemFont f;
    f.font.lfWeight = weight;
    f.font.lfItalic = italic ? 1 : 0;
    f.font.lfPitchAndFamily = pitchAndFamily;
    std::strncpy(f.font.lfFaceName, face, LF_FACESIZE - 1);
    f.size = tenthsOfPoint;
    return f;
}

void SerializeItemFont(CArchive& ar, ItemFont& font)
{
    if (ar.IsStoring()) {
        ar << font.font << std::int32_t(font.size);
    } else {
        std::int32_t size = 0;
        ar >> font.font >> size;
        font.size = size;
    }
}

CMXEquationBase::CMXEquationBase() { InitFonts(); }

CMXEquationBase::CMXEquationBase(CProjectDocBase* document)
    : CMXProjectItem(document)
{
    InitFonts();
}

void CMXEquationBase::InitFonts()
{
    m_fonts[0] = MakeItemFont("Arial", FW_BOLD, false, kVariableSwiss, 140);
    m_fonts[1] = MakeItemFont("Arial", FW_BOLD, true, kVariableSwiss, 120);
    m_fonts[2] = MakeItemFont("Times New Roman", 0, true, kVariableRoman, 120);
    m_fonts[3] = MakeItemFont("Times New Roman", 0, false, kVariableRoman, 100);
}

void CMXEquationBase::SerializeFontsAndIndents(CArchive& ar)
{
    for (ItemFont& f : m_fonts)
        SerializeItemFont(ar, f);
    for (int& indent : m_indents) {
        if (ar.IsStoring()) {
            ar << std::int32_t(indent);
        } else {
            std::int32_t v = 0;
            ar >> v;
            indent = v;
        }
    }
}

void CMXEquationBase::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    CMXProjectItem::Serialize(ar);
    SerializeFontsAndIndents(ar);
}
