#include "app/MXResult.h"

#include "app/MXDoc.h"
#include "app/MXGrid.h"
#include "framework/UpdateNotification.h"
#include "platform/Archive.h"
#include "platform/Exceptions.h"
#include "platform/File.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <charconv>

IMPLEMENT_SERIAL(CMXResult, CMXProjectItem, VERSIONABLE_SCHEMA | 0)

namespace {
constexpr BYTE kVariableSwiss = 0x22;
constexpr BYTE kVariableRoman = 0x12;

std::function<void(int)>& RunningListener()
{
    static std::function<void(int)> listener;
    return listener;
}
} // namespace

int CMXResult::s_nRunning = 0;

void CMXResult::SetRunningCountListener(std::function<void(int)> listener) { RunningListener() = std::move(listener); }

void CMXResult::ChangeRunningCount(int delta)
{
    s_nRunning = std::max(0, s_nRunning + delta);
    if (RunningListener())
        RunningListener()(s_nRunning);
}

void DeliverWorkerMessage(CMXDoc& doc, UINT message, std::intptr_t wParam, std::intptr_t lParam)
{
    const int id = WorkerValueItemId(lParam);
    CMXResult* fit = nullptr;
    for (CMXProjectItem* item : doc.ItemsInRowOrder())
        if (item->GetItemId() == id)
            fit = dynamic_cast<CMXResult*>(item);
    if (!fit)
        return;
    switch (message) {
    case WM_WORKER_STATE:
    case WM_WORKER_PROGRESS:
        fit->OnBackgroundMessage(int(wParam), lParam);
        break;
    case WM_WORKER_MESSAGE:
        fit->OnWorkerMessage(UINT(wParam), lParam);
        break;
    default:
        break;
    }
}

CMXResult::CMXResult() { InitDefaults(); }

CMXResult::CMXResult(CProjectDocBase* document) : CMXProjectItem(document) { InitDefaults(); }

CMXResult::~CMXResult()
{
    m_worker.Stop();
    if (m_bCounted)
        ChangeRunningCount(-1);
}

void CMXResult::InitDefaults()
{
    m_fonts[0] = MakeItemFont("Arial", FW_BOLD, false, kVariableSwiss, 140);
    m_fonts[1] = MakeItemFont("Arial", FW_BOLD, true, kVariableSwiss, 120);
    m_fonts[2] = MakeItemFont("Times New Roman", FW_BOLD, false, kVariableRoman, 120);
    m_fonts[3] = MakeItemFont("Times New Roman", 0, false, kVariableRoman, 100);
}

void CMXResult::ReportIf(int report, UINT id) const
{
    if (report)
        ReportMessage(id, {}, MB_OK | MB_ICONEXCLAMATION);
}

CMXGrid* CMXResult::FindDataItem() const
{
    CMXDoc* doc = GetMXDoc();
    if (!doc || m_strSource.empty())
        return nullptr;
    return dynamic_cast<CMXGrid*>(doc->FindItem(m_strSource));
}

void CMXResult::Select(const std::string& source, int xKind, int x, int y, int error, int weighting)
{
    m_strSource = source;
    m_nXKind = xKind;
    m_nXColumn = x;
    m_nYColumn = y;
    m_nErrColumn = error;
    m_nWeighting = weighting;
}

int CMXResult::CheckSelection(int report)
{
    m_xColumns.clear();
    m_yColumns.clear();
    m_errColumns.clear();
    m_fits.clear();
    m_status.clear();
    ++m_nLayout;
    UINT message = 0;
    if (m_strSource.empty())
        message = IDS_NO_DATA_TABLE;
    else if (m_nXColumn < 0 && m_nXKind != kManyX)
        message = IDS_NO_X_COLUMN;
    else if (m_nYColumn < 0)
        message = IDS_NO_Y_COLUMN;
    else if (m_nWeighting == kWeightErrors && m_nErrColumn < 0 && !DerivesErrorColumns())
        message = IDS_NO_ERROR_COLUMN;
    if (message) {
        ReportIf(report, message);
        return 0;
    }
    return 1;
}

