#include "framework/ProjectServerItem.h"

#include "framework/ArchiveHelpers.h"
#include "framework/ProjectDocBase.h"
#include "framework/ProjectItemBase.h"
#include "platform/Archive.h"
#include "platform/File.h"

#include <cstring>

void CProjectServerItem::AddItem(CProjectItemBase* item, int x, int y)
{
    m_items.push_back(item);
    m_positions.push_back(POINT{x, y});
}

std::vector<BYTE> CProjectServerItem::WorkspaceData() const
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store, 512, m_pDocument);
        ar.WriteCount(std::uint32_t(m_items.size()));
        for (CProjectItemBase* item : m_items)
            ar.WriteObject(item);
        ar.WriteCount(std::uint32_t(m_positions.size()));
        for (const POINT& p : m_positions)
            ar << p;
        ar << std::int32_t(m_focused);
        ar.Close();
    }
    return file.Detach();
}

ClipboardFormats CProjectServerItem::GetClipboardData() const
{
    ClipboardFormats formats;
    if (m_private != 0) {
        std::vector<BYTE> value(4);
        std::memcpy(value.data(), &m_private, 4);
        formats[kPrivateDragFormat] = value;
    }
    formats[kWorkspaceDataFormat] = WorkspaceData();
    return formats;
}

bool CProjectServerItem::CopyToClipboard() const { return GetClipboard().SetData(GetClipboardData()); }

CProjectServerItem::Contents CProjectServerItem::ReadWorkspaceData(const std::vector<BYTE>& bytes,
                                                                   CProjectDocBase* document)
{
    Contents contents;
    CMemFile file(bytes);
    // Items read here must not join the document until the caller adds them.
    CArchive ar(&file, CArchive::load, 512, nullptr);
    std::uint32_t count = ar.ReadCount();
    ar.CheckRemaining(count, 2);
    for (std::uint32_t i = 0; i < count; ++i) {
        CObject* object = ar.ReadObject(RUNTIME_CLASS(CProjectItemBase));
        // A null entry or a second reference to an item read before cannot be owned twice.
        for (const auto& earlier : contents.items)
            if (earlier.get() == object)
                ThrowArchiveError();
        if (!object)
            ThrowArchiveError();
        contents.items.emplace_back(static_cast<CProjectItemBase*>(object));
    }
    std::uint32_t positions = ar.ReadCount();
    if (positions != count)
        ThrowArchiveError();
    ar.CheckRemaining(positions, 8);
    contents.positions.resize(positions);
    for (POINT& p : contents.positions)
        ar >> p;
    std::int32_t focused = -1;
    ar >> focused;
    contents.focused = focused >= 0 && std::uint32_t(focused) < count ? focused : -1;
    (void)document;
    return contents;
}
