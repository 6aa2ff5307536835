#include "ui/RichData.h"

#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"
#include "platform/File.h"
#include "ui/RtfReader.h"
#include "ui/RtfWriter.h"

IMPLEMENT_SERIAL(CRichData, CObject, 0)

CRichData::CRichData() = default;
CRichData::~CRichData() = default;

CRichData::CRichData(const CRichData& other) : CObject(other) { *this = other; }

CRichData& CRichData::operator=(const CRichData& other)
{
    if (this == &other)
        return *this;
    m_editor = other.m_editor;
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

void CRichData::Attach(const std::shared_ptr<CRichTextEditor>& editor, const CHARFORMAT* charFormat,
                       const PARAFORMAT* paraFormat)
{
    m_editor = editor;
    if (!editor)
        return;
    const CHARFORMAT cf = charFormat ? *charFormat : DefaultCharFormat();
    if (m_pStream) {
        const CRtfDocument text = GetDocument();
        editor->ShowText(&text, cf, paraFormat);
    } else {
        editor->ShowText(nullptr, cf, paraFormat);
    }
}

void CRichData::Update()
{
    const std::shared_ptr<CRichTextEditor> editor = m_editor.lock();
    CRtfDocument text;
    if (editor && editor->TakeEditedText(text))
        SetDocument(text);
}

void CRichData::Detach()
{
    Update();
    m_editor.reset();
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