int CMXResult::BuildDataSets(int report)
{
    auto add = [&](int x, int y, int e) {
        m_xColumns.push_back(x);
        m_yColumns.push_back(y);
        m_errColumns.push_back(e);
    };
    const int w = m_nWeighting == kWeightErrors ? 1 : 0;
    if (m_nXKind == kOneXManyY || m_nXKind == kPairs) {
        if (m_nYColumn <= m_nXColumn) {
            ReportIf(report, IDS_Y_MUST_FOLLOW_X);
            return 0;
        }
        const int step = (m_nXKind == kOneXManyY ? 1 : 2) + w;
        int c = m_nXColumn + 1;
        int lastY = -1;
        for (; c <= m_nYColumn; c += step) {
            add(m_nXKind == kOneXManyY ? m_nXColumn : c - 1, c, c + 1);
            lastY = c;
        }
        // With errors the selected final column is the last set's error column.
        if (lastY + w != m_nYColumn) {
            m_xColumns.clear();
            m_yColumns.clear();
            m_errColumns.clear();
            ReportIf(report, IDS_WRONG_COLUMN_COUNT);
            return 0;
        }
    } else {
        // The layouts of several x variables take the column after y as its errors.
        const bool derived = DerivesErrorColumns() && m_nErrColumn < 0;
        add(m_nXColumn, m_nYColumn, derived && w ? m_nYColumn + 1 : m_nErrColumn);
    }
    for (std::size_t i = 0; i < m_xColumns.size(); ++i) {
        m_fits.push_back(MakeEngine());
        m_status.push_back(kSetToDo);
    }
    return 1;
}

int CMXResult::PrepareFit(int report)
{
    if (!CheckSelection(report))
        return 0;
    return BuildDataSets(report);
}

DataExtent CMXResult::GetDataRange(CEquationTransform* transform, bool xLog, bool yLog) const
{
    DataExtent all;
    CMXGrid* data = FindDataItem();
    if (!data)
        return all;
    for (int set = 0; set < GetSetCount(); ++set) {
        const int error = m_nWeighting == kWeightErrors ? m_errColumns[std::size_t(set)] : -1;
        DataExtent e = data->GetDataExtent(m_xColumns[std::size_t(set)], m_yColumns[std::size_t(set)], -1, error,
                                           transform, xLog, yLog);
        if (e.count == 0)
            continue;
        if (all.count == 0) {
            all = e;
            continue;
        }
        all.count += e.count;
        all.xMin = std::min(all.xMin, e.xMin);
        all.xMax = std::max(all.xMax, e.xMax);
        all.yMin = std::min(all.yMin, e.yMin);
        all.yMax = std::max(all.yMax, e.yMax);
    }
    return all;
}

int CMXResult::GetFirstColumnIndex() const
{
    if (m_xColumns.empty())
        return -1;
    return m_nWeighting == kWeightErrors ? m_errColumns.front() : m_xColumns.front();
}

CFit* CMXResult::GetFit(int set) const
{
    if (m_nXKind == kAssociated || m_nXKind == kAssociatedAll)
        set = 0;
    if (set < 0 || set >= int(m_fits.size()))
        return nullptr;
    return m_fits[std::size_t(set)].get();
}

int CMXResult::GetSummaryValue(int, int, std::string& label, std::string& text, double&) const
{
    label.clear();
    text = LoadString(IDS_FIT_NOT_AVAILABLE);
    return 2;
}

std::optional<CFitValue> CMXResult::CalcY(double x, int set, bool)
{
    CFit* fit = GetFit(set);
    if (!fit || GetSetStatus(m_nXKind == kAssociated || m_nXKind == kAssociatedAll ? 0 : set) != kSetFitted)
        return std::nullopt;
    return fit->CalcY(x, nullptr);
}

const CMyData* CMXResult::GetDataTable() const
{
    CMXGrid* grid = FindDataItem();
    return grid ? &grid->GetTable() : nullptr;
}

CMXProjectItem* CMXResult::GetDataItem() const { return FindDataItem(); }

