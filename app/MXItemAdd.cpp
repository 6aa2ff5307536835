#include "app/MXItemAdd.h"

#include "app/MXDoc.h"
#include "app/MXNotes.h"
#include "framework/ArchiveHelpers.h"
#include "platform/File.h"
#include "platform/Reporter.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CMXItemAdd, CProjectItemAdd)
IMPLEMENT_DYNAMIC(CMXItemAddFromStore, CMXItemAdd)

namespace {
constexpr UINT IDS_ADD_STORED = 1160;
constexpr UINT IDS_NOT_AN_ITEM_FILE = 1161;
// The header (magic, version, icon index) and at least a class tag.
constexpr std::uint64_t kMinimumStoredItem = 16;
} // namespace

CMXItemAddFromStore::CMXItemAddFromStore(CMXDoc* document, std::string path)
    : CMXItemAdd(document, IDS_ADD_STORED)
    , m_path(std::move(path))
{
}

CMXProjectItem* CMXItemAddFromStore::CreateItem(CMXDoc* document)
{
    try {
        CDiskFile file(m_path, CDiskFile::modeRead);
        if (file.GetLength() < kMinimumStoredItem) {
            ReportMessage(IDS_NOT_AN_ITEM_FILE, {m_path});
            return nullptr;
        }
        CArchive ar(&file, CArchive::load, 4096, document);
        char magic[8];
        ar.ReadExact(magic, sizeof magic);
        if (std::memcmp(magic, CMXProjectItem::kStoredItemMagic, sizeof magic) != 0) {
            ReportMessage(IDS_NOT_AN_ITEM_FILE, {m_path});
            return nullptr;
        }
        SerializeVersion(ar, 0);
        std::int32_t icon = 0;
        ar >> icon;
        std::unique_ptr<CMXProjectItem> item;
        try {
            item = ar.ReadOwned<CMXProjectItem>();
        } catch (const CArchiveException& e) {
            if (e.m_cause != CArchiveException::badClass)
                throw;
            ReportMessage(IDS_NOT_AN_ITEM_FILE, {m_path});
            return nullptr;
        }
        if (!item) {
            ReportMessage(IDS_NOT_AN_ITEM_FILE, {m_path});
            return nullptr;
        }
        CMXProjectItem* added = item.release();
        added->OnLoaded(); // nothing more is read from the archive
        if (added->GetDocument() != document)
            document->AddItem(added);
        added->SetItemId(document->NextItemId());
        added->MakeCopyName(false);
        added->SelectInList();
        return added;
    } catch (const CException& e) {
        ReportText(e.GetText(), MB_OK | MB_ICONEXCLAMATION);
        return nullptr;
    }
}
