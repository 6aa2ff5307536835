#include "app/widgets/FitTabForm.h"

#include "app/MXDoc.h"
#include "app/MXGrid.h"
#include "app/MXLinear.h"
#include "app/MXNonLinear.h"
#include "app/MXResult.h"
#include "app/widgets/EqnTabForm.h"
#include "app/widgets/FitTabViews.h"
#include "equation/EquationBase.h"
#include "equation/widgets/Geometry.h"
#include "fitting/LinearFit.h"
#include "fitting/NonlinearFit.h"
#include "framework/UpdateNotification.h"
#include "framework/widgets/HeaderFooterPainter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/widgets/CommandIds.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>

#include <charconv>
#include <cmath>

namespace {

std::string General(double value, int digits)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return std::string(buffer, result.ptr);
}

} // namespace

// ---------------------------------------------------------------- progress window

CNonlinearFitProgressDlg::CNonlinearFitProgressDlg(CMXNonLinear* item, QWidget* parent)
    : CFitProgressDlg(parent)
    , m_pItem(item)
{
    setObjectName("CNonlinearFitProgressDlg");
}

bool CNonlinearFitProgressDlg::Create(CFitProgressContext* context, QWidget* parent)
{
    m_list = new QTreeWidget(this);
    SetControlId(m_list, 1223);
    m_list->setRootIsDecorated(false);
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QString::fromStdString(LoadString(IDS_RESULT_GRID_PARAMETER)),
                             QString::fromStdString(LoadString(IDS_PROGRESS_CURRENT_VALUE))});
    m_list->setMinimumSize(260, 110);
    if (!CFitProgressDlg::Create(context, IDD_FIT_PROGRESS_DETAIL, parent))
        return false;
    if (auto* box = qobject_cast<QVBoxLayout*>(layout()))
        box->insertWidget(1, m_list, 1);
    const int half = (m_list->viewport()->width() - m_list->verticalScrollBar()->sizeHint().width()) / 2;
    m_list->setColumnWidth(0, std::max(half, 80));
    // One row per parameter of the fit's equation; none without one.
    if (CEquationBase* eq = m_pItem ? m_pItem->GetEquation() : nullptr)
        for (int i = 0; i < eq->GetParameterCount(); ++i)
            m_list->addTopLevelItem(new QTreeWidgetItem({QString::fromStdString(eq->GetParameterName(i)), {}}));
    UpdateProgress();
    return true;
}

void CNonlinearFitProgressDlg::UpdateProgress()
{
    UpdateTitle();
    auto* fit = m_pItem ? dynamic_cast<CNonlinearFit*>(m_pItem->GetRunningFit()) : nullptr;
    if (!fit)
        return;
    CMyVector values;
    int iteration = 0;
    double chi = 0.0;
    // The snapshot is copied under the engine's lock: the worker may be writing the next one.
    fit->GetProgress(values, iteration, chi);
    if (QLabel* label = GetIterationLabel())
        label->setText(iteration == 0 ? QString::fromStdString(LoadString(IDS_PROGRESS_GETTING_ESTIMATES))
                                      : QString::number(iteration));
    if (QLabel* label = GetChiSquareLabel())
        label->setText(iteration == 0 && chi == 0.0 ? QString() : QString::fromStdString(General(chi, 6)));
    const CDataFormat& format = m_pItem->GetNumberFormat();
    for (int i = 0; i < m_list->topLevelItemCount() && i < values.GetSize(); ++i)
        m_list->topLevelItem(i)->setText(1, QString::fromStdString(format.FormatNumber(values[i])));
}

// ---------------------------------------------------------------- frame

CResultProjectWnd::~CResultProjectWnd()
{
    std::lock_guard lock(m_progressLock);
    delete m_progress.data();
}

CMXResult* CResultProjectWnd::GetResultItem() const { return dynamic_cast<CMXResult*>(m_pItem); }

