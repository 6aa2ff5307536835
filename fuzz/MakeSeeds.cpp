// Writes the seed corpora of the harnesses from what the program itself
// writes: the sample workspace and its items, notes, equations, clipboard
// blocks and settings, and the inputs of tests/repro/.
//   fuzz_make_seeds <corpus folder>
#include "FuzzSupport.h"

#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/MXGrid.h"
#include "app/MXNotes.h"
#include "app/MXProjectItem.h"
#include "app/ProjectAction.h"
#include "app/widgets/DataView.h"
#include "data/DataColumnType.h"
#include "data/DataString.h"
#include "framework/ItemListCtrl.h"
#include "platform/Clipboard.h"
#include "platform/CompoundFile.h"
#include "platform/SettingsStore.h"
#include "platform/StorageStream.h"
#include "platform/widgets/CommandIds.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path g_out;

std::vector<BYTE> ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
}

void Seed(const std::string& harness, const std::string& name, const std::vector<BYTE>& bytes)
{
    fs::create_directories(g_out / harness);
    std::ofstream(g_out / harness / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void Seed(const std::string& harness, const std::string& name, const std::string& text)
{
    Seed(harness, name, std::vector<BYTE>(text.begin(), text.end()));
}

void Seed(const std::string& harness, const std::string& name, BYTE first, const std::string& rest)
{
    std::vector<BYTE> bytes{first};
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    Seed(harness, name, bytes);
}

void Streams(CStorage& storage, std::vector<std::vector<BYTE>>& out)
{
    for (const CStorageElementInfo& e : storage.EnumElements()) {
        if (e.type == CStorageElementInfo::stream) {
            auto stream = storage.OpenStream(e.name);
            std::vector<BYTE> bytes(std::size_t(stream->GetLength()));
            stream->Read(bytes.data(), bytes.size());
            out.push_back(std::move(bytes));
        } else if (CStorage* sub = storage.OpenStorage(e.name)) {
            Streams(*sub, out);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    g_out = argv[1];
    fuzz::Init();
    fuzz::EnsureGuiApplication();
    const fs::path source = fs::path(MARLOX_SAMPLE_WORKSPACE).parent_path().parent_path();
    const fs::path repro = source / "tests" / "repro";

    // Whole workspaces, and each stream of the sample after its index byte.
    Seed("workspace_file", "sample.mxf", ReadAll(MARLOX_SAMPLE_WORKSPACE));
    for (const char* name : {"W1_window_rect.mxf", "W2_fmt_maxdigits.mxf"})
        Seed("workspace_file", name, ReadAll(repro / name));
    {
        const std::vector<BYTE> sample = ReadAll(MARLOX_SAMPLE_WORKSPACE);
        CCompoundFile file;
        file.LoadBytes(sample.data(), sample.size());
        std::vector<std::vector<BYTE>> streams;
        Streams(file.Root(), streams);
        for (std::size_t i = 0; i < streams.size(); ++i) {
            std::vector<BYTE> bytes{BYTE(i)};
            bytes.insert(bytes.end(), streams[i].begin(), streams[i].end());
            Seed("workspace_stream", "stream-" + std::to_string(i), bytes);
        }
    }

    // The sample's items: stored, copied to the clipboard, their notes and equations.
    CMXDoc doc;
    if (!doc.OnOpenDocument(MARLOX_SAMPLE_WORKSPACE))
        return 1;
    CItemListCtrl* list = doc.GetItemListCtrl();
    list->ClearSelection();
    int index = 0;
    for (CProjectItemBase* base : doc.GetProjectItems()) {
        const std::string n = std::to_string(index++);
        if (auto* item = dynamic_cast<CMXProjectItem*>(base)) {
            const std::string path = fuzz::ScratchDir() + "/item.mxc";
            item->SaveToFile(path);
            Seed("stored_item", "item-" + n, ReadAll(path));
        }
        if (auto* notes = dynamic_cast<CMXNotes*>(base)) {
            const std::string rtf = notes->GetRichData().GetRtf();
            Seed("rtf", "notes-" + n, std::vector<BYTE>(rtf.begin(), rtf.end()));
        }
        if (auto* eq = dynamic_cast<CMXEquation*>(base)) {
            Seed("equation", "equation-" + n, 0, eq->GetCompiledEquation().GetSource());
            Seed("equation", "equation-strict-" + n, 3, eq->GetCompiledEquation().GetSource());
        }
    }
    for (int row = 0; row < list->GetItemCount(); ++row)
        list->SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    if (CopySelectedItems(&doc))
        Seed("workspace_clipboard", "sample-items", GetClipboard().GetData(kWorkspaceDataFormat));

    // Equation texts that use every statement.
    Seed("equation", "statements", 0,
         "' a comment\r\nk := a * x + b\r\nIF k > c THEN\r\n  y = k\r\nELSE\r\n  y = -k\r\nENDIF\r\n"
         "s = 0\r\nFOR i = 1 TO 10 STEP 2\r\n  s = s + i ^ 2\r\nNEXT\r\nFOR j = 5 DOWNTO 1\r\nNEXT\r\n"
         "IF s < 0 THEN GOTO done\r\ny = y + SQRT(ABS(s)) + EXP(-x) + LN(2) + _PI_\r\n:done\r\n");
    Seed("equation", "return", 2, "y = a\r\nIF x = 0 THEN RETURN\r\ny = b / x\r\n");

    // Notes.
    for (const char* name : {"R2_min.rtf"})
        Seed("rtf", name, ReadAll(repro / name));
    Seed("rtf", "plain-text", "first line\r\nsecond\tline \x01 with a control\rthird");
    Seed("rtf", "features",
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}"
         "{\\f1\\fswiss Arial;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\pard\\qc\\li360\\fi-360\\tx720 "
         "\\f0\\fs24 Title \\b bold\\b0\\i italic\\i0\\ul under\\ulnone\\up6 up\\dn6 down\\par\r\n"
         "\\pard{\\pntext\\'95\\tab}{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'95}}\\f1\\cf1 caf\\'e9 \\u945?\\line x\\par}");

    // Settings files.
    for (const char* name : {"G1_placement.conf", "maxdigits.conf"})
        Seed("settings", name, ReadAll(repro / name));
    {
        const std::string path = fuzz::ScratchDir() + "/seed-settings.conf";
        fs::remove(path);
        CSettingsStore store(path);
        store.SetValue("Software\\Brackmoor\\Marlox\\Preferences", "LargeIcons", {CSettingsStore::kindDword, {1, 0, 0, 0}});
        store.SetValue("Software\\Brackmoor\\Marlox\\Preferences", "Author Name",
                       {CSettingsStore::kindString, {'A', '.', ' ', 'N', '\t', '"', 0}});
        store.SetValue("Software\\Brackmoor\\Marlox\\Data Filter Files", "Filters",
                       {CSettingsStore::kindMultiString, {'a', 0, 'b', 0, 0}});
        store.SetValue("Software\\Brackmoor\\Marlox\\Settings", "Placement", {CSettingsStore::kindBinary, {44, 0, 0, 0}});
        store.SetValue("Software\\Brackmoor\\Marlox\\Settings", "Odd", {5, {0, 0, 1, 0}});
        Seed("settings", "written", ReadAll(path));
    }

    // Data files for the import: plain text and the semicolon filter's format.
    Seed("filter_import", "tab-text", 0, "Time\tRate\r\n0\t1.5\r\n2\t\"a \"\"quoted\"\" text\"\r\n");
    Seed("filter_import", "blank-text", 0, "x  \"12\" \"say \"\"hi\"\"\"\r\n 1.5   2\n3");
    Seed("filter_import", "scd", 1, "SCD\nTime;Rate\n0;1.5\n2;4\n");

    // Clipboard blocks of a data table: what Copy puts there, and the inputs that once hung.
    for (const char* name : {"C1_paste_x2_undo.bin", "C2_min_72bytes.bin", "C2_timeout.bin", "C2_cols200k.bin"})
        Seed("table_paste", name, ReadAll(repro / name));
    {
        auto* grid = new CMXGrid(&doc);
        grid->InitNewItem();
        CMyData& table = grid->GetTable();
        table.SetCell(0, 0, CreateColumnType(2, 0));
        table.SetCell(1, 0, new CDataString("Rate"));
        for (int r = 2; r < 8; ++r) {
            table.SetNumber(r, 0, r * 0.25);
            table.SetCell(r, 1, new CDataString("t" + std::to_string(r)));
        }
        CDataView view(grid);
        view.GetGridData()->m_ranges.assign(1, CGridRange{1, 1, 2, 8});
        if (view.OnCmdMsg(ID_EDIT_COPY, nullptr)) {
            const std::vector<BYTE> priv = GetClipboard().GetData(kPrivateDataFormat);
            const std::vector<BYTE> text = GetClipboard().GetData("text/plain");
            Seed("table_paste", "copy-private", 0, std::string(priv.begin(), priv.end()));
            Seed("table_paste", "copy-text", 1, std::string(text.begin(), text.end()));
            Seed("table_paste", "copy-block", 4, std::string(priv.begin(), priv.end()));
        }
        Seed("table_paste", "filter", 2, "SCD\nTime;Rate\n0;1.5\n2;4\n");
    }
    return 0;
}
