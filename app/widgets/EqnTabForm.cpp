#include "app/widgets/EqnTabForm.h"

#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/widgets/EqnTabViews.h"
#include "equation/Equation.h"
#include "equation/EquationCheck.h"
#include "equation/ParseErr.h"
#include "equation/widgets/Geometry.h"
#include "equation/widgets/SyntaxEdit.h"
#include "framework/UpdateNotification.h"
#include "framework/widgets/HeaderFooterPainter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/widgets/CommandIds.h"
#include "ui/widgets/RichTextDocument.h"

#include <QPainter>
#include <QTextDocument>

#include <algorithm>

namespace {

const std::vector<UINT> kViewCommands = {ID_VIEW_GENERAL,    ID_VIEW_X_VARIABLES, ID_VIEW_PARAMETERS,
                                         ID_VIEW_CONSTANTS,  ID_VIEW_DEFINITION,  ID_VIEW_ESTIMATES,
                                         ID_VIEW_FONTS,      ID_VIEW_INDENTS};

// The text of a definition as lines of a printout.
std::string PrintedText(const std::string& source)
{
    std::string text;
    for (std::size_t i = 0; i < source.size(); ++i)
        if (source[i] != '\r')
            text += source[i];
    return text;
}

} // namespace

bool OnViewTabCommand(CTabFormView& form, const std::vector<UINT>& commands, UINT id, CCmdUI* ui)
{
    const auto it = std::find(commands.begin(), commands.end(), id);
    if (it == commands.end() || id == 0)
        return false;
    const int tab = int(it - commands.begin());
    if (ui) {
        ui->Enable(true);
        ui->SetRadio(form.GetCurrentTab() == tab);
    } else {
        form.SelectTab(tab);
    }
    return true;
}

int PrintSymbolTable(CMXTabForm& form, CPrintContext& pc, bool draw, bool firstOnPage, const CMXEquationBase& item,
                     UINT headingId, const std::vector<std::string>& names, const std::vector<std::string>& labels)
{
    if (!pc.painter)
        return PRINT_UNIT_FITS;
    QPainter& painter = *pc.painter;
    const ItemFont& heading = item.m_fonts[1];
    const ItemFont& columns = item.m_fonts[2];
    const ItemFont& normal = item.m_fonts[3];
    const int left = pc.area.left();
    const int right = pc.area.left() + pc.area.width();
    const int numberAt = left + item.m_indents[0], symbolAt = left + item.m_indents[3];
    const int descriptionAt = left + item.m_indents[2];
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    const int rule = 10; // the rules' distance from the text, in thousandths of an inch

    // Each row: its number, symbol and description; the height of the tallest.
    struct Row {
        QString number, symbol, description;
        int height = 0;
    };
    auto measure = [&](const ItemFont& font, Row& row) {
        painter.save();
        painter.setFont(HeaderFooterFont(font.font, font.size));
        const int tall = std::max(pc.area.height(), 1);
        row.height = std::max({CMXTabForm::PrintTextBlockLine(painter, row.number, QRect(numberAt, 0, std::max(symbolAt - numberAt, 1), tall), flags, false),
                               CMXTabForm::PrintTextBlockLine(painter, row.symbol, QRect(symbolAt, 0, std::max(descriptionAt - symbolAt, 1), tall), flags, false),
                               CMXTabForm::PrintTextBlockLine(painter, row.description, QRect(descriptionAt, 0, std::max(right - descriptionAt, 1), tall), flags, false)});
        painter.restore();
    };
    Row title{QString::fromStdString(LoadString(headingId)), {}, {}};
    painter.save();
    painter.setFont(HeaderFooterFont(heading.font, heading.size));
    title.height = CMXTabForm::PrintTextBlockLine(painter, title.number, QRect(left, 0, std::max(right - left, 1), std::max(pc.area.height(), 1)), flags, false);
    painter.restore();
    Row head{{}, QString::fromStdString(LoadString(IDS_PRINT_SYMBOL)), QString::fromStdString(LoadString(IDS_PRINT_DESCRIPTION))};
    measure(columns, head);
    std::vector<Row> rows;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& label = i < labels.size() && !labels[i].empty() ? labels[i] : names[i];
        Row row{QString::number(i + 1), QString::fromStdString(names[i]), QString::fromStdString(label)};
        measure(normal, row);
        rows.push_back(row);
    }
    int height = title.height + head.height + 3 * rule;
    for (const Row& row : rows)
        height += row.height;
    if (pc.Remaining() < height && !firstOnPage)
        return PRINT_UNIT_NO_ROOM;
    if (draw) {
        painter.save();
        painter.setPen(QPen(Qt::black, 0));
        int y = pc.top;
        painter.setFont(HeaderFooterFont(heading.font, heading.size));
        painter.drawText(QRect(left, y, right - left, title.height), flags, title.number);
        y += title.height;
        auto drawRow = [&](const ItemFont& font, const Row& row) {
            painter.setFont(HeaderFooterFont(font.font, font.size));
            painter.drawText(QRect(numberAt, y, std::max(symbolAt - numberAt, 1), row.height), flags, row.number);
            painter.drawText(QRect(symbolAt, y, std::max(descriptionAt - symbolAt, 1), row.height), flags, row.symbol);
            painter.drawText(QRect(descriptionAt, y, std::max(right - descriptionAt, 1), row.height), flags,
                             row.description);
            y += row.height;
        };
        painter.drawLine(numberAt, y + rule / 2, right, y + rule / 2);
        y += rule;
        drawRow(columns, head);
        painter.drawLine(numberAt, y + rule / 2, right, y + rule / 2);
        y += rule;
        for (const Row& row : rows)
            drawRow(normal, row);
        painter.drawLine(numberAt, y + rule / 2, right, y + rule / 2);
        painter.restore();
    }
    pc.top += height;
    return PRINT_UNIT_FITS;
}

