// The definition of a transformation item: how the points of a fit and the
// fitted curve are redrawn in other coordinates. It names its associated
// equation item, whose symbols the definitions may use, and holds a
// data-point part (transformed x and y of each point) and a curve part (a
// new curve in terms of the fitted parameters); either can be switched off.
#pragma once

#include "platform/Object.h"
#include "ui/RichData.h"

#include <string>

class CEquationBase;
class CEquationTransCurve;
class CEquationTransform;
class IYCalcSource;

// Where a failed compile sends the user: the tab, the editor whose text
// range holds the error, and the message.
struct STransformCheck {
    enum Tab { tabGeneral = 0, tabDataPoints = 1, tabCurve = 2 };
    enum Editor { editorNone, editorXData, editorYData, editorCurve };
    bool ok = true;
    int tab = tabGeneral;
    int editor = editorNone;
    int start = 0; // the error's text range in that editor
    int end = 0;
    unsigned messageId = 0;
};

class CTransformation : public CObject {
    DECLARE_SERIAL(CTransformation)
public:
    CTransformation();
    CTransformation(const CTransformation& other) : CObject(other) { *this = other; }
    CTransformation& operator=(const CTransformation& other);

    void Serialize(CArchive& ar) override;

    // Setters of the definitions: a changed text clears the compiled flag.
    void SetXDataDefinition(const std::string& text) { SetText(m_strXData, text); }
    void SetYDataDefinition(const std::string& text) { SetText(m_strYData, text); }
    void SetCurveXName(const std::string& text) { SetText(m_strCurveX, text); }
    void SetCurveYName(const std::string& text) { SetText(m_strCurveY, text); }
    void SetCurveDefinition(const std::string& text) { SetText(m_strCurveDefinition, text); }
    // The associated equation item's name; the flag is left to the caller.
    void SetReferenceName(const std::string& name) { m_strEquation = name; }
    // Written by the tabs directly; they do not touch the compiled flag.
    void SetDefaultXName(const std::string& text) { m_strDefaultX = text; }
    void SetDefaultYName(const std::string& text) { m_strDefaultY = text; }
    void SetTransformCurve(bool on) { m_nTransformCurve = on ? 1 : 0; }
    void SetTransformData(bool on) { m_nTransformData = on ? 1 : 0; }
    void SetCompiled(bool compiled) { m_nCompiled = compiled ? 1 : 0; }

    bool IsCompiled() const { return m_nCompiled != 0; }
    const std::string& GetReferenceName() const { return m_strEquation; }
    const std::string& GetXDataDefinition() const { return m_strXData; }
    const std::string& GetYDataDefinition() const { return m_strYData; }
    const std::string& GetDefaultXName() const { return m_strDefaultX; }
    const std::string& GetDefaultYName() const { return m_strDefaultY; }
    const std::string& GetCurveXName() const { return m_strCurveX; }
    const std::string& GetCurveYName() const { return m_strCurveY; }
    const std::string& GetCurveDefinition() const { return m_strCurveDefinition; }
    bool GetTransformCurve() const { return m_nTransformCurve != 0; }
    bool GetTransformData() const { return m_nTransformData != 0; }
    CRichData& GetDescription() { return m_description; }
    const CRichData& GetDescription() const { return m_description; }

    // Checks the definition against the associated item's equation (null
    // when the item is missing), reports the first fault through the
    // reporter and sets the compiled flag. Returns whether the flag changed,
    // which the caller announces. check (optional) tells the form which tab
    // and editor to show.
    bool Compile(const CEquationBase* associated, STransformCheck* check = nullptr);

    // Builds the point transformation from equation (assign, reset, compile
    // X, reset, compile Y); throws CParseErr.
    void PrepareDataTransform(const CEquationBase& equation, CEquationTransform& out,
                              IYCalcSource* source = nullptr, int sourceIndex = 0) const;
    // Builds the curve equation from equation: its names, X variable 0
    // renamed to the curve X name, the curve Y name, lenient, compiled;
    // throws CParseErr.
    void PrepareCurve(const CEquationBase& equation, CEquationTransCurve& out) const;

    // Fills the data-point part from a transformation record of a version-3
    // equation file. False when the record is too short to hold it.
    bool ImportOld(const unsigned char* record, std::size_t size);

private:
    void SetText(std::string& field, const std::string& text)
    {
        if (field != text) {
            field = text;
            m_nCompiled = 0;
        }
    }

    int m_nCompiled = 0;
    CRichData m_description;
    std::string m_strEquation;
    std::string m_strXData;
    std::string m_strYData;
    std::string m_strDefaultX;
    std::string m_strDefaultY;
    std::string m_strCurveX;
    std::string m_strCurveY;
    std::string m_strCurveDefinition;
    int m_nTransformCurve = 1;
    int m_nTransformData = 1;
};
