// The common base of the fit items: the user's selection of a data table's
// columns, the data sets built from it with one fit engine each, the run on
// the item's background worker, the run state and the count of running
// calculations, and the reactions to changes of the source table.
//
// The worker never touches the workspace: before a run the item takes, on
// the main thread, a snapshot of every data set's x, y and weights and new
// engines (with their own copy of the equation); the worker fits those, and
// the results replace the item's engines on the main thread when the run's
// end notice arrives.
#pragma once

#include "app/MXEquationBase.h"
#include "app/MXProjectItem.h"
#include "data/DataFormat.h"
#include "equation/EquationBase.h"
#include "fitting/EquationSource.h"
#include "fitting/Fit.h"
#include "fitting/FitSettings.h"
#include "fitting/WorkerThread.h"
#include "graph/GraphSources.h"
#include "framework/MyVector.h"
#include "framework/ArchiveHelpers.h"
#include "framework/DoubleColumns.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CMXDoc;
class CEquationTransform;
class CMXGrid;
struct DataExtent;

// What a worker's notices carry: the item's id in the low half and the
// number of the run in the high half, so that news of a stopped or replaced
// run can be told apart from the current one's.
static_assert(sizeof(std::intptr_t) >= 8, "worker notices carry the run number beside the item id");
inline std::intptr_t MakeWorkerValue(int itemId, std::int64_t run)
{
    return std::intptr_t((std::uint64_t(run) << 32) | std::uint32_t(itemId));
}
inline int WorkerValueItemId(std::intptr_t value) { return int(std::uint32_t(std::uint64_t(value))); }
inline std::int64_t WorkerValueRun(std::intptr_t value) { return std::int64_t(std::uint64_t(value) >> 32); }

// Hands one posted worker message to the item of doc whose id it carries:
// states and progress to the item, message numbers shown through the
// reporter. A message for an item that no longer exists is dropped.
void DeliverWorkerMessage(CMXDoc& doc, UINT message, std::intptr_t wParam, std::intptr_t lParam);

class CMXResult : public CMXProjectItem, public CGraphFitSource {
    DECLARE_SERIAL(CMXResult)
public:
    enum State : int { kNotFitted = 0, kFitted = 1, kCalculating = 2, kPartFitted = 3, kFailed = 4 };
    enum SetStatus : int { kSetToDo = 0, kSetFitted = 1, kSetFailed = 2 };
    enum XKind : int { kOneSet = 0, kOneXManyY = 1, kPairs = 2, kAssociated = 3, kAssociatedAll = 4, kManyX = 5 };

    // One run's snapshot and results (below).
    struct SFitJob;

    CMXResult();
    explicit CMXResult(CProjectDocBase* document);
    ~CMXResult() override;

    // --- what each fit kind answers ---
    // Checks the selection and builds data sets and engines; 1 when usable.
    virtual int PrepareFit(int report);
    virtual int GetResultCount() const { return int(m_fits.size()); }
    virtual int GetOrder() const { return 0; }
    virtual int GetParameterCount() const { return 0; }
    // The value and standard error of parameter p of set; false when that set is not fitted.
    virtual bool GetParameter(int set, int p, double& value, double& error) const { return false; }
    virtual void GetParameterName(int p, std::string& name) const { name.clear(); }
    // Rows of the results summary (the information items of result columns).
    virtual int GetSummaryCount() const { return 0; }
    // 0: number; 1 or 2: text; label and text are set in every case.
    virtual int GetSummaryValue(int set, int row, std::string& label, std::string& text, double& number) const;
    virtual void GetEquationTitle(std::string& text) const { text.clear(); }
    // A text that describes the fit (the equation's name; empty for a linear fit).
    virtual std::string GetDescription() const { return {}; }
    // y at x from the set's fit when it is fitted (or, for an item that has
    // them, from its initial estimates when asked).
    virtual std::optional<CFitValue> CalcY(double x, int set, bool useEstimates);
    virtual std::optional<CFitValue> CalcX(double y, double x1, double x2, int set, bool useEstimates);
    // The residual of a data row of set: its y minus the fitted y at its x;
    // nothing when the set is not fitted or the row's x or y is not a number.
    std::optional<double> GetResidual(int row, int set);
    // Whether a calculated-x column must ask for limits.
    virtual int AsksForLimits() const { return 1; }
    // Whether y can be calculated from initial estimates before a fit.
    virtual int OffersInitialEstimates() const { return 0; }
    virtual CEquationBase* GetEquation() { return nullptr; }