// ---------------------------------------------------------------- form

CEqnTabForm::CEqnTabForm(CMXEquation* item, QWidget* parent) : CMXTabForm(3510, item, parent)
{
    setObjectName("CEqnTabForm");
}

CMXEquation* CEqnTabForm::GetEqnItem() const { return dynamic_cast<CMXEquation*>(GetItem()); }

CEquation* CEqnTabForm::GetEquation() const
{
    CMXEquation* item = GetEqnItem();
    return item ? &item->GetCompiledEquation() : nullptr;
}

void CEqnTabForm::OnInitialUpdate()
{
    if (m_bSetUp)
        return;
    m_bSetUp = true;
    AddTab<CGeometry<CEqnGeneralView>>(3511, IDS_TAB_GENERAL);
    AddTab<CGeometry<EqnXView>>(3516, IDS_TAB_X_VARIABLES);
    AddTab<CGeometry<CEqnParamView>>(3515, IDS_TAB_PARAMETERS);
    AddTab<CGeometry<CEqnConstView>>(3512, IDS_TAB_CONSTANTS);
    AddTab<CGeometry<CEqnDefView>>(3513, IDS_TAB_DEFINITION);
    AddTab<CGeometry<CEqnEstimates>>(3514, IDS_TAB_ESTIMATES);
    AddTab<CGeometry<CEqnFontView>>(3517, IDS_TAB_FONTS);
    AddTab<CGeometry<CEqnIndentView>>(3518, IDS_TAB_INDENTS);
    // The frame takes the form's size unless the item remembers its window.
    CMXEquation* item = GetEqnItem();
    DoInitialUpdate(!item || item->m_wpFrame.length == 0);
}

