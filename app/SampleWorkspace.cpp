#include "app/SampleWorkspace.h"

#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/MXGrid.h"
#include "app/MXNonLinear.h"
#include "app/MXNotes.h"
#include "data/DataString.h"
#include "framework/WorkspaceHost.h"
#include "fitting/WorkerThread.h"
#include "ui/RtfDocument.h"

#include <algorithm>
#include <cstring>

namespace {

// One note: a bold heading and plain paragraphs.
void FillNote(CMXNotes& notes, const char* heading, std::initializer_list<const char*> paragraphs)
{
    CRtfDocument doc;
    CHARFORMAT plain = CRichData::DefaultCharFormat();
    CHARFORMAT bold = plain;
    bold.dwEffects |= CFE_BOLD;
    bold.yHeight = 280;
    PARAFORMAT para = CRtfDocument::PlainParaFormat();
    doc.AppendText(heading, bold);
    doc.EndParagraph(para, bold);
    std::size_t n = paragraphs.size(), i = 0;
    for (const char* text : paragraphs) {
        doc.AppendText(text, plain);
        if (++i < n)
            doc.EndParagraph(para, plain);
        else
            doc.EndDocument(para, plain);
    }
    notes.GetRichData().SetDocument(doc);
}

CMXNotes* AddNotes(CMXDoc& doc, const char* name)
{
    auto* notes = new CMXNotes(&doc);
    notes->InitNewItem();
    notes->SetName(name, 0);
    return notes;
}

// The windows the sample opens with, as the main window would report them:
// the notes on the left and the table beside them, the notes on top.
class SampleWindows : public CWorkspaceHost {
public:
    std::vector<FrameState> frames;

    void Show(CProjectItemBase* item, RECT area, int stackPosition)
    {
        FrameState state;
        state.item = item;
        state.placement.showCmd = SW_SHOWNORMAL;
        state.placement.ptMinPosition = {-1, -1};
        state.placement.ptMaxPosition = {-1, -1};
        state.placement.rcNormalPosition = area;
        state.stackPosition = stackPosition;
        frames.push_back(state);
    }
    bool OpenItemWindow(CProjectItemBase*) override { return false; }
    void CloseItemWindows(CProjectItemBase*) override {}
    bool HasItemWindow(const CProjectItemBase* item) const override
    {
        return std::any_of(frames.begin(), frames.end(), [item](const FrameState& f) { return f.item == item; });
    }
    std::vector<FrameState> GetItemFrames() override { return frames; }
    void RestoreItemFrames(const std::vector<FrameState>&) override {}
    void CloseAllItemWindows() override {}
};

} // namespace

bool WriteSampleWorkspace(const std::string& path)
{
    CMXDoc doc;
    // A new workspace: created now, by this program.
    doc.OnNewDocument();
    CMXNotes* about = AddNotes(doc, "About this study");
    FillNote(*about, "Enzyme kinetics, run 1",
             {"Initial rates of the reaction were measured at six substrate concentrations, twice each.",
              "The rates are in the table \"Initial rates\"; the Michaelis-Menten equation is fitted to them.",
              "Still to compare: a model with substrate inhibition."});
    FillNote(*AddNotes(doc, "Method"), "Method",
             {"Buffer: 50 mM phosphate, pH 7.4, 25 \xC2\xB0""C.",
              "Substrate concentrations from 0.02 to 1.10 ppm; rates in counts per minute per minute."});
    FillNote(*AddNotes(doc, "To do"), "Still to do",
             {"Repeat the lowest two concentrations.", "Check the plate reader calibration."});

    // The measured rates: Puromycin, treated cells (Bates & Watts, Nonlinear
    // Regression Analysis, 1988), substrate in ppm, rate in counts/min/min.
    auto* table = new CMXGrid(&doc);
    table->InitNewItem();
    table->SetName("Initial rates", 0);
    CMyData& t = table->GetTable();
    t.SetCell(1, 0, new CDataString("Substrate (ppm)"));
    t.SetCell(1, 1, new CDataString("Rate"));
    const double conc[] = {0.02, 0.02, 0.06, 0.06, 0.11, 0.11, 0.22, 0.22, 0.56, 0.56, 1.10, 1.10};
    const double rate[] = {76, 47, 97, 107, 123, 139, 159, 152, 191, 201, 207, 200};
    for (int i = 0; i < 12; ++i) {
        t.SetNumber(i + 2, 0, conc[i]);
        t.SetNumber(i + 2, 1, rate[i]);
    }

    auto* equation = new CMXEquation(&doc);
    equation->InitNewItem();
    equation->SetName("Michaelis-Menten", 0);
    CEquation& eq = equation->GetCompiledEquation();
    eq.SetYName("v");
    eq.SetXName(0, "S", "");
    eq.SetParameterName(0, "Vmax", "");
    eq.SetParameterName(1, "Km", "");
    eq.SetModeFlag(1);
    eq.SetSource("' The Michaelis-Menten rate law\nv = Vmax * S / (Km + S)");
    eq.Compile();

    auto* fit = new CMXNonLinear(&doc);
    fit->InitNewItem();
    fit->SetName("Michaelis-Menten fit", 0);
    fit->SetEquationName("Michaelis-Menten");
    fit->SetParamEstimate(0, 200);
    fit->SetParamEstimate(1, 0.1);
    // Run to convergence rather than stop on a small change of chi-square.
    fit->m_nChiSqChange = 0;
    fit->m_nMaxIterations = 50;
    fit->Select("Initial rates", 0, 0, 1, -1, 0);
    // The sample is written fitted: the run's results are taken at once.
    if (fit->OnDataChanged(0, 1))
        fit->WaitForCalculation();

    CItemListCtrl* list = doc.GetItemListCtrl();
    // One column: the workspace list is narrow when the program first opens.
    for (int row = 0; row < list->GetItemCount(); ++row)
        list->SetItemPosition(row, 10, 10 + 76 * row);
    SampleWindows windows;
    windows.Show(table, RECT{400, 10, 760, 420}, 0);
    windows.Show(about, RECT{10, 10, 390, 300}, 1);
    doc.SetHost(&windows);
    const bool saved = doc.OnSaveDocument(path);
    doc.SetHost(nullptr);
    return saved;
}

bool WriteBlankTemplate(const std::string& path)
{
    CMXDoc doc;
    doc.OnNewDocument();
    return doc.OnSaveDocument(path);
}