bool CMXResult::GetFitColumns(int fit, int& x, int& y) const
{
    if (!ValidSet(fit))
        return false;
    x = GetSetXColumn(fit);
    y = GetSetYColumn(fit);
    return true;
}

int CMXResult::GetFitStatus(int fit) const
{
    if (!ValidSet(fit))
        return -1;
    // The associated-x kinds fit every set at once, as record 0.
    return GetSetStatus(m_nXKind == kAssociated || m_nXKind == kAssociatedAll ? 0 : fit);
}

bool CMXResult::CalcY(double x, int fit, const std::vector<double>* associatedX, double& y)
{
    std::optional<CFitValue> value;
    CFit* record = GetFit(fit);
    if (associatedX && record && GetFitStatus(fit) == kSetFitted) {
        CMyVector other(int(associatedX->size()));
        for (std::size_t i = 0; i < associatedX->size(); ++i)
            other[int(i)] = (*associatedX)[i];
        value = record->CalcY(x, &other);
    } else
        value = CalcY(x, fit, false);
    if (!value || !value->IsNumber())
        return false;
    y = value->GetNumber();
    return true;
}

bool CMXResult::GetParameter(int fit, int p, std::string& name, double& value, double& error) const
{
    if (p < 0 || p >= GetParameterCount())
        return false;
    GetParameterName(p, name);
    return GetParameter(fit, p, value, error);
}

std::optional<CFitValue> CMXResult::CalcX(double y, double x1, double x2, int set, bool)
{
    CFit* fit = GetFit(set);
    if (!fit || GetSetStatus(m_nXKind == kAssociated || m_nXKind == kAssociatedAll ? 0 : set) != kSetFitted)
        return std::nullopt;
    return fit->CalcX(y, x1, x2);
}

std::optional<double> CMXResult::GetResidual(int row, int set)
{
    CMXGrid* data = FindDataItem();
    const int xc = GetSetXColumn(set), yc = GetSetYColumn(set);
    double x = 0.0, y = 0.0;
    if (!data || xc < 0 || yc < 0 || !data->GetTable().GetNumber(row, xc, x) || !data->GetTable().GetNumber(row, yc, y))
        return std::nullopt;
    std::optional<CFitValue> fitted = CalcY(x, set, false);
    if (!fitted || !fitted->IsNumber())
        return std::nullopt;
    return y - fitted->GetNumber();
}

std::string CMXResult::GetStateText() const
{
    switch (m_nState) {
    case kFitted: return LoadString(IDS_STATE_FITTED);
    case kCalculating: return LoadString(IDS_STATE_CALCULATING);
    case kPartFitted: return LoadString(IDS_STATE_PART_FITTED);
    case kFailed: return LoadString(IDS_STATE_FAILED);
    default: return LoadString(IDS_STATE_NOT_FITTED);
    }
}

void CMXResult::RecomputeState()
{
    int fitted = 0, failed = 0;
    for (int s : m_status) {
        fitted += s == kSetFitted;
        failed += s == kSetFailed;
    }
    if (failed)
        m_nState = kFailed;
    else if (!m_status.empty() && fitted == int(m_status.size()))
        m_nState = kFitted;
    else if (fitted == 0)
        m_nState = kNotFitted;
    else
        m_nState = kPartFitted;
}

void CMXResult::Notify(int kind, int state, bool includeSelf, bool toItems)
{
    CMXDoc* doc = GetMXDoc();
    if (!doc)
        return;
    CUpdateNotification note;
    note.kind = kind;
    note.item = this;
    note.state = state;
    if (toItems)
        doc->NotifyItems(note, includeSelf);
    doc->UpdateAllViews(nullptr, UPDATE_HINT_NOTIFICATION, &note);
}

namespace {
// Fits the snapshot's sets on the worker thread; touches nothing but the job.
int RunFitJob(CWorkerThread& worker, CMXResult::SFitJob& job)
{
    for (std::size_t i = 0; i < job.sets.size(); ++i) {
        auto& set = job.sets[i];
        job.current = int(i);
        if (worker.IsQuitRequested() || worker.IsNewRequestPending())
            return 0;
        int result = 0;
        if (set.haveData)
            result = set.fit->Fit(job.settings, set.x, set.y, set.w, &worker, job.report);
        if (worker.IsQuitRequested() || worker.IsNewRequestPending())
            return 0;
        set.status = result ? CMXResult::kSetFitted : CMXResult::kSetFailed;
    }
    job.complete = true;
    return 1;
}
} // namespace

