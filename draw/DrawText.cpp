#include "draw/DrawText.h"

#include "draw/DrawData.h"
#include "framework/ArchiveHelpers.h"
#include "framework/ProjectDocBase.h"
#include "framework/UpdateNotification.h"
#include "ui/RtfDocument.h"

#include <algorithm>

IMPLEMENT_SERIAL(CDrawText, CDrawTextBase, 0)

bool ParseField(std::string_view field, std::string& item, std::string& name, std::string& argument)
{
    std::size_t i = field.find_first_not_of(' ');
    if (i == std::string_view::npos)
        return false;
    if (field[i] == '"') {
        const std::size_t close = field.find('"', i + 1);
        if (close == std::string_view::npos)
            return false;
        item = std::string(field.substr(i + 1, close - i - 1));
        i = close + 1;
    } else {
        const std::size_t blank = field.find(' ', i);
        if (blank == std::string_view::npos)
            return false;
        item = std::string(field.substr(i, blank - i));
        i = blank;
    }
    i = std::min(field.find_first_not_of(' ', i), field.size());
    const std::size_t blank = field.find(' ', i);
    if (blank == std::string_view::npos) {
        name = std::string(field.substr(i));
        argument.clear();
    } else {
        name = std::string(field.substr(i, blank - i));
        argument = std::string(field.substr(blank + 1));
    }
    return true;
}

CDrawObj* CDrawText::Clone(CDrawData* page)
{
    EndEdit();
    auto clone = std::make_unique<CDrawText>(m_position, page);
    CopyAttributes(clone.get());
    return AdoptClone(std::move(clone));
}

void CDrawText::OnDocumentChange(CUpdateNotification& notice)
{
    if (notice.kind == UN_ITEM_RENAMED) {
        RenameItemInFields(notice.oldName, notice.newName);
        return;
    }
    if (IsEditing())
        EndEdit();
    else if (GetText().find('{') != std::string::npos) {
        // The fields are expanded again when the text is next drawn.
        InvalidateRuns();
        Invalidate();
    }
}

namespace {

// Replaces the bytes from to to (paragraph offsets) by text, inside the
// run that holds the byte before from, so that the new text takes the
// format the field had; runs left empty are dropped.
void ReplaceInRuns(CRtfParagraph& para, std::size_t from, std::size_t to, const std::string& text)
{
    std::vector<CRtfRun> runs;
    std::size_t start = 0;
    bool inserted = false;
    for (CRtfRun& run : para.runs) {
        const std::size_t end = start + run.text.size();
        std::string kept;
        for (std::size_t k = 0; k < run.text.size(); ++k) {
            const std::size_t at = start + k;
            if (at == from && !inserted) {
                kept += text;
                inserted = true;
            }
            if (at < from || at >= to)
                kept += run.text[k];
        }
        if (!inserted && from == end && from > start) {
            kept += text;
            inserted = true;
        }
        start = end;
        if (!kept.empty()) {
            run.text = std::move(kept);
            runs.push_back(std::move(run));
        }
    }
    para.runs = std::move(runs);
}

// Calls field(open, close, item, name, argument) for every valid field of
// every paragraph, "{" at open and "}" at close; field may rewrite the
// paragraph and returns where the search goes on.
template <class F>
void ForEachField(CRtfDocument& document, F field)
{
    for (CRtfParagraph& para : document.paragraphs) {
        std::size_t from = 0;
        for (;;) {
            const std::string text = para.Text();
            const std::size_t open = text.find('{', from);
            if (open == std::string::npos)
                break;
            const std::size_t close = text.find('}', open + 1);
            if (close == std::string::npos)
                break;
            std::string item, name, argument;
            from = close + 1;
            if (ParseField(std::string_view(text).substr(open + 1, close - open - 1), item, name, argument))
                from = field(para, open, close, item, name, argument);
        }
    }
}

} // namespace

const CTextFieldSource* CTextFieldSource::Of(const CDrawData* page)
{
    return page ? dynamic_cast<const CTextFieldSource*>(page->GetDocument()) : nullptr;
}

CRtfDocument ExpandFields(const CRtfDocument& document, const CTextFieldSource* source)
{
    CRtfDocument drawn = document;
    if (!source)
        return drawn;
    ForEachField(drawn, [&](CRtfParagraph& para, std::size_t open, std::size_t close, const std::string& item,
                            const std::string& name, const std::string& argument) {
        std::string value;
        if (!source->GetItemFieldText(item, name, argument, value))
            return close + 1;
        // The value goes where the inside was, in the run of the opening
        // brace; then both braces go.
        ReplaceInRuns(para, open + 1, close, value);
        ReplaceInRuns(para, open + 1 + value.size(), open + 2 + value.size(), {});
        ReplaceInRuns(para, open, open + 1, {});
        return open + value.size();
    });
    return drawn;
}

CRtfDocument CDrawText::GetDrawnDocument() const
{
    CRtfDocument doc = GetTextDocument();
    if (GetText().find('{') == std::string::npos)
        return doc;
    return ExpandFields(doc, CTextFieldSource::Of(m_pDocument));
}

bool CDrawText::RenameItemInFields(const std::string& oldName, const std::string& newName)
{
    if (IsEditing())
        EndEdit();
    if (GetText().find('{') == std::string::npos)
        return false;
    CRtfDocument doc = GetTextDocument();
    bool changed = false;
    ForEachField(doc, [&](CRtfParagraph& para, std::size_t open, std::size_t close, const std::string& item,
                          const std::string& name, const std::string& argument) {
        if (CompareNoCase(item, oldName) != 0)
            return close + 1;
        std::string renamed = "\"" + newName + "\" " + name;
        if (!argument.empty())
            renamed += " " + argument;
        ReplaceInRuns(para, open + 1, close, renamed);
        changed = true;
        return open + 1 + renamed.size() + 1;
    });
    if (!changed)
        return false;
    SetTextDocument(doc);
    Invalidate();
    SetModified();
    return true;
}
