#include "data/DataCTypeX2.h"

#include "data/DataFormat.h"
#include "data/NumberText.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

IMPLEMENT_SERIAL(CDataCTypeX2, CDataColumnType, VERSIONABLE_SCHEMA | 0)

void CDataCTypeX2::GetDisplayText(std::string& out, const CDataFormat& format) const
{
    std::string x[4];
    for (int i = 0; i < 4; ++i)
        format.FormatNumber(x[i], m_x[std::size_t(i)]);
    out = FormatMessageText(m_name, {x[0], x[0], x[1], x[2], x[3]});
}

void CDataCTypeX2::GetPlainText(std::string& out) const
{
    std::string x[4];
    for (int i = 0; i < 4; ++i)
        x[i] = ShortestNumberText(m_x[std::size_t(i)]);
    out = FormatMessageText(m_name, {x[0], x[0], x[1], x[2], x[3]});
}

void CDataCTypeX2::SetLabel(const std::string& label)
{
    m_name = label;
    m_defaultLabel = label == LoadString(IDS_COLUMN_TYPE_NONE + UINT(m_type)) ? 1 : 0;
}

int CDataCTypeX2::EditSettings(CDataTableItem* item)
{
    if (CColumnSettingsEditor* editor = GetColumnSettingsEditor())
        if (!editor->Edit(*this, item))
            return 0;
    SetLabel(m_name);
    item->UpdateViews(kHintColumnsChanged, m_column + 1, m_column + 1);
    item->SetModified();
    return 1;
}

void CDataCTypeX2::Serialize(CArchive& ar)
{
    CDataColumnType::Serialize(ar);
    if (ar.IsStoring()) {
        SerializeVersion(ar, 1);
        ar.WriteCount(std::uint32_t(m_x.size()));
        for (double x : m_x)
            ar << x;
        ar << std::int32_t(m_defaultLabel);
        if (!m_defaultLabel)
            ar << m_name;
        return;
    }
    const int version = SerializeVersion(ar, 1);
    m_x = {1.0, 1.0, 1.0, 1.0};
    if (version == 0) {
        ar >> m_x[0];
    } else {
        std::uint32_t count = ar.ReadCount();
        ar.CheckRemaining(count, 8);
        for (std::uint32_t i = 0; i < count; ++i) {
            double v = 0.0;
            ar >> v;
            if (i < m_x.size())
                m_x[i] = v;
        }
    }
    std::int32_t flag = 0;
    ar >> flag;
    m_defaultLabel = flag;
    if (!m_defaultLabel)
        ar >> m_name;
}