int CMXResult::OnDataChanged(int report, int prepare)
{
    if (prepare && !PrepareFit(report)) {
        Reset();
        Notify(UN_CALC_STATE, UN_STATE_OVER, true);
        return 0;
    }
    auto job = std::make_shared<SFitJob>();
    job->report = report;
    job->layout = m_nLayout;
    job->settings = MakeSettings();
    CMXGrid* data = FindDataItem();
    for (int i = 0; i < GetSetCount(); ++i) {
        if (m_status[std::size_t(i)] != kSetToDo)
            continue;
        SFitJob::Set set;
        set.index = i;
        set.fit = MakeEngine();
        if (data) {
            FitDataRequest request;
            request.xKind = m_nXKind == kOneXManyY || m_nXKind == kPairs ? kXColumn : m_nXKind;
            request.weighting = m_nWeighting;
            request.xColumns = {m_xColumns[std::size_t(i)]};
            if (m_nXKind == kManyX)
                for (int c = m_xColumns[std::size_t(i)] + 1; int(request.xColumns.size()) < GetXVariableCount(); ++c)
                    request.xColumns.push_back(c);
            request.yColumn = m_yColumns[std::size_t(i)];
            request.errorColumn = m_errColumns[std::size_t(i)];
            request.rangeTest = m_nRangeTest != 0;
            request.lower = m_lower;
            request.upper = m_upper;
            request.xCount = GetXVariableCount();
            FitData fd;
            if (data->CollectFitData(request, fd, nullptr) >= 0) {
                set.haveData = true;
                set.x = std::move(fd.x);
                for (double v : fd.y)
                    set.y.Add(v);
                for (double v : fd.weights)
                    set.w.Add(v);
            }
        }
        job->sets.push_back(std::move(set));
    }
    PrepareJob(*job);
    job->run = ++m_nRun;
    m_pLatestJob = job;
    m_worker.Start([job](CWorkerThread& worker, void*) { return RunFitJob(worker, *job); }, nullptr,
                   MakeWorkerValue(GetItemId(), job->run), true);
    return 1;
}

void CMXResult::Publish(SFitJob& job)
{
    if (job.layout != m_nLayout)
        return;
    for (auto& set : job.sets) {
        if (set.status == kSetToDo || set.index >= int(m_fits.size()))
            continue;
        m_fits[std::size_t(set.index)] = std::move(set.fit);
        m_status[std::size_t(set.index)] = set.status;
    }
    OnPublished();
}

void CMXResult::OnBackgroundMessage(int code, long long value)
{
    const std::int64_t run = WorkerValueRun(std::intptr_t(value));
    if (code == WORKER_PROGRESS) {
        m_worker.ProgressHandled();
        if (run >= m_nDropBefore)
            Notify(UN_CALC_PROGRESS, UN_STATE_OVER, false, false);
        return;
    }
    if (run < m_nDropBefore)
        return;
    switch (code) {
    case WORKER_STARTED:
        SetModified(true);
        m_nState = kCalculating;
        if (!m_bCounted) {
            m_bCounted = true;
            ChangeRunningCount(1);
        }
        Notify(UN_CALC_STATE, UN_STATE_STARTED, false);
        return;
    case WORKER_FAILED:
    case WORKER_SUCCEEDED:
        if (m_pLatestJob && m_pLatestJob->run == run && m_pLatestJob->complete.load()) {
            Publish(*m_pLatestJob);
            m_pLatestJob.reset();
        } else if (m_pLatestJob && m_pLatestJob->run <= run) {
            // The run ended without finishing (stopped by its own poll).
            m_pLatestJob.reset();
        }
        RecomputeState();
        if (m_bCounted) {
            m_bCounted = false;
            ChangeRunningCount(-1);
        }
        Notify(UN_CALC_STATE, code == WORKER_SUCCEEDED ? UN_STATE_NEW_RESULTS : UN_STATE_OVER, true);
        return;
    default:
        return;
    }
}

