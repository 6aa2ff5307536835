#include "equation/Transformation.h"

#include "equation/EquationTransCurve.h"
#include "equation/EquationTransform.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"
#include "platform/CodePage.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

IMPLEMENT_SERIAL(CTransformation, CObject, VERSIONABLE_SCHEMA | 2)

CTransformation::CTransformation()
    : m_strDefaultX(LoadString(IDS_X_AXIS)), m_strDefaultY(LoadString(IDS_Y_AXIS))
{
}

CTransformation& CTransformation::operator=(const CTransformation& other)
{
    if (this == &other)
        return *this;
    m_nCompiled = other.m_nCompiled;
    m_description = other.m_description;
    m_strEquation = other.m_strEquation;
    m_strXData = other.m_strXData;
    m_strYData = other.m_strYData;
    m_strDefaultX = other.m_strDefaultX;
    m_strDefaultY = other.m_strDefaultY;
    m_strCurveX = other.m_strCurveX;
    m_strCurveY = other.m_strCurveY;
    m_strCurveDefinition = other.m_strCurveDefinition;
    m_nTransformCurve = other.m_nTransformCurve;
    m_nTransformData = other.m_nTransformData;
    return *this;
}

void CTransformation::Serialize(CArchive& ar)
{
    std::string* const strings[] = {&m_strEquation, &m_strXData,  &m_strYData,  &m_strDefaultX,
                                    &m_strDefaultY, &m_strCurveX, &m_strCurveY, &m_strCurveDefinition};
    if (ar.IsStoring()) {
        SerializeVersion(ar, 2);
        m_description.Serialize(ar);
        ar << std::int32_t(m_nCompiled);
        for (std::string* s : strings)
            ar.WriteString(*s);
        // The data flag first, although the curve flag is declared first.
        ar << std::int32_t(m_nTransformData) << std::int32_t(m_nTransformCurve);
        return;
    }
    const int version = SerializeVersion(ar, 2);
    // Older versions lack fields: those take their constructor values.
    if (version > 0)
        m_description.Serialize(ar);
    else
        m_description.ClearStream();
    std::int32_t compiled = 0;
    ar >> compiled;
    m_nCompiled = compiled;
    for (std::string* s : strings)
        *s = ar.ReadString();
    std::int32_t data = 1, curve = 1;
    if (version >= 2)
        ar >> data >> curve;
    m_nTransformData = data;
    m_nTransformCurve = curve;
}

void CTransformation::PrepareDataTransform(const CEquationBase& equation, CEquationTransform& out,
                                           IYCalcSource* source, int sourceIndex) const
{
    out.Assign(equation, m_strXData, m_strYData, source, sourceIndex);
    out.Reset();
    out.CompileX();
    out.Reset();
    out.CompileY();
}

void CTransformation::PrepareCurve(const CEquationBase& equation, CEquationTransCurve& out) const
{
    out.Copy(equation);
    out.GetExtraXValues() = equation.GetExtraXValues();
    out.SetXName(0, m_strCurveX.c_str(), nullptr);
    out.SetYName(m_strCurveY);
    out.SetModeFlag(1);
    // The curve is drawn, never estimated: the associated equation's
    // estimate setting (a library's can-estimate answer among them) must not
    // make the curve demand parameter definitions it cannot have.
    out.SetUseParameterDefinitions(0);
    out.SetSource(m_strCurveDefinition);
    out.Compile();
    out.ResizeValues();
}

bool CTransformation::Compile(const CEquationBase* associated, STransformCheck* check)
{
    const int before = m_nCompiled;
    STransformCheck result;
    auto fail = [&](int tab, unsigned id) {
        result.ok = false;
        result.tab = tab;
        result.messageId = id;
    };

    if (!associated || !associated->IsValid()) {
        fail(STransformCheck::tabGeneral, IDS_TRANSFORM_NO_EQUATION);
        ReportMessage(IDS_TRANSFORM_NO_EQUATION, {}, MB_OK);
    }
    if (result.ok && m_nTransformData) {
        int editor = STransformCheck::editorXData;
        try {
            if (m_strXData.empty())
                throw CParseErr(int(IDS_TRANSFORM_NO_XDATA));
            if (m_strYData.empty())
                throw CParseErr(int(IDS_TRANSFORM_NO_YDATA));
            CEquationTransform transform;
            transform.Assign(*associated, m_strXData, m_strYData, nullptr, 0);
            transform.Reset();
            transform.CompileX();
            editor = STransformCheck::editorYData;
            transform.Reset();
            transform.CompileY();
        } catch (const CParseErr& error) {
            fail(STransformCheck::tabDataPoints, unsigned(error.m_nID));
            if (error.m_nID != int(IDS_TRANSFORM_NO_XDATA) && error.m_nID != int(IDS_TRANSFORM_NO_YDATA)) {
                result.editor = editor;
                result.start = error.m_nStart;
                result.end = error.m_nEnd;
            }
            error.ReportError();
        }
    }
    if (result.ok && m_nTransformCurve) {
        try {
            if (m_strCurveX.empty())
                throw CParseErr(int(IDS_TRANSFORM_NO_CURVE_X));
            if (m_strCurveY.empty())
                throw CParseErr(int(IDS_TRANSFORM_NO_CURVE_Y));
            if (m_strCurveDefinition.empty())
                throw CParseErr(int(IDS_TRANSFORM_NO_CURVE));
            CEquationTransCurve curve;
            PrepareCurve(*associated, curve);
        } catch (const CParseErr& error) {
            fail(STransformCheck::tabCurve, unsigned(error.m_nID));
            if (error.m_nID < int(IDS_TRANSFORM_NO_CURVE_X) || error.m_nID > int(IDS_TRANSFORM_NO_CURVE)) {
                result.editor = STransformCheck::editorCurve;
                result.start = error.m_nStart;
                result.end = error.m_nEnd;
            }
            error.ReportError();
        }
    }
    m_nCompiled = result.ok ? 1 : 0;
    if (check)
        *check = result;
    return m_nCompiled != before;
}

bool CTransformation::ImportOld(const unsigned char* record, std::size_t size)
{
    // Offsets of the data-point fields in the old record; each text ends at
    // its NUL, and never past the next field or the record.
    constexpr std::size_t kX = 280, kY = 517, kDefaultX = 2664, kDefaultY = 2694, kNameWidth = 30;
    if (!record || size <= kDefaultY)
        return false;
    auto text = [&](std::size_t from, std::size_t limit) {
        limit = std::min(limit, size);
        const char* p = reinterpret_cast<const char*>(record + from);
        std::size_t n = 0;
        while (from + n < limit && p[n] != '\0')
            ++n;
        return Cp1252ToUtf8(std::string_view(p, n));
    };
    m_nCompiled = 0;
    m_strEquation.clear();
    m_nTransformCurve = 0;
    m_nTransformData = 1;
    m_strXData = text(kX, kY);
    m_strYData = text(kY, kDefaultX);
    m_strDefaultX = text(kDefaultX, kDefaultY);
    m_strDefaultY = text(kDefaultY, kDefaultY + kNameWidth);
    return true;
}