CFitProgressDlg* CResultProjectWnd::MakeProgressWnd()
{
    auto* dlg = new CFitProgressDlg(this);
    if (!dlg->Create(this, GetProgressDialogID(), this)) {
        delete dlg;
        return nullptr;
    }
    return dlg;
}

void CResultProjectWnd::ShowProgressWnd()
{
    std::lock_guard lock(m_progressLock);
    if (m_progress)
        return;
    m_progress = MakeProgressWnd();
    if (!m_progress)
        return;
    // The form takes no input while the fit runs; Abort is the way out.
    if (QWidget* view = widget())
        view->setEnabled(false);
    PositionProgressWnd();
}

void CResultProjectWnd::PositionProgressWnd()
{
    std::lock_guard lock(m_progressLock);
    if (!m_progress)
        return;
    QWidget* pane = widget() ? widget() : this;
    const QRect c = pane->rect();
    const QSize w = m_progress->sizeHint().expandedTo(m_progress->size());
    int x = c.left() + (c.width() / 2 - w.width() / 2);
    int y = c.top() + (c.height() / 2 - w.height() / 2);
    const QPoint at = pane->mapToGlobal(QPoint(std::max(x, 0), std::max(y, 0)));
    m_progress->move(at);
    if (!isMinimized())
        m_progress->show();
}

void CResultProjectWnd::EndCalculation()
{
    std::lock_guard lock(m_progressLock);
    if (!m_progress)
        return;
    CFitProgressDlg* dlg = m_progress.data();
    m_progress = nullptr;
    dlg->hide();
    // The window may be inside its own button's click: it goes once that returns.
    dlg->deleteLater();
    if (CMXResult* item = GetResultItem())
        item->StopCalculation();
    if (QWidget* view = widget()) {
        view->setEnabled(true);
        view->setFocus();
    }
}

void CResultProjectWnd::UpdateProgressWnd()
{
    std::lock_guard lock(m_progressLock);
    if (!m_progress)
        return;
    if (auto* detail = qobject_cast<CNonlinearFitProgressDlg*>(m_progress.data()))
        detail->UpdateProgress();
    else
        m_progress->UpdateTitle();
}

int CResultProjectWnd::GetFitCount() const
{
    CMXResult* item = GetResultItem();
    return item ? item->GetRunningFitCount() : 0;
}

int CResultProjectWnd::GetCurrentFitIndex() const
{
    CMXResult* item = GetResultItem();
    return item ? item->GetRunningFitIndex() : 0;
}

bool CResultProjectWnd::OnCmdMsg(UINT id, CCmdUI* ui)
{
    if (id == ID_CALCULATE_ABORT) {
        std::lock_guard lock(m_progressLock);
        if (ui)
            ui->Enable(m_progress != nullptr);
        else
            EndCalculation();
        return true;
    }
    return CMXProjectWnd::OnCmdMsg(id, ui);
}

void CResultProjectWnd::changeEvent(QEvent* event)
{
    CMXProjectWnd::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    std::lock_guard lock(m_progressLock);
    if (!m_progress)
        return;
    if (isMinimized())
        m_progress->hide();
    else
        PositionProgressWnd();
}

void CResultProjectWnd::showEvent(QShowEvent* event)
{
    CMXProjectWnd::showEvent(event);
    // A frame opened on a running fit shows its progress at once.
    if (!m_bShownOnce) {
        m_bShownOnce = true;
        if (CMXResult* item = GetResultItem(); item && item->GetState() == CMXResult::kCalculating)
            ShowProgressWnd();
    }
}

void CResultProjectWnd::resizeEvent(QResizeEvent* event)
{
    CMXProjectWnd::resizeEvent(event);
    PositionProgressWnd();
}

CLinearFitTabForm* CLinearProjectWnd::GetForm() const { return qobject_cast<CLinearFitTabForm*>(widget()); }

QWidget* CLinearProjectWnd::CreateItemView()
{
    auto* form = new CLinearFitTabForm(dynamic_cast<CMXLinear*>(m_pItem));
    form->OnInitialUpdate();
    return form;
}