void CMXResult::OnWorkerMessage(UINT stringId, long long value)
{
    if (WorkerValueRun(std::intptr_t(value)) < m_nDropBefore)
        return;
    ReportMessage(stringId, {}, MB_OK | MB_ICONEXCLAMATION);
}

void CMXResult::WaitForCalculation()
{
    m_worker.WaitIdle();
    // What is saved must be the finished run's results, not wait for its notice.
    if (m_pLatestJob && m_pLatestJob->complete.load()) {
        Publish(*m_pLatestJob);
        m_pLatestJob.reset();
        RecomputeState();
    }
}

void CMXResult::StopCalculation()
{
    const bool active = m_bCounted || m_pLatestJob || m_worker.IsRunning();
    m_worker.Stop();
    m_nDropBefore = m_nRun + 1;
    m_pLatestJob.reset();
    if (m_bCounted) {
        m_bCounted = false;
        ChangeRunningCount(-1);
    }
    if (active && m_nState == kCalculating) {
        RecomputeState();
        Notify(UN_CALC_STATE, UN_STATE_OVER, true);
    }
}

CFit* CMXResult::GetRunningFit() const
{
    const SFitJob* job = m_pLatestJob.get();
    if (!job || job->sets.empty())
        return nullptr;
    const int i = std::clamp(job->current.load(), 0, int(job->sets.size()) - 1);
    return job->sets[std::size_t(i)].fit.get();
}

int CMXResult::GetRunningFitIndex() const
{
    const SFitJob* job = m_pLatestJob.get();
    return job ? std::clamp(job->current.load(), 0, std::max(0, int(job->sets.size()) - 1)) : 0;
}

int CMXResult::GetRunningFitCount() const { return m_pLatestJob ? int(m_pLatestJob->sets.size()) : 0; }

void CMXResult::ClearResults()
{
    Reset();
    SetModified(true);
    Notify(UN_CALC_STATE, UN_STATE_OVER, true);
}

void CMXResult::Reset()
{
    StopCalculation();
    m_xColumns.clear();
    m_yColumns.clear();
    m_errColumns.clear();
    m_fits.clear();
    m_status.clear();
    ++m_nLayout;
    m_nState = kNotFitted;
}

bool CMXResult::MarkChanged(const std::vector<int>& columns, bool all)
{
    bool any = false;
    auto uses = [&](int set, int c) {
        const std::size_t s = std::size_t(set);
        if (m_nXKind <= kPairs)
            return m_xColumns[s] == c || m_yColumns[s] == c
                || (m_nWeighting == kWeightErrors && m_errColumns[s] == c);
        return m_nXColumn == c || m_nYColumn == c || m_nErrColumn == c || m_xColumns[s] == c
            || m_yColumns[s] == c || m_errColumns[s] == c
            || (m_nXKind == kManyX && c >= m_xColumns[s] && c < m_xColumns[s] + GetXVariableCount());
    };
    for (int set = 0; set < GetSetCount(); ++set) {
        bool hit = all;
        for (int c : columns)
            hit = hit || c == -1 || uses(set, c);
        if (hit) {
            m_status[std::size_t(set)] = kSetToDo;
            any = true;
        }
    }
    return any;
}

void CMXResult::Recalculate() { OnDataChanged(0, m_fits.empty() ? 1 : 0); }

