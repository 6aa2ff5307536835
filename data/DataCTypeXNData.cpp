#include "data/DataCTypeXNData.h"

#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <string>

IMPLEMENT_SERIAL(CDataCTypeXNData, CDataColumnType, VERSIONABLE_SCHEMA | 0)

void CDataCTypeXNData::GetDisplayText(std::string& out, const CDataFormat&) const { GetPlainText(out); }

void CDataCTypeXNData::GetPlainText(std::string& out) const
{
    out = FormatMessageText(m_name, {std::to_string(m_n)});
}

void CDataCTypeXNData::SetLabel(int n, const std::string& label)
{
    m_n = n;
    m_name = label;
    m_defaultLabel = label == LoadString(IDS_COLUMN_TYPE_NONE + UINT(m_type)) ? 1 : 0;
}

int CDataCTypeXNData::EditSettings(CDataTableItem* item)
{
    if (CColumnSettingsEditor* editor = GetColumnSettingsEditor())
        if (!editor->Edit(*this, item))
            return 0;
    SetLabel(m_n, m_name);
    item->UpdateViews(kHintColumnsChanged, m_column + 1, m_column + 1);
    item->SetModified();
    return 1;
}

void CDataCTypeXNData::Serialize(CArchive& ar)
{
    CDataColumnType::Serialize(ar);
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_n) << std::int32_t(m_defaultLabel);
        if (!m_defaultLabel)
            ar << m_name;
        return;
    }
    std::int32_t n = 0, flag = 0;
    ar >> n >> flag;
    m_n = n;
    m_defaultLabel = flag;
    if (!m_defaultLabel)
        ar >> m_name;
}