    // --- selection ---
    int CheckSelection(int report);
    CMXGrid* FindDataItem() const;
    const std::string& GetSourceName() const { return m_strSource; }
    virtual void SetSourceName(const std::string& name) { m_strSource = name; }
    int GetXKind() const { return m_nXKind; }
    int GetWeighting() const { return m_nWeighting; }
    int GetSetCount() const { return int(m_xColumns.size()); }
    int GetSetXColumn(int set) const { return ValidSet(set) ? m_xColumns[std::size_t(set)] : -1; }
    int GetSetYColumn(int set) const { return ValidSet(set) ? m_yColumns[std::size_t(set)] : -1; }
    int GetSetErrorColumn(int set) const { return ValidSet(set) ? m_errColumns[std::size_t(set)] : -1; }
    // The first column of the fit's first set (the error column when errors weight the fit).
    int GetFirstColumnIndex() const;
    void Select(const std::string& source, int xKind, int x, int y, int error, int weighting);

    // The extent of the points of all data sets; a count below 2 leaves the
    // caller (the graph) to use its default range.
    DataExtent GetDataRange(CEquationTransform* transform, bool xLog, bool yLog) const;

    // --- results ---
    int GetState() const { return m_nState; }
    // The state's text: "Not Fitted", "Fitted", "Calculating...", "Part fitted" or "Fit failed".
    virtual std::string GetStateText() const;
    CFit* GetFit(int set) const;
    int GetSetStatus(int set) const { return ValidSet(set) ? m_status[std::size_t(set)] : kSetToDo; }
    const CDataFormat& GetNumberFormat() const { return m_format; }
    CDataFormat& NumberFormat() { return m_format; }

    // The engine that the running calculation fits now, its index among the
    // run's fits and their count; null when nothing runs. Only its progress
    // snapshot may be read while the worker runs.
    CFit* GetRunningFit() const;
    int GetRunningFitIndex() const;
    int GetRunningFitCount() const;
    // A setting changed: the results go (calculation stopped, data sets
    // emptied, not fitted) and everyone hears of it.
    void ClearResults();

    // --- what graphs read ---
    const CMyData* GetDataTable() const override;
    CMXProjectItem* GetDataItem() const override;
    int GetFitCount() const override { return GetSetCount(); }
    int GetFitKind() const override { return m_nXKind; }
    bool GetFitColumns(int fit, int& x, int& y) const override;
    int GetFitStatus(int fit) const override;
    bool CalcY(double x, int fit, const std::vector<double>* associatedX, double& y) override;
    bool GetParameter(int fit, int p, std::string& name, double& value, double& error) const override;

    // --- running ---
    // Recalculates: prepares first when asked, then starts the worker on a snapshot.
    int OnDataChanged(int report, int prepare);
    void OnBackgroundMessage(int code, long long value) override;
    // A message number posted by this item's worker; shown unless its run was stopped.
    void OnWorkerMessage(UINT stringId, long long value);
    bool IsCalculating() const override { return m_worker.IsRunning() || m_pLatestJob != nullptr; }
    void WaitForCalculation() override;
    void StopCalculation() override;
    void Reset();

    void OnItemNotify(CUpdateNotification& note) override;
    int GetFieldText(std::string& text, std::string_view field, std::string_view parameter) override;
    std::vector<BYTE> SaveLinks() const override;
    void RestoreLinks(const std::vector<BYTE>& links) override;

