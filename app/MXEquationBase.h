// The common base of equation items: the fonts and indents of the printed
// equation, and the accessor through which fits and graphs reach the model.
#pragma once

#include "app/MXProjectItem.h"

class CEquationBase;

// A font as item forms keep it: the record and its size in tenths of a point.
struct ItemFont {
    LOGFONT font;
    int size = 100;
};
ItemFont MakeItemFont(const char* face, LONG weight, bool italic, BYTE pitchAndFamily, int tenthsOfPoint);
void SerializeItemFont(CArchive& ar, ItemFont& font);

class CMXEquationBase : public CMXProjectItem {
    DECLARE_SERIAL(CMXEquationBase)
public:
    CMXEquationBase();
    explicit CMXEquationBase(CProjectDocBase* document);

    // The item's equation model; none in the base.
    virtual CEquationBase* GetEquation() { return nullptr; }

    void Serialize(CArchive& ar) override;
    // The fonts and indents alone, as older equation records keep them after the equation.
    void SerializeFontsAndIndents(CArchive& ar);

    // Main heading, subheading, variables heading and normal text.
    ItemFont m_fonts[4];
    int m_indents[4] = {500, 2000, 1000, 750};

private:
    void InitFonts();
};
