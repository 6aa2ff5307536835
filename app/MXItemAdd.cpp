#include "app/MXItemAdd.h"

#include "app/MXDoc.h"
#include "app/MXNotes.h"
#include "framework/ArchiveHelpers.h"
#include "platform/File.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CMXItemAdd, CProjectItemAdd)
IMPLEMENT_DYNAMIC(CMXItemAddFromStore, CMXItemAdd)
IMPLEMENT_DYNAMIC(CMXItemAddImportData, CMXItemAdd)

namespace {
// The header (magic, version, icon index) and at least a class tag.
constexpr std::uint64_t kMinimumStoredItem = 16;
} // namespace

CMXItemAddFromStore::CMXItemAddFromStore(CMXDoc* document, std::string path)
    : CMXItemAdd(document, IDS_ADD_STORED_ITEM)
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

CMXItemAddImportData::CMXItemAddImportData(CMXDoc* document, std::string path, std::string extension,
                                           std::string title, CDataFilters::ConvertChooser choose)
    : CMXItemAdd(document, IDS_IMPORT_DATA)
    , m_path(std::move(path))
    , m_extension(std::move(extension))
    , m_title(std::move(title))
    , m_choose(std::move(choose))
{
}

CMXProjectItem* CMXItemAddImportData::CreateItem(CMXDoc* document)
{
    int result = 0;
    std::unique_ptr<CMyData> imported = CDataFilters::Current().LoadFilterAndImport(m_path, m_extension, result, m_choose);
    if (!imported)
        return nullptr;
    auto* item = new CMXGrid(document);
    item->InitNewItem();
    CMyData& table = item->GetTable();
    for (int column : imported->GetColumnNumbers()) {
        const int last = imported->GetLastRow(column);
        for (int row = 0; row <= last; ++row)
            if (CData* cell = imported->DetachCell(row, column))
                table.SetCell(row, column, cell);
    }
    item->SetUniqueName(IDS_DATA_FROM, m_title);
    item->UpdateListText();
    item->SetModified(true);
    return item;
}