    // The number of fit calculations running program-wide (the "Calc..." pane
    // is lit while it is above 0) and who is told when it changes.
    static int GetRunningCount() { return s_nRunning; }
    static void SetRunningCountListener(std::function<void(int)> listener);

    void Serialize(CArchive& ar) override;

    // What the settings tabs edit (the selection and each kind's own choices)
    // as bytes, and back: a settings change is undone by putting them back.
    std::vector<BYTE> SaveSettings();
    void RestoreSettings(const std::vector<BYTE>& bytes);

    // Selection.
    int m_nXKind = kOneSet;
    int m_nXColumn = -1;
    int m_nYColumn = -1;
    int m_nErrColumn = -1;
    int m_nWeighting = 0;
    IntDoubleRecord m_lower;
    IntDoubleRecord m_upper;
    int m_nRangeTest = 0;
    // The listing's look.
    ItemFont m_fonts[4];
    int m_layout[5] = {500, 750, 2250, 2300, 3300};

protected:
    bool ValidSet(int set) const { return set >= 0 && set < int(m_xColumns.size()); }
    // In the layouts of several data sets (or of several x variables in
    // their set) each y column's errors stand in the column after it: no
    // error column is chosen.
    bool DerivesErrorColumns() const { return m_nXKind >= kOneXManyY && m_nXKind <= kAssociatedAll; }
    // Builds the data sets from the selection (after CheckSelection); 1 when the layout is right.
    int BuildDataSets(int report);
    // A new engine for one set; the kinds make their own.
    virtual std::unique_ptr<CFit> MakeEngine() const { return std::make_unique<CFit>(); }
    // The settings for the next run's engines.
    virtual CFitSettings MakeSettings() const { return {}; }
    // The number of x variables the engines expect.
    virtual int GetXVariableCount() const { return 1; }
    // Gives a snapshot engine whatever it needs on the worker (the copy of the equation).
    virtual void PrepareJob(SFitJob& job) const {}
    // After a run's engines became the item's.
    virtual void OnPublished() {}
    // Writes or reads the settings of SaveSettings; each kind adds its own.
    virtual void SerializeSettings(CArchive& ar);
    void RecomputeState();
    void Notify(int kind, int state, bool includeSelf, bool toItems = true);
    static void ChangeRunningCount(int delta);
    void ReportIf(int report, UINT id) const;

    std::string m_strSource;
    int m_nState = kNotFitted;
    std::vector<int> m_xColumns, m_yColumns, m_errColumns;
    std::vector<std::unique_ptr<CFit>> m_fits;
    std::vector<int> m_status;
    CDataFormat m_format;
    CWorkerThread m_worker;

private:
    void InitDefaults();
    void Publish(SFitJob& job);
    // Marks the sets that use one of the changed columns for recalculation; true when one did.
    bool MarkChanged(const std::vector<int>& columns, bool all);
    void Recalculate();

    std::shared_ptr<SFitJob> m_pLatestJob;
    std::int64_t m_nRun = 0;
    // Notices of runs before this number belong to stopped runs.
    std::int64_t m_nDropBefore = 0;
    // This item's started notice has raised the running count.
    bool m_bCounted = false;
    // Changes with every new set layout, so that a run's results land only on the layout it fitted.
    int m_nLayout = 0;
    static int s_nRunning;
};

// One run's snapshot and results: filled on the main thread, fitted on the
// worker, published on the main thread.
struct CMXResult::SFitJob {
    std::int64_t run = 0;
    int layout = 0;
    int report = 0;
    CFitSettings settings;
    struct Set {
        int index = 0;
        bool haveData = false;
        CDoubleColumns x;
        CMyVector y;
        CMyVector w;
        std::unique_ptr<CFit> fit;
        int status = kSetToDo;
    };
    std::vector<Set> sets;
    std::vector<std::unique_ptr<CEquationBase>> equations; // copies the engines read
    std::unique_ptr<CEquationSource> source;
    std::atomic<bool> complete{false};
    // The index in sets of the fit that runs now.
    std::atomic<int> current{0};
};