bool CEqnTabForm::OnFormCommand(UINT id, CCmdUI* ui)
{
    if (OnViewTabCommand(*this, kViewCommands, id, ui))
        return true;
    CEquation* eq = GetEquation();
    if (id == ID_EQUATION_COMPILE) {
        if (ui)
            ui->Enable(eq && !eq->IsValid());
        else if (eq && !eq->IsValid())
            Compile();
        return true;
    }
    if (id == ID_INDICATOR_ITEM_STATE) {
        if (ui) {
            ui->Enable(eq != nullptr);
            ui->SetText(LoadString(eq && eq->IsValid() ? IDS_COMPILED : IDS_NOT_COMPILED));
        }
        return true;
    }
    return CMXTabForm::OnFormCommand(id, ui);
}

void CEqnTabForm::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    auto* note = dynamic_cast<CUpdateNotification*>(object);
    if (hint == UPDATE_HINT_NOTIFICATION && note
        && (note->kind == UN_WORKSPACE_SAVED || (note->kind == UN_ITEM_RENAMED && note->item == GetItem())))
        update();
}

void CEqnTabForm::UpdateEquation() { AnnounceChange(UN_EQUATION_CHANGED); }

bool CEqnTabForm::Compile()
{
    CMXEquation* item = GetEqnItem();
    CEquation* eq = GetEquation();
    if (!item || !eq)
        return false;
    NotifyItemChanged();
    item->SetModified(true);
    const bool wasValid = eq->IsValid();
    const SEquationCheck check = CheckAndCompileEquation(*eq);
    if (!check.ok) {
        if (wasValid)
            UpdateEquation();
        ShowFault(check);
        return false;
    }
    if (!wasValid)
        UpdateEquation();
    return true;
}

void CEqnTabForm::ShowFault(const SEquationCheck& check)
{
    SelectTab(check.tab);
    CTabFormChildView* page = GetTabView(check.tab);
    if (auto* grid = dynamic_cast<CEqnTabChildView*>(page); grid && check.row > 0)
        grid->SelectRow(check.row);
    if (auto* estimates = dynamic_cast<CEqnEstimates*>(page); estimates && check.row > 0)
        estimates->SelectDefinitionRow(check.row);
    CParseErr(int(check.messageId), check.text).ReportError();
    if (auto* definition = dynamic_cast<CEqnDefView*>(page);
        definition && check.editor == SEquationCheck::editorDefinition) {
        definition->GetEditor()->SelectSourceRange(check.start, check.end);
        definition->GetEditor()->setFocus();
    }
    if (auto* estimates = dynamic_cast<CEqnEstimates*>(page);
        estimates && (check.editor == SEquationCheck::editorXData || check.editor == SEquationCheck::editorYData))
        estimates->SelectTransformRange(check.editor == SEquationCheck::editorYData, check.start, check.end);
}

