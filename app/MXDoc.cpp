#include "app/MXDoc.h"

#include "app/MXEquationBase.h"
#include "app/MXGrid.h"
#include "app/MXNotes.h"
#include "app/MXResult.h"
#include "app/MXTransform.h"
#include "data/DataCTypeX2.h"
#include "app/MXProjectItem.h"
#include "app/OldDataImport.h"
#include "app/OldEquationImport.h"
#include "app/OldFileReader.h"
#include "draw/DrawOleObj.h"
#include "framework/UpdateNotification.h"
#include "framework/ArchiveHelpers.h"
#include "platform/File.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CMXDoc, CProjectDocBase)

namespace {

// Version 3 wrote its files flat, each beginning with its own magic.
constexpr char kOldDataMagic[6] = {'A', 'N', 'A', 'V', 'Z', 'K'};
constexpr char kOldWorkspaceMagic[6] = {'m', 'x', '_', 'V', 'Z', 'K'};
constexpr char kOldEquationMagic[6] = {'A', 'E', 'Q', 'V', 'Z', 'K'};
constexpr BYTE kCompoundFileSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

bool IsOldMagic(const char* magic)
{
    return std::memcmp(magic, kOldDataMagic, 6) == 0 || std::memcmp(magic, kOldWorkspaceMagic, 6) == 0
        || std::memcmp(magic, kOldEquationMagic, 6) == 0;
}

// A converter's failure, with its reason when it gave one.
[[noreturn]] void ThrowConversionFailed(const std::string& reason)
{
    ThrowArchiveError(CArchiveException::genericException, reason);
}
} // namespace

std::string CMXDoc::s_author;

void CMXDoc::Serialize(CArchive& ar)
{
    m_bVersion3Equations = false;
    m_bConvertedData = false;
    if (ar.IsStoring()) {
        ar.Write(kMagic, sizeof kMagic);
        SerializeVersion(ar, 0);
        ar << m_strServedItem;
        CProjectDocBase::Serialize(ar);
        return;
    }
    char magic[6];
    if (ar.Read(magic, sizeof magic) != sizeof magic) {
        ReportMessage(IDS_NOT_A_WORKSPACE);
        ThrowArchiveError();
    }
    // Files of version 3 become new items; nothing is read after them.
    if (std::memcmp(magic, kOldDataMagic, sizeof magic) == 0) {
        // A short header throws with its reason.
        COldFileReader in(ar);
        const int version = COldDataImport::ReadVersionHeader(in);
        COldDataImport import(*this);
        if (!import.ConvertOldDataFile(ar, version))
            ThrowConversionFailed(import.GetError());
        m_bConvertedData = true;
        return;
    }
    if (std::memcmp(magic, kOldWorkspaceMagic, sizeof magic) == 0) {
        COldDataImport import(*this);
        if (!import.ConvertOldWorkspace(ar))
            ThrowConversionFailed(import.GetError());
        m_bConvertedData = true;
        return;
    }
    if (std::memcmp(magic, kOldEquationMagic, sizeof magic) == 0) {
        COldEquationImport import(*this);
        if (!import.ConvertOldEquationFile(ar))
            ThrowConversionFailed(import.GetError());
        m_bVersion3Equations = true;
        return;
    }
    if (std::memcmp(magic, kMagic, sizeof magic) != 0) {
        ReportMessage(IDS_NOT_A_WORKSPACE);
        ThrowArchiveError();
    }
    SerializeVersion(ar, 0);
    ar >> m_strServedItem;
    // Embedded objects of other programs on graph pages are left out, and
    // the user is told once for the whole workspace.
    COleObjectSkips skips;
    CProjectDocBase::Serialize(ar);
}

bool CMXDoc::OnOpenDocument(const std::string& path)
{
    m_bOpenReplacedContents = false;
    BYTE head[8] = {};
    std::size_t got = 0;
    try {
        CDiskFile file(path, CDiskFile::modeRead);
        got = file.Read(head, sizeof head);
    } catch (const std::exception&) {
        // The base reports the file that cannot be opened.
        return CProjectDocBase::OnOpenDocument(path);
    }
    if (got == sizeof head && std::memcmp(head, kCompoundFileSignature, sizeof head) == 0)
        return CProjectDocBase::OnOpenDocument(path);
    // Not a compound file: only the flat files of version 3 are read, and
    // anything else leaves the open workspace as it was. The message names
    // the file, which may be one of several opened at once.
    if (got < sizeof kMagic || !IsOldMagic(reinterpret_cast<const char*>(head))) {
        ReportMessage(got == 0 ? IDS_FILE_IS_EMPTY : IDS_FILE_NOT_A_WORKSPACE, {path});
        return false;
    }
    return LoadFlatFile(path);
}

UINT CMXDoc::GetConversionNoticeID() const
{
    if (m_bVersion3Equations)
        return IDS_VERSION3_EQUATIONS_LOADED;
    return m_bConvertedData ? IDS_VERSION3_DATA_LOADED : 0;
}

bool CMXDoc::LoadFlatFile(const std::string& path)
{
    // The converted items go into a new workspace that has no compound file yet.
    OnNewDocument();
    try {
        CDiskFile file(path, CDiskFile::modeRead);
        CArchive ar(&file, CArchive::load, 4096, this);
        Serialize(ar);
    } catch (const std::exception& e) {
        OnNewDocument();
        m_bOpenReplacedContents = true;
        ReportException(e, false, path);
        return false;
    }
    m_pItemBeingOpened = nullptr;
    GetActionList().RemoveAll();
    SetPathName(path);
    SetModifiedFlag(false);
    return true;
}