CNonlinFitTabForm* CNonlinProjectWnd::GetForm() const { return qobject_cast<CNonlinFitTabForm*>(widget()); }

QWidget* CNonlinProjectWnd::CreateItemView()
{
    auto* form = new CNonlinFitTabForm(dynamic_cast<CMXNonLinear*>(m_pItem));
    form->OnInitialUpdate();
    return form;
}

CFitProgressDlg* CNonlinProjectWnd::MakeProgressWnd()
{
    auto* dlg = new CNonlinearFitProgressDlg(dynamic_cast<CMXNonLinear*>(m_pItem), this);
    if (!dlg->Create(this, this)) {
        delete dlg;
        return nullptr;
    }
    return dlg;
}

// ---------------------------------------------------------------- form

CResultTabForm::CResultTabForm(int templateId, CMXResult* item, QWidget* parent) : CMXTabForm(templateId, item, parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(500);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (CResultProjectWnd* frame = GetResultFrame())
            frame->ShowProgressWnd();
    });
}

CMXResult* CResultTabForm::GetResultItem() const { return dynamic_cast<CMXResult*>(GetItem()); }

CResultProjectWnd* CResultTabForm::GetResultFrame() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* frame = qobject_cast<CResultProjectWnd*>(w))
            return frame;
    return nullptr;
}

std::string CResultTabForm::GetStatusText() const
{
    CMXResult* item = GetResultItem();
    if (!item)
        return {};
    if (item->GetState() == CMXResult::kCalculating && item->GetRunningFitCount() > 1)
        return FormatString(IDS_STATE_CALCULATING_N_OF_M, {std::to_string(item->GetRunningFitIndex() + 1),
                                                           std::to_string(item->GetRunningFitCount())});
    return item->GetStateText();
}

void CResultTabForm::FitData()
{
    CMXResult* item = GetResultItem();
    if (!item)
        return;
    if (item->GetState() == CMXResult::kCalculating || item->IsCalculating()) {
        if (CResultProjectWnd* frame = GetResultFrame(); frame && frame->GetProgressWnd())
            frame->EndCalculation();
        else
            item->StopCalculation();
        m_timer.stop();
        return;
    }
    // What the tab shows goes into the item before the fit reads it.
    NotifyItemChanged();
    item->OnDataChanged(1, 1);
}

bool CResultTabForm::OnFormCommand(UINT id, CCmdUI* ui)
{
    if (OnViewTabCommand(*this, GetViewCommands(), id, ui))
        return true;
    CMXResult* item = GetResultItem();
    if (id == ID_CALCULATE_FIT) {
        if (ui)
            ui->Enable(item && item->GetState() != CMXResult::kFitted);
        else if (item)
            FitData();
        return true;
    }
    if (id == ID_INDICATOR_ITEM_STATE) {
        if (ui) {
            ui->Enable(item != nullptr);
            ui->SetText(GetStatusText());
        }
        return true;
    }
    return CMXTabForm::OnFormCommand(id, ui);
}

void CResultTabForm::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    auto* note = dynamic_cast<CUpdateNotification*>(object);
    if (hint != UPDATE_HINT_NOTIFICATION || !note)
        return;
    if (note->item != GetItem() || !GetItem())
        return;
    CResultProjectWnd* frame = GetResultFrame();
    if (note->kind == UN_CALC_STATE) {
        if (note->state == UN_STATE_STARTED) {
            // A fit shorter than half a second never shows its progress.
            m_timer.start();
        } else {
            m_timer.stop();
            if (frame)
                frame->EndCalculation();
            if (note->state == UN_STATE_NEW_RESULTS)
                OnResultsReady();
        }
        update();
    } else if (note->kind == UN_CALC_PROGRESS) {
        if (frame)
            frame->UpdateProgressWnd();
    }
}

void CResultTabForm::OnResultsReady() { SelectTab(GetResultsTab()); }