int CEqnTabForm::PrintSection(CPrintContext& pc, bool draw, int section, bool firstOnPage)
{
    CMXEquation* item = GetEqnItem();
    CEquation* eq = GetEquation();
    if (!item || !eq || section > 20)
        return PRINT_UNIT_END;
    const ItemFont& normal = item->m_fonts[3];
    const int in1 = item->m_indents[0], in2 = item->m_indents[1];
    auto line = [&](UINT label, const std::string& value) {
        return PrintLabelLine(pc, draw, firstOnPage, normal.font, normal.size, in1, in2, label, value);
    };
    auto empty = [&] { return PrintEmptyLine(pc, draw, firstOnPage, normal.font, normal.size); };
    const bool estimates = eq->GetUseParameterDefinitions() != 0;
    switch (section) {
    case 0: {
        const ItemFont& title = item->m_fonts[0];
        return PrintLabelLine(pc, draw, firstOnPage, title.font, title.size, 0, 0, 0,
                              LoadString(IDS_EQUATION_DEFINITION_TITLE));
    }
    case 1:
    case 7:
    case 11:
    case 13:
    case 17: return empty();
    case 2: return line(IDS_PRINT_WORK_FILE, GetWorkFileTitle());
    case 3: return line(IDS_PRINT_LOCATION, GetWorkFileLocation());
    case 4: return line(IDS_PRINT_EQUATION_NAME, item->GetName());
    case 5: return line(IDS_PRINT_EQUATION_DEFINED, item->FormatTimeLong());
    case 6: return line(IDS_PRINT_USER, GetUserName());
    case 8: {
        QTextDocument text;
        FillTextDocument(text, eq->GetFormattedSource().GetDocument());
        return PrintRichText(pc, text, draw, firstOnPage) ? PRINT_UNIT_FITS_BREAK : PRINT_UNIT_NO_ROOM;
    }
    case 9: return eq->GetModeFlag() ? empty() : PRINT_UNIT_FITS;
    case 10: return eq->GetModeFlag() ? line(0, LoadString(IDS_PLOTTING_ONLY)) : PRINT_UNIT_FITS;
    case 12:
        if (!eq->IsValid())
            return PrintLabelLine(pc, draw, firstOnPage, normal.font, normal.size, 0, 0, 0,
                                  LoadString(IDS_EQUATION_NOT_COMPILED));
        return PrintSymbolTable(*this, pc, draw, firstOnPage, *item, IDS_PRINT_X_VARIABLES,
                                eq->SymbolNames(CEquationBase::SymbolX), eq->SymbolLabels(CEquationBase::SymbolX));
    case 14:
        return PrintSymbolTable(*this, pc, draw, firstOnPage, *item, IDS_PRINT_PARAMETERS,
                                eq->SymbolNames(CEquationBase::SymbolParameter),
                                eq->SymbolLabels(CEquationBase::SymbolParameter));
    case 15: return eq->GetConstantCount() > 0 ? empty() : PRINT_UNIT_FITS;
    case 16:
        if (eq->GetConstantCount() == 0)
            return PRINT_UNIT_FITS;
        return PrintSymbolTable(*this, pc, draw, firstOnPage, *item, IDS_PRINT_CONSTANTS,
                                eq->SymbolNames(CEquationBase::SymbolConstant),
                                eq->SymbolLabels(CEquationBase::SymbolConstant));
    case 18:
        return PrintLines(pc, draw, firstOnPage,
                          {{&normal.font, normal.size, in1, in2, LoadString(IDS_PRINT_Y_NAME), eq->GetYName()},
                           {&normal.font, normal.size, in1, in2, LoadString(IDS_PRINT_DEFINITION),
                            PrintedText(eq->GetSource())}});
    case 19: {
        if (!estimates)
            return PRINT_UNIT_FITS;
        const ItemFont& sub = item->m_fonts[1];
        return PrintLines(pc, draw, firstOnPage,
                          {{&sub.font, sub.size, 0, 0, LoadString(IDS_PRINT_DATA_TRANSFORMS), {}},
                           {&normal.font, normal.size, in1, in2, LoadString(IDS_PRINT_X_DATA), eq->GetXTransform()},
                           {&normal.font, normal.size, in1, in2, LoadString(IDS_PRINT_Y_DATA), eq->GetYTransform()}});
    }
    case 20: {
        if (!estimates)
            return PRINT_UNIT_END;
        const ItemFont& sub = item->m_fonts[1];
        std::vector<CPrintLine> lines = {{&sub.font, sub.size, 0, 0, LoadString(IDS_PRINT_PARAMETER_ESTIMATES), {}}};
        for (int i = 0; i < eq->GetParameterCount(); ++i)
            lines.push_back({&normal.font, normal.size, in1, in2, eq->GetParameterName(i),
                             eq->GetParameterDefinition(i)});
        return PrintLines(pc, draw, firstOnPage, lines);
    }
    default: return PRINT_UNIT_FITS;
    }
}

// ---------------------------------------------------------------- frame

CEqnTabForm* CEqnProjectWnd::GetForm() const { return qobject_cast<CEqnTabForm*>(widget()); }

QWidget* CEqnProjectWnd::CreateItemView()
{
    auto* form = new CEqnTabForm(dynamic_cast<CMXEquation*>(m_pItem));
    form->OnInitialUpdate();
    return form;
}