std::vector<CMXProjectItem*> CMXDoc::ItemsInRowOrder() const
{
    std::vector<CMXProjectItem*> out;
    const CItemListCtrl& list = GetList();
    for (int row = 0; row < list.GetItemCount(); ++row)
        if (auto* item = dynamic_cast<CMXProjectItem*>(list.GetItem(row)))
            out.push_back(item);
    for (CDocItem* d : GetItems())
        if (auto* item = dynamic_cast<CMXProjectItem*>(d))
            if (std::find(out.begin(), out.end(), item) == out.end())
                out.push_back(item);
    return out;
}

CMXProjectItem* CMXDoc::FindItem(std::string_view name) const
{
    for (CMXProjectItem* item : ItemsInRowOrder())
        if (CompareNoCase(item->GetName(), name) == 0)
            return item;
    return nullptr;
}

const CMyData* CMXDoc::FindTable(std::string_view name, CMXProjectItem** item) const
{
    auto* grid = dynamic_cast<CMXGrid*>(FindItem(name));
    if (!grid)
        return nullptr;
    if (item)
        *item = grid;
    return &grid->GetTable();
}

CGraphFitSource* CMXDoc::FindFit(std::string_view name) const { return dynamic_cast<CMXResult*>(FindItem(name)); }

const CEquationBase* CMXDoc::FindEquation(std::string_view name) const
{
    auto* item = dynamic_cast<CMXEquationBase*>(FindItem(name));
    CEquationBase* equation = item ? item->GetEquation() : nullptr;
    return equation && equation->IsValid() ? equation : nullptr;
}

const CTransformation* CMXDoc::FindTransformation(std::string_view name, const CEquationBase** equation) const
{
    auto* item = dynamic_cast<CMXTransform*>(FindItem(name));
    if (!item)
        return nullptr;
    if (equation) {
        // The equation items (language and library) offer the variables.
        auto* source = dynamic_cast<CMXEquationBase*>(item->FindSourceItem());
        *equation = source && (source->GetKindFlag() & (8 | 128)) ? source->GetEquation() : nullptr;
    }
    return &item->GetTransformation();
}

bool CMXDoc::GetItemFieldText(std::string_view item, std::string_view name, std::string_view argument,
                              std::string& text) const
{
    CMXProjectItem* found = FindItem(item);
    if (!found)
        return false;
    found->GetFieldText(text, name, argument);
    return true;
}

bool CMXDoc::GetAssociatedX(const CMyData& table, int column, std::vector<double>& values) const
{
    auto* x2 = dynamic_cast<CDataCTypeX2*>(table.GetColumnType(column));
    if (!x2)
        return false;
    x2->GetXValues(values);
    return true;
}

int CMXDoc::GetItemNames(int kindMask, std::vector<std::string>& names) const
{
    names.clear();
    for (CMXProjectItem* item : ItemsInRowOrder())
        if (item->GetKindFlag() & kindMask)
            names.push_back(item->GetName());
    return int(names.size());
}

void CMXDoc::NotifyItems(CUpdateNotification& note, bool includeSubject)
{
    CMXProjectItem* subject = note.item;
    if (includeSubject && subject)
        subject->OnItemNotify(note);
    // An item may react by removing others: walk a snapshot and skip the departed.
    std::vector<CDocItem*> items = GetItems();
    for (CDocItem* d : items) {
        auto* item = dynamic_cast<CMXProjectItem*>(d);
        if (!item || item == subject)
            continue;
        const auto& now = GetItems();
        if (std::find(now.begin(), now.end(), d) == now.end())
            continue;
        item->OnItemNotify(note);
    }
}

bool CMXDoc::IsWorkspaceItem(const CDocItem* item) const
{
    return dynamic_cast<const CProjectItemBase*>(item) != nullptr;
}

CProjectItemBase* CMXDoc::CreateDefaultItem()
{
    auto* notes = new CMXNotes(this);
    notes->InitNewItem();
    return notes;
}

void CMXDoc::GetProductNames(std::string& name, std::string& author) const
{
    name = "Marlox";
    author = s_author;
}

bool CMXDoc::OnSaveDocument(const std::string& path)
{
    std::vector<CMXProjectItem*> running;
    for (CDocItem* d : GetItems())
        if (auto* item = dynamic_cast<CMXProjectItem*>(d); item && item->IsCalculating())
            running.push_back(item);
    if (!running.empty()) {
        if (ReportMessage(IDS_WAIT_FOR_CALCULATION, {}, MB_YESNO | MB_ICONQUESTION) != IDYES) {
            ReportMessage(IDS_SAVE_ABORTED);
            return false;
        }
        for (CMXProjectItem* item : running)
            item->WaitForCalculation();
    }
    if (!CProjectDocBase::OnSaveDocument(path))
        return false;
    CUpdateNotification note;
    note.kind = UN_WORKSPACE_SAVED;
    note.state = UN_STATE_OVER;
    NotifyItems(note, true);
    UpdateAllViews(nullptr, UPDATE_HINT_NOTIFICATION, &note);
    return true;
}