// The printed listing: the report head, then one block per data set.
std::vector<CResultTabForm::SListingLine> CResultTabForm::BuildListing() const
{
    std::vector<SListingLine> lines;
    CMXResult* item = GetResultItem();
    if (!item)
        return lines;
    auto add = [&](int font, std::string label, std::string value = {}) {
        lines.push_back({font, std::move(label), std::move(value)});
    };
    auto blank = [&] { add(3, {}); };
    const CDataFormat& format = item->GetNumberFormat();
    CMXGrid* data = item->FindDataItem();
    auto column = [&](int c) { return data && c >= 0 ? data->GetTable().GetColumnName(c) : std::string(); };
    const bool explicitWeights = item->GetWeighting() == kWeightErrors;
    const int layout = item->GetXKind();

    add(0, LoadString(GetTitleID()));
    blank();
    add(3, LoadString(IDS_PRINT_WORK_FILE), GetWorkFileTitle());
    add(3, LoadString(IDS_PRINT_LOCATION), GetWorkFileLocation());
    add(3, LoadString(IDS_LISTING_ITEM_NAME), item->GetName());
    add(3, LoadString(IDS_LISTING_ANALYSIS_PERFORMED), item->FormatTimeLong());
    add(3, LoadString(IDS_PRINT_USER), GetUserName());
    blank();
    add(1, LoadString(IDS_LISTING_SETTINGS));
    add(3, LoadString(IDS_LISTING_EQUATION), GetEquationText());
    add(3, LoadString(IDS_LISTING_WEIGHTING), LoadString(IDS_WEIGHTING_SIMPLE + UINT(std::clamp(item->GetWeighting(), 0, 3))));
    std::vector<std::pair<std::string, std::string>> own;
    AddSettingLines(own);
    for (auto& [label, value] : own)
        add(3, label, value);
    add(3, LoadString(IDS_LISTING_DATA_TABLE), item->GetSourceName());
    if (layout == 1 || layout == 2)
        add(3, LoadString(IDS_LISTING_DATA_SETS), LoadString(layout == 1 ? IDS_LAYOUT_MANY_Y : IDS_LAYOUT_PAIRS));
    add(3, LoadString(layout == 2 ? IDS_LISTING_FIRST_X_COLUMN : IDS_LISTING_X_COLUMN), column(item->m_nXColumn));
    if (item->m_nRangeTest && item->m_lower.n)
        add(3, LoadString(IDS_LISTING_LOWER_LIMIT), format.FormatNumber(item->m_lower.value));
    if (item->m_nRangeTest && item->m_upper.n)
        add(3, LoadString(IDS_LISTING_UPPER_LIMIT), format.FormatNumber(item->m_upper.value));
    add(3, LoadString(layout == 0 ? IDS_LISTING_Y_COLUMN : IDS_LISTING_LAST_Y_COLUMN), column(item->m_nYColumn));
    if (explicitWeights)
        add(3, LoadString(layout == 0 ? IDS_LISTING_ERROR_COLUMN : IDS_LISTING_LAST_ERROR_COLUMN),
            column(item->m_nErrColumn));
    for (int set = 0; set < item->GetSetCount(); ++set) {
        blank();
        std::string heading = LoadString(IDS_LISTING_RESULTS);
        if (item->GetSetCount() > 1)
            heading += " " + std::to_string(set + 1);
        add(2, heading);
        CFit* fit = item->GetFit(set);
        const bool fitted = item->GetSetStatus(set) == CMXResult::kSetFitted && fit && fit->IsFitted();
        if (!fitted) {
            add(3, LoadString(IDS_LISTING_DATA_NOT_FITTED));
            continue;
        }
        add(3, LoadString(IDS_LISTING_X_COLUMN), column(item->GetSetXColumn(set)));
        add(3, LoadString(IDS_LISTING_Y_COLUMN), column(item->GetSetYColumn(set)));
        if (explicitWeights)
            add(3, LoadString(IDS_LISTING_ERROR_COLUMN), column(item->GetSetErrorColumn(set)));
        blank();
        add(3, LoadString(IDS_LISTING_POINTS), std::to_string(fit->GetPointCount()));
        own.clear();
        AddResultLines(set, own);
        for (auto& [label, value] : own)
            add(3, label, value);
        blank();
        lines.push_back({3, {}, {}, true, set});
    }
    return lines;
}

