#include "app/SampleWorkspace.h"

#include "app/MXDoc.h"
#include "app/MXNotes.h"
#include "ui/RtfDocument.h"

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

} // namespace

bool WriteSampleWorkspace(const std::string& path)
{
    CMXDoc doc;
    FillNote(*AddNotes(doc, "About this study"), "Enzyme kinetics, run 1",
             {"Initial rates of the reaction were measured at eight substrate concentrations.",
              "Each rate is the mean of three replicates; the standard deviations are kept beside them.",
              "The aim is to fit the Michaelis-Menten equation and compare it with a model with substrate inhibition."});
    FillNote(*AddNotes(doc, "Method"), "Method",
             {"Buffer: 50 mM phosphate, pH 7.4, 25 \xC2\xB0""C.",
              "Substrate concentrations from 0.5 to 40 \xC2\xB5M; enzyme 2 nM."});
    FillNote(*AddNotes(doc, "To do"), "Still to do",
             {"Repeat the lowest two concentrations.", "Check the plate reader calibration."});
    doc.GetItemListCtrl()->SetItemPosition(0, 10, 10);
    doc.GetItemListCtrl()->SetItemPosition(1, 90, 10);
    doc.GetItemListCtrl()->SetItemPosition(2, 170, 10);
    return doc.OnSaveDocument(path);
}