void CMXResult::OnItemNotify(CUpdateNotification& note)
{
    CMXGrid* data = FindDataItem();
    const bool aboutSource = data && note.item == static_cast<CMXProjectItem*>(data);
    switch (note.kind) {
    case UN_ITEM_RENAMED:
        if (!m_strSource.empty() && m_strSource == note.oldName) {
            SetSourceName(note.newName);
            SetModified(true);
        }
        return;
    case UN_CELLS_CHANGED: {
        if (!aboutSource || !note.columns)
            return;
        std::vector<int> columns;
        for (const CColumnRef& ref : *note.columns)
            if (ref.item == note.item || ref.item == nullptr)
                columns.push_back(ref.column);
        if (MarkChanged(columns, false))
            Recalculate();
        return;
    }
    case UN_ITEM_REMOVING:
        if (!m_strSource.empty() && m_strSource == note.oldName) {
            Reset();
            SetSourceName("");
            SetModified(true);
        }
        return;
    case UN_COLUMNS_INSERTED:
        if (!aboutSource)
            return;
        for (auto* list : {&m_xColumns, &m_yColumns, &m_errColumns})
            for (int& c : *list)
                if (c >= note.first)
                    c += note.count;
        for (int* c : {&m_nXColumn, &m_nYColumn, &m_nErrColumn})
            if (*c >= note.first)
                *c += note.count;
        SetModified(true);
        return;
    case UN_COLUMNS_DELETED: {
        if (!aboutSource)
            return;
        bool lost = false;
        auto shift = [&](int& c) {
            if (c >= note.first + note.count)
                c -= note.count;
            else if (c >= note.first) {
                c = -1;
                return true;
            }
            return false;
        };
        for (auto* list : {&m_xColumns, &m_yColumns, &m_errColumns})
            for (int& c : *list)
                lost = shift(c) || lost;
        for (int* c : {&m_nXColumn, &m_nYColumn, &m_nErrColumn})
            lost = shift(*c) || lost;
        SetModified(true);
        if (lost) {
            Reset();
            Notify(UN_CALC_STATE, UN_STATE_OVER, true);
        }
        return;
    }
    case UN_CALC_STATE:
        if (note.item == this)
            SetModified(true);
        return;
    case UN_ROWS_INSERTED:
    case UN_ROWS_DELETED:
        if (aboutSource) {
            MarkChanged({}, true);
            Recalculate();
        }
        return;
    case UN_BLOCK_CHANGED:
    case UN_BLOCK_DELETED: {
        if (!aboutSource)
            return;
        std::vector<int> columns;
        for (int c = note.left; c <= note.right; ++c)
            columns.push_back(c);
        if (MarkChanged(columns, false))
            Recalculate();
        return;
    }
    default:
        return;
    }
}

int CMXResult::GetFieldText(std::string& text, std::string_view field, std::string_view parameter)
{
    const bool x = CompareNoCase(field, "xColumn") == 0;
    const bool y = CompareNoCase(field, "yColumn") == 0;
    const bool e = CompareNoCase(field, "errColumn") == 0;
    if (!x && !y && !e)
        return CMXProjectItem::GetFieldText(text, field, parameter);
    int set = 0;
    if (!parameter.empty()) {
        int n = 0;
        auto [end, ec] = std::from_chars(parameter.data(), parameter.data() + parameter.size(), n);
        if (ec != std::errc() || end != parameter.data() + parameter.size() || n < 1) {
            text = LoadString(IDS_BAD_PARAMETER);
            return 1;
        }
        set = n - 1;
    }
    if (e && m_nWeighting != kWeightErrors) {
        text = LoadString(IDS_NO_ERROR_COLUMN_FIELD);
        return 1;
    }
    text = LoadString(y ? IDS_Y_AXIS : IDS_X_AXIS);
    const int column = x ? GetSetXColumn(set) : y ? GetSetYColumn(set) : GetSetErrorColumn(set);
    if (CMXGrid* data = FindDataItem(); data && column >= 0 && !data->GetTable().IsColumnMissing(column)) {
        std::string name = data->GetTable().GetColumnName(column);
        if (!name.empty())
            text = name;
    }
    return 0;
}

std::vector<BYTE> CMXResult::SaveLinks() const { return std::vector<BYTE>(m_strSource.begin(), m_strSource.end()); }

void CMXResult::RestoreLinks(const std::vector<BYTE>& links)
{
    if (m_strSource.empty() && !links.empty())
        SetSourceName(std::string(links.begin(), links.end()));
}

std::vector<BYTE> CMXResult::SaveSettings()
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        SerializeSettings(ar);
        ar.Close();
    }
    return file.Detach();
}

