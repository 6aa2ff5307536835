// Edit > Paste in a data table, then Undo. The input is laid out as the
// reproducing inputs of the paste are (see tests/app/widgets/ClipboardInput.h):
// byte 0 the clipboard format and the selection, the rest the payload. The
// table holds a few cells first; Undo must give it back exactly.
#include "FuzzSupport.h"
#include "app/widgets/ClipboardInput.h"

#include "app/MXDoc.h"
#include "app/MXGrid.h"
#include "app/widgets/DataView.h"
#include "data/DataColumnType.h"
#include "data/DataFilters.h"
#include "data/DataString.h"
#include "data/MyData.h"
#include "framework/ActionList.h"
#include "platform/Archive.h"
#include "platform/Clipboard.h"
#include "platform/File.h"
#include "platform/widgets/CommandIds.h"

#include <QApplication>

#include <cstdlib>
#include <memory>

namespace {

std::vector<BYTE> TableBytes(CMyData& table)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        table.Serialize(ar);
        ar.Close();
    }
    return file.Data();
}

struct Window {
    Window()
    {
        CDataFilters::Current().Query({MARLOX_SEMICOLON_FILTER});
        for (const std::string& mime : CDataFilters::Current().GetExportMimeTypes())
            filterMime = mime;
        doc.OnNewDocument();
        item = new CMXGrid(&doc);
        item->InitNewItem();
        view = std::make_unique<CDataView>(item);
        view->resize(400, 300);
    }
    CMXDoc doc;
    CMXGrid* item = nullptr;
    std::unique_ptr<CDataView> view;
    std::string filterMime;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Init();
    fuzz::EnsureGuiApplication();
    static Window w;
    CMyData& table = w.item->GetTable();
    table.DeleteColumns(0, table.GetLastColumn() + 1);
    table.SetCell(0, 1, CreateColumnType(2, 1));
    table.SetCell(1, 0, new CDataString("Rate"));
    table.SetNumber(2, 0, 1.5);
    table.SetNumber(5, 2, -4.0);
    w.item->GetActionList()->RemoveAll();
    const std::vector<BYTE> before = TableBytes(table);

    ClipboardInput input = DecodeClipboardInput(data, size, kPrivateDataFormat, w.filterMime);
    CGridData* grid = w.view->GetGridData();
    grid->m_ranges.assign(1, input.block ? CGridRange{1, 3, 2, 4} : CGridRange{1, 3, 1, 3});
    grid->m_nCurrentColumn = 1;
    grid->m_nCurrentRow = 3;
    GetClipboard().SetData(input.formats);
    w.view->OnCmdMsg(ID_EDIT_PASTE, nullptr);
    GetClipboard().SetData({});
    if (w.item->GetActionList()->GetCount() > 0) {
        if (!w.item->GetActionList()->Undo() || TableBytes(table) != before)
            std::abort();
    }
    return 0;
}