int CResultTabForm::PrintParameterTable(CPrintContext& pc, bool draw, bool firstOnPage, int set)
{
    CMXResult* item = GetResultItem();
    if (!item)
        return PRINT_UNIT_FITS;
    const ItemFont& normal = item->m_fonts[3];
    const int* in = item->m_layout;
    std::vector<CPrintLine> rows;
    rows.push_back({&normal.font, normal.size, in[0], in[2],
                    LoadString(IDS_RESULT_GRID_PARAMETER),
                    LoadString(IDS_CURVE_VALUE) + "\t" + LoadString(IDS_RESULT_GRID_STD_ERROR)});
    const CDataFormat& format = item->GetNumberFormat();
    for (int p = 0; p < item->GetParameterCount(); ++p) {
        double value = 0.0, error = 0.0;
        if (!item->GetParameter(set, p, value, error))
            continue;
        std::string name;
        item->GetParameterName(p, name);
        rows.push_back({&normal.font, normal.size, in[0], in[2], name,
                        format.FormatNumber(value) + "\t" + (std::isnan(error) ? std::string() : format.FormatNumber(error))});
    }
    // Value and error stand in two columns: the second at the fourth indent.
    if (!pc.painter)
        return PRINT_UNIT_FITS;
    CPrintContext probe = pc;
    const QFont font = HeaderFooterFont(normal.font, normal.size);
    const int lineHeight = QFontMetrics(font, pc.painter->device()).height();
    if (probe.Remaining() < lineHeight * int(rows.size()) && !firstOnPage)
        return PRINT_UNIT_NO_ROOM;
    if (draw) {
        QPainter& painter = *pc.painter;
        painter.save();
        painter.setFont(font);
        painter.setPen(Qt::black);
        const int left = pc.area.left();
        const int x[3] = {left + in[0], left + in[2], left + in[3] + (in[4] - in[3]) / 2};
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const int y = pc.top + int(r) * lineHeight;
            const QString second = QString::fromStdString(rows[r].second);
            const QString value = second.section('\t', 0, 0), error = second.section('\t', 1, 1);
            painter.drawText(QPoint(x[0], y + painter.fontMetrics().ascent()), QString::fromStdString(rows[r].first));
            painter.drawText(QPoint(x[1], y + painter.fontMetrics().ascent()), value);
            painter.drawText(QPoint(x[2], y + painter.fontMetrics().ascent()), error);
            if (r == 0)
                painter.drawLine(x[0], y + lineHeight - 2, x[2] + (in[4] - in[3]), y + lineHeight - 2);
        }
        painter.restore();
    }
    pc.top += lineHeight * int(rows.size());
    return PRINT_UNIT_FITS;
}

int CResultTabForm::PrintSection(CPrintContext& pc, bool draw, int section, bool firstOnPage)
{
    CMXResult* item = GetResultItem();
    if (!item)
        return PRINT_UNIT_END;
    const std::vector<SListingLine> lines = BuildListing();
    if (section < 0 || section >= int(lines.size()))
        return PRINT_UNIT_END;
    const SListingLine& line = lines[std::size_t(section)];
    if (line.table)
        return PrintParameterTable(pc, draw, firstOnPage, line.set);
    const ItemFont& font = item->m_fonts[std::clamp(line.font, 0, 3)];
    if (line.label.empty() && line.value.empty())
        return PrintEmptyLine(pc, draw, firstOnPage, font.font, font.size);
    const int in1 = line.font == 3 ? item->m_layout[0] : 0;
    const int in2 = line.font == 3 ? item->m_layout[1] + item->m_layout[2] - item->m_layout[0] : 0;
    return PrintLines(pc, draw, firstOnPage, {{&font.font, font.size, in1, in2, line.label, line.value}});
}