void CMXResult::RestoreSettings(const std::vector<BYTE>& bytes)
{
    CMemFile file(bytes);
    CArchive ar(&file, CArchive::load);
    SerializeSettings(ar);
}

void CMXResult::SerializeSettings(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_strSource << std::int32_t(m_nXKind) << std::int32_t(m_nXColumn) << std::int32_t(m_nYColumn)
           << std::int32_t(m_nErrColumn) << std::int32_t(m_nWeighting) << std::int32_t(m_nRangeTest) << m_lower
           << m_upper;
        return;
    }
    std::string source;
    std::int32_t kind = 0, x = 0, y = 0, e = 0, weighting = 0, test = 0;
    ar >> source >> kind >> x >> y >> e >> weighting >> test >> m_lower >> m_upper;
    SetSourceName(source);
    m_nXKind = kind;
    m_nXColumn = x;
    m_nYColumn = y;
    m_nErrColumn = e;
    m_nWeighting = weighting;
    m_nRangeTest = test;
}

void CMXResult::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    CMXProjectItem::Serialize(ar);
    if (ar.IsStoring()) {
        ArchiveStoreInts(ar, m_xColumns);
        ArchiveStoreInts(ar, m_yColumns);
        ArchiveStoreInts(ar, m_errColumns);
        ar.WriteCount(std::uint32_t(m_fits.size()));
        for (const auto& fit : m_fits)
            ar.WriteObject(fit.get());
        ArchiveStoreInts(ar, m_status);
    } else {
        ArchiveLoadInts(ar, m_xColumns);
        ArchiveLoadInts(ar, m_yColumns);
        ArchiveLoadInts(ar, m_errColumns);
        const std::uint32_t n = ar.ReadCount();
        ar.CheckRemaining(n, 1);
        m_fits.clear();
        for (std::uint32_t i = 0; i < n; ++i)
            m_fits.emplace_back(ar.ReadOwned<CFit>());
        ArchiveLoadInts(ar, m_status);
        if (m_yColumns.size() != m_xColumns.size() || m_errColumns.size() != m_xColumns.size()
            || m_fits.size() != m_xColumns.size() || m_status.size() != m_xColumns.size())
            ThrowArchiveError(CArchiveException::genericException, "fit item: data set arrays differ in length");
        for (auto& fit : m_fits)
            if (!fit)
                fit = MakeEngine();
        for (int& s : m_status)
            if (s < kSetToDo || s > kSetFailed)
                s = kSetToDo;
    }
    m_format.Serialize(ar);
    m_worker.Serialize(ar);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_nRangeTest) << m_lower << m_upper << m_strSource;
        ar << std::int32_t(m_nXColumn) << std::int32_t(m_nYColumn) << std::int32_t(m_nErrColumn);
        // A failed fit keeps the stored value 2 that older files use for it.
        const int state = m_nState == kFailed ? kCalculating : m_nState;
        ar << std::int32_t(m_nXKind) << std::int32_t(m_nWeighting) << std::int32_t(state);
    } else {
        std::int32_t test = 0, x = 0, y = 0, e = 0, kind = 0, weighting = 0, state = 0;
        ar >> test >> m_lower >> m_upper >> m_strSource;
        ar >> x >> y >> e >> kind >> weighting >> state;
        m_nRangeTest = test;
        m_nXColumn = x;
        m_nYColumn = y;
        m_nErrColumn = e;
        m_nXKind = kind >= kOneSet && kind <= kManyX ? kind : kOneSet;
        m_nWeighting = weighting >= 0 && weighting <= kWeightErrors ? weighting : 0;
        // Nothing calculates in a file just read: a stored "calculating" was a failed run.
        m_nState = state == kCalculating ? kFailed : (state >= kNotFitted && state <= kPartFitted ? state : kNotFitted);
    }
    for (ItemFont& font : m_fonts)
        SerializeItemFont(ar, font);
    for (int& value : m_layout) {
        if (ar.IsStoring()) {
            ar << std::int32_t(value);
        } else {
            std::int32_t v = 0;
            ar >> v;
            value = v;
        }
    }
}
