#include "ui/RichData.h"

#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"
#include "platform/File.h"
#include "ui/RichTextDocument.h"
#include "ui/RtfReader.h"
#include "ui/RtfWriter.h"

#include <QTextCursor>

IMPLEMENT_SERIAL(CRichData, CObject, 0)

CRichData::CRichData() = default;
CRichData::~CRichData() = default;

CRichData::CRichData(const CRichData& other) : CObject(other) { *this = other; }

CRichData& CRichData::operator=(const CRichData& other)
{
    if (this == &other)
        return *this;
    m_pControl = other.m_pControl;
    m_pStream = other.m_pStream ? std::make_unique<CMemFile>(other.m_pStream->Data()) : nullptr;
    return *this;
}

CHARFORMAT CRichData::DefaultCharFormat()
{
    CHARFORMAT cf;
    cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_SIZE | CFM_COLOR
        | CFM_FACE | CFM_OFFSET;
    cf.dwEffects = CFE_AUTOCOLOR;
    cf.yHeight = 240;
    cf.bCharSet = 0;
    cf.bPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    CRtfDocument::SetFaceName(cf, "Times New Roman");
    return cf;
}

void CRichData::Attach(QTextDocument* control, const CHARFORMAT* charFormat, const PARAFORMAT* paraFormat)
{
    m_pControl = control;
    if (!control)
        return;
    // Loading the text is no edit that the user could undo.
    const bool undo = control->isUndoRedoEnabled();
    control->setUndoRedoEnabled(false);
    if (m_pStream) {
        FillTextDocument(*control, GetDocument());
    } else {
        control->clear();
        const CHARFORMAT cf = charFormat ? *charFormat : DefaultCharFormat();
        QTextCursor cursor(control);
        cursor.setBlockCharFormat(CharFormatToQt(cf));
        if (paraFormat)
            cursor.setBlockFormat(ParaFormatToQt(*paraFormat));
    }
    control->setUndoRedoEnabled(undo);
    control->setModified(false);
}

void CRichData::Update()
{
    if (!m_pControl || !m_pControl->isModified())
        return;
    SetDocument(ReadTextDocument(*m_pControl));
    m_pControl->setModified(false);
}

void CRichData::Detach()
{
    Update();
    m_pControl = nullptr;
}

std::string CRichData::GetRtf() const
{
    if (!m_pStream)
        return {};
    const auto& bytes = m_pStream->Data();
    return std::string(bytes.begin(), bytes.end());
}

void CRichData::SetRtf(std::string_view rtf) { m_pStream = std::make_unique<CMemFile>(rtf.data(), rtf.size()); }

void CRichData::ClearStream() { m_pStream.reset(); }

CRtfDocument CRichData::GetDocument() const
{
    CRtfDocument document;
    CRtfReader::Read(GetRtf(), document);
    return document;
}

void CRichData::SetDocument(const CRtfDocument& document) { SetRtf(CRtfWriter::Write(document)); }

void CRichData::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        Update();
        SerializeVersion(ar, 0);
        ar << std::int32_t(m_pStream ? 1 : 0);
        if (m_pStream) {
            const auto& bytes = m_pStream->Data();
            if (bytes.size() > std::size_t(INT32_MAX))
                ThrowArchiveError(CArchiveException::genericException, "rich text too long to store");
            ar << std::int32_t(bytes.size());
            if (!bytes.empty())
                ar.Write(bytes.data(), bytes.size());
        }
        return;
    }
    SerializeVersion(ar, 0);
    std::int32_t flag = 0;
    ar >> flag;
    if (flag != 0 && flag != 1)
        ThrowArchiveError(CArchiveException::genericException, "bad rich text flag");
    if (flag == 0) {
        m_pStream.reset();
        return;
    }
    std::int32_t count = 0;
    ar >> count;
    if (count < 0)
        ThrowArchiveError(CArchiveException::genericException, "bad rich text length");
    ar.CheckRemaining(std::uint64_t(count));
    std::vector<BYTE> bytes(std::size_t(count), 0);
    if (!bytes.empty())
        ar.ReadExact(bytes.data(), bytes.size());
    m_pStream = std::make_unique<CMemFile>(std::move(bytes));
}