// ---------------------------------------------------------------- linear form

CLinearFitTabForm::CLinearFitTabForm(CMXLinear* item, QWidget* parent) : CResultTabForm(3503, item, parent)
{
    setObjectName("CLinearFitTabForm");
}

CMXLinear* CLinearFitTabForm::GetLinearItem() const { return dynamic_cast<CMXLinear*>(GetItem()); }

void CLinearFitTabForm::OnInitialUpdate()
{
    if (m_bSetUp)
        return;
    m_bSetUp = true;
    AddTab<CGeometry<CLinearFitView>>(3504, IDS_FIT_TAB_SETTINGS);
    AddTab<CGeometry<CLinearFitResView>>(3505, IDS_FIT_TAB_RESULTS);
    AddTab<CGeometry<CLinearFitFormatView>>(3509, IDS_FIT_TAB_NUMBER_FORMAT);
    AddTab<CGeometry<CLinearFitFontView>>(3506, IDS_TAB_FONTS);
    AddTab<CGeometry<CLinearFitIndentView>>(3507, IDS_TAB_INDENTS);
    CMXLinear* item = GetLinearItem();
    DoInitialUpdate(!item || item->m_wpFrame.length == 0);
}

const std::vector<UINT>& CLinearFitTabForm::GetViewCommands() const
{
    static const std::vector<UINT> commands = {ID_VIEW_SETTINGS, ID_VIEW_RESULTS, ID_VIEW_NUMBER_FORMAT, ID_VIEW_FONTS,
                                               ID_VIEW_INDENTS};
    return commands;
}

UINT CLinearFitTabForm::GetTitleID() const { return IDS_LISTING_LINEAR_TITLE; }

std::string CLinearFitTabForm::GetEquationText() const
{
    CMXLinear* item = GetLinearItem();
    return item ? LoadString(IDS_POLYNOMIAL_ORDER_1 + UINT(item->GetOrder() - 1)) : std::string();
}

void CLinearFitTabForm::AddResultLines(int set, std::vector<std::pair<std::string, std::string>>& lines) const
{
    CMXLinear* item = GetLinearItem();
    auto* fit = item ? dynamic_cast<CLinearFit*>(item->GetFit(set)) : nullptr;
    if (!fit)
        return;
    const CDataFormat& format = item->GetNumberFormat();
    lines.emplace_back(LoadString(IDS_LISTING_CHI_SQUARE), format.FormatNumber(fit->GetChiSq()));
    if (item->GetOrder() == 1)
        lines.emplace_back(LoadString(IDS_LISTING_CORRELATION), format.FormatNumber(fit->GetCorrelation()));
}

// ---------------------------------------------------------------- non-linear form

CNonlinFitTabForm::CNonlinFitTabForm(CMXNonLinear* item, QWidget* parent) : CResultTabForm(3519, item, parent)
{
    setObjectName("CNonlinFitTabForm");
}

CMXNonLinear* CNonlinFitTabForm::GetNonlinItem() const { return dynamic_cast<CMXNonLinear*>(GetItem()); }

void CNonlinFitTabForm::OnInitialUpdate()
{
    if (m_bSetUp)
        return;
    m_bSetUp = true;
    AddTab<CGeometry<CNonlinFitView>>(3508, IDS_FIT_TAB_SETTINGS);
    AddTab<CGeometry<CNonlinFitConstView>>(3528, IDS_TAB_CONSTANTS);
    AddTab<CGeometry<CNonlinFitEstimateView>>(3527, IDS_FIT_TAB_ESTIMATRIX);
    AddTab<CGeometry<CNonlinFitCriteriaView>>(3526, IDS_FIT_TAB_CRITERIA);
    AddTab<CGeometry<CNonlinFitResView>>(3525, IDS_FIT_TAB_RESULTS);
    AddTab<CGeometry<CLinearFitFormatView>>(3509, IDS_FIT_TAB_NUMBER_FORMAT);
    AddTab<CGeometry<CLinearFitFontView>>(3506, IDS_TAB_FONTS);
    AddTab<CGeometry<CLinearFitIndentView>>(3507, IDS_TAB_INDENTS);
    CMXNonLinear* item = GetNonlinItem();
    DoInitialUpdate(!item || item->m_wpFrame.length == 0);
}

const std::vector<UINT>& CNonlinFitTabForm::GetViewCommands() const
{
    static const std::vector<UINT> commands = {ID_VIEW_SETTINGS,         ID_VIEW_FIT_CONSTANTS, ID_VIEW_ESTIMATRIX,
                                               ID_VIEW_FITTING_CRITERIA, ID_VIEW_RESULTS,       ID_VIEW_NUMBER_FORMAT,
                                               ID_VIEW_FONTS,            ID_VIEW_INDENTS};
    return commands;
}

UINT CNonlinFitTabForm::GetTitleID() const { return IDS_LISTING_NONLINEAR_TITLE; }

std::string CNonlinFitTabForm::GetEquationText() const
{
    CMXNonLinear* item = GetNonlinItem();
    return item ? item->GetEquationName() : std::string();
}

void CNonlinFitTabForm::AddSettingLines(std::vector<std::pair<std::string, std::string>>& lines) const
{
    CMXNonLinear* item = GetNonlinItem();
    if (!item)
        return;
    if (item->GetRobust())
        lines.emplace_back(LoadString(IDS_LISTING_ROBUST), LoadString(IDS_LISTING_ON));
    if (item->m_nChiSqChange) {
        lines.emplace_back(LoadString(IDS_LISTING_CRITERION),
                           FormatString(IDS_LISTING_CHI_CHANGE, {General(item->m_dChiSqChangePercent, 6)}));
        lines.emplace_back(LoadString(IDS_LISTING_ITERATIONS),
                           FormatString(IDS_LISTING_MIN_MAX, {std::to_string(item->m_nMinIterations),
                                                              std::to_string(item->m_nMaxIterations)}));
    } else {
        lines.emplace_back(LoadString(IDS_LISTING_CRITERION),
                           FormatString(IDS_LISTING_N_ITERATIONS, {std::to_string(item->m_nMaxIterations)}));
    }
    CEquationBase* eq = item->GetEquation();
    if (eq && eq->GetConstantCount() > 0) {
        lines.emplace_back(LoadString(IDS_TAB_CONSTANTS), std::string());
        for (int i = 0; i < eq->GetConstantCount(); ++i)
            lines.emplace_back("    " + eq->SymbolNames(CEquationBase::SymbolConstant)[std::size_t(i)],
                               item->GetNumberFormat().FormatNumber(item->GetConstantValue(i)));
    }
}

void CNonlinFitTabForm::AddResultLines(int set, std::vector<std::pair<std::string, std::string>>& lines) const
{
    CMXNonLinear* item = GetNonlinItem();
    CNonlinearFit* fit = item ? item->GetNonlinearFit(set) : nullptr;
    if (!fit)
        return;
    lines.emplace_back(LoadString(IDS_LISTING_INITIAL_ESTIMATES),
                       LoadString(fit->GetEstimateSource() == 1 ? IDS_LISTING_FROM_ESTIMATRIX : IDS_LISTING_FROM_DEFINITION));
    lines.emplace_back(LoadString(IDS_LISTING_ITERATION_COUNT), std::to_string(fit->GetIterationCount()));
    lines.emplace_back(LoadString(IDS_LISTING_REDUCED_CHI_SQUARE),
                       item->GetNumberFormat().FormatNumber(fit->GetReducedChiSq()));
    // A fit that stopped at its limit says so where its numbers are printed.
    if (fit->IsIterationLimitReached())
        lines.emplace_back(LoadString(IDS_RESULT_STATUS),
                           FormatString(IDS_FIT_STOPPED_AT_LIMIT, {General(fit->GetLastRelativeChange(), 3)}));
}
