#include "app/MXGrid.h"

#include "app/MXDoc.h"
#include "data/DataCTypeX2.h"
#include "data/DataColumnType.h"
#include "data/DataDouble.h"
#include "equation/EquationTransform.h"
#include "framework/UpdateNotification.h"
#include "fitting/WorkerThread.h"
#include "platform/Archive.h"
#include "platform/Exceptions.h"
#include "platform/File.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/WholeNumbers.h"

#include <algorithm>
#include <cmath>
#include <set>

IMPLEMENT_SERIAL(CMXGrid, CMXProjectItem, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_DYNAMIC(CHintRecord, CObject)

namespace {

// A parameter is used up exactly, as a format that consumed every character would.
bool ParseIntegers(std::string_view text, int* out, int count) { return ParseWholeNumbers(text, ' ', out, count); }

} // namespace

CMXGrid::NewTableDefaults CMXGrid::s_defaults;

CMXGrid::CMXGrid() { m_strTypeText = LoadString(GetTypeTextID()); }

CMXGrid::CMXGrid(CProjectDocBase* document)
    : CMXProjectItem(document)
{
    m_strTypeText = LoadString(GetTypeTextID());
    m_colours = s_defaults.colours;
    // The user's number format as the settings hold it now.
    CDataFormat format = s_defaults.numberFormat;
    format.LoadDefaults();
    m_table.ReplaceDefaultFormat(format);
    if (s_defaults.gridColour)
        m_gridData.m_crShadow = *s_defaults.gridColour;
    if (s_defaults.textColour)
        m_gridData.m_crText = *s_defaults.textColour;
    if (s_defaults.backColour)
        m_gridData.m_crBack1 = *s_defaults.backColour;
    if (s_defaults.font && s_defaults.font->lfFaceName[0] != '\0')
        m_gridData.m_storedFont = *s_defaults.font;
    if (s_defaults.textSize > 0)
        m_gridData.m_nPointSize = std::clamp((s_defaults.textSize + 5) / 10, 1, 100);
}

void CMXGrid::GetTypeName(std::string& out) const { out = LoadString(IDS_DATA_TYPE_NAME); }

int CMXGrid::GetFieldText(std::string& text, std::string_view field, std::string_view parameter)
{
    auto bad = [&] {
        text = LoadString(IDS_BAD_PARAMETER);
        return 1;
    };
    if (CompareNoCase(field, "ColumnName") == 0) {
        int c = 0;
        if (!ParseIntegers(parameter, &c, 1) || c <= 0)
            return bad();
        m_table.GetColumnName(c - 1, text);
        return 0;
    }
    if (CompareNoCase(field, "Data") == 0) {
        int v[2];
        if (!ParseIntegers(parameter, v, 2) || v[0] <= 0 || v[1] < 0)
            return bad();
        text.clear();
        if (const CData* cell = m_table.GetCell(v[1] + 1, v[0] - 1))
            cell->GetDisplayText(text, m_table.GetColumnFormat(v[0] - 1));
        return 0;
    }
    if (CompareNoCase(field, "AssValue") == 0) {
        int v[2];
        if (!ParseIntegers(parameter, v, 2) || v[0] <= 0 || v[1] < 2 || v[1] > 5)
            return bad();
        auto* x2 = dynamic_cast<CDataCTypeX2*>(m_table.GetColumnType(v[0] - 1));
        if (!x2)
            return bad();
        std::vector<double> values;
        x2->GetXValues(values);
        std::size_t k = std::size_t(v[1] - 2);
        if (k >= values.size())
            return bad();
        CDataDouble number(values[k]);
        number.GetDisplayText(text, m_table.GetColumnFormat(v[0] - 1));
        return 0;
    }
    return CMXProjectItem::GetFieldText(text, field, parameter);
}

void CMXGrid::UpdateViews(int hint, int first, int second)
{
    if (CProjectDocBase* doc = GetDocument()) {
        CHintRecord record(first, second);
        doc->UpdateAllViews(nullptr, hint, &record);
    }
}

void CMXGrid::BroadcastColumnChanges(const std::vector<CDataColumnRef>& changes)
{
    CMXDoc* doc = GetMXDoc();
    if (!doc) {
        CDataTableItem::BroadcastColumnChanges(changes);
        return;
    }
    std::vector<CColumnRef> columns;
    for (const CDataColumnRef& ref : changes)
        columns.push_back(CColumnRef{dynamic_cast<CMXProjectItem*>(ref.item), ref.column, ref.row});
    CUpdateNotification note(UN_CELLS_CHANGED, &columns, this);
    doc->NotifyItems(note, true);
}

void CMXGrid::OnItemNotify(CUpdateNotification& note)
{
    ReceiveNotice(note);
    // Every column type hears every notice; those that show other items' results react.
    auto* subject = dynamic_cast<CDataTableItem*>(note.item);
    for (int c : m_table.GetColumnNumbers())
        if (CDataColumnType* type = m_table.GetColumnType(c))
            type->OnNotify(this, subject, note);
}

void CMXGrid::ReceiveNotice(CUpdateNotification& note)
{
    switch (note.kind) {
    case UN_CELLS_CHANGED: {
        if (!note.columns)
            return;
        std::vector<CDataColumnRef> refs;
        for (const CColumnRef& ref : *note.columns)
            refs.push_back(CDataColumnRef{dynamic_cast<CDataTableItem*>(ref.item), ref.column, ref.row});
        ReceiveColumnChanges(dynamic_cast<CDataTableItem*>(note.item), refs);
        return;
    }
    case UN_COLUMNS_INSERTED:
    case UN_COLUMNS_DELETED: {
        auto* changed = dynamic_cast<CDataTableItem*>(note.item);
        for (int c = 0; c <= m_table.GetLastColumn(); ++c) {
            if (CDataColumnType* type = m_table.GetColumnType(c)) {
                if (note.kind == UN_COLUMNS_INSERTED)
                    type->OnColumnsInserted(changed, this, note.first, note.count);
                else
                    type->OnColumnsDeleted(changed, this, note.first, note.count);
            }
        }
        return;
    }
    case UN_ROWS_INSERTED:
    case UN_ROWS_DELETED:
    case UN_BLOCK_CHANGED:
    case UN_BLOCK_DELETED:
        // Only a notice about this table asks its columns to recompute.
        if (note.item != this)
            return;
        for (int c = 0; c <= m_table.GetLastColumn(); ++c)
            if (CDataColumnType* type = m_table.GetColumnType(c))
                type->ComputeValue(-1, this, TRUE);
        return;
    default:
        return;
    }
}

std::vector<BYTE> CMXGrid::SaveLinks() const
{
    // Per column with links: its number, the count of names, then each name.
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        for (int c : m_table.GetColumnNumbers()) {
            const CDataColumnType* type = m_table.GetColumnType(c);
            const std::vector<std::string> links = type ? type->GetLinks() : std::vector<std::string>();
            if (links.empty())
                continue;
            ar << std::int32_t(c);
            ar.WriteCount(std::uint32_t(links.size()));
            for (const std::string& name : links)
                ar << name;
        }
        ar.Close();
    }
    std::vector<BYTE> bytes(std::size_t(file.GetLength()));
    file.SeekToBegin();
    if (!bytes.empty())
        file.Read(bytes.data(), bytes.size());
    return bytes;
}

void CMXGrid::RestoreLinks(const std::vector<BYTE>& links)
{
    if (links.empty())
        return;
    CMemFile file(links);
    try {
        CArchive ar(&file, CArchive::load);
        while (ar.BytesRemaining() > 0) {
            std::int32_t c = 0;
            ar >> c;
            const std::uint32_t n = ar.ReadCount();
            ar.CheckRemaining(n, 1);
            std::vector<std::string> names(n);
            for (std::string& name : names)
                ar >> name;
            if (CDataColumnType* type = m_table.GetColumnType(c))
                type->RestoreLinks(this, names);
        }
    } catch (const CException&) {
        // What was read is given back.
    }
}

int CMXGrid::GetAssociatedX(int column, std::vector<double>& values) const
{
    auto* x2 = dynamic_cast<CDataCTypeX2*>(m_table.GetColumnType(column));
    if (!x2)
        return 0;
    x2->GetXValues(values);
    return 1;
}

CData* CMXGrid::MakeCellFromText(std::string_view text, int column, int row) const
{
    if (CDataColumnType* type = m_table.GetColumnType(column))
        return type->MakeDataFromText(row, text);
    return MakeDataFromString(text);
}

void CMXGrid::CollectNumbers(int column, std::vector<double>& values, std::vector<int>& rows) const
{
    values.clear();
    rows.clear();
    int last = m_table.GetLastRow(column);
    for (int row = 2; row <= last; ++row) {
        double v;
        if (m_table.GetNumber(row, column, v)) {
            values.push_back(v);
            rows.push_back(row);
        }
    }
}

int CMXGrid::CountNumbers(int column) const
{
    int count = 0;
    int last = m_table.GetLastRow(column);
    for (int row = 2; row <= last; ++row) {
        double v;
        count += m_table.GetNumber(row, column, v) ? 1 : 0;
    }
    return count;
}

void CMXGrid::CollectColumnValues(int column, std::vector<double>& values) const
{
    values.clear();
    int last = m_table.GetLastRow(column);
    for (int row = 2; row <= last; ++row) {
        double v;
        values.push_back(m_table.GetNumber(row, column, v) ? v : BlankValue());
    }
}

DataExtent CMXGrid::GetDataExtent(int xColumn, int yColumn, int xErrorColumn, int yErrorColumn,
                                  CEquationTransform* transform, bool xLog, bool yLog) const
{
    DataExtent extent;
    if (xColumn < 0 || yColumn < 0)
        return extent;
    int last = std::max(m_table.GetLastRow(xColumn), m_table.GetLastRow(yColumn));
    bool any[2] = {false, false};
    auto widen = [](double lo, double hi, double& min, double& max, bool& seen) {
        if (!seen) {
            min = lo;
            max = hi;
            seen = true;
        } else {
            min = std::min(min, lo);
            max = std::max(max, hi);
        }
    };
    for (int row = 2; row <= last; ++row) {
        double x, y;
        if (!m_table.GetNumber(row, xColumn, x) || !m_table.GetNumber(row, yColumn, y))
            continue;
        double ex = 0.0, ey = 0.0;
        if (xErrorColumn >= 0 && !m_table.GetNumber(row, xErrorColumn, ex))
            ex = 0.0;
        if (yErrorColumn >= 0 && !m_table.GetNumber(row, yErrorColumn, ey))
            ey = 0.0;
        double xlo = x - ex, xhi = x + ex, ylo = y - ey, yhi = y + ey;
        if (transform) {
            try {
                double tx[2] = {xlo, xhi}, ty[2] = {ylo, yhi};
                for (int k = 0; k < 2; ++k) {
                    transform->SetPoint(tx[k], ty[k]);
                    double nx = transform->EvaluateX();
                    double ny = transform->EvaluateY();
                    tx[k] = nx;
                    ty[k] = ny;
                }
                xlo = std::min(tx[0], tx[1]);
                xhi = std::max(tx[0], tx[1]);
                ylo = std::min(ty[0], ty[1]);
                yhi = std::max(ty[0], ty[1]);
            } catch (...) {
                continue;
            }
        }
        if ((xLog && xlo <= 0.0) || (yLog && ylo <= 0.0))
            continue;
        widen(xlo, xhi, extent.xMin, extent.xMax, any[0]);
        widen(ylo, yhi, extent.yMin, extent.yMax, any[1]);
        ++extent.count;
    }
    return extent;
}

int CMXGrid::CollectFitData(const FitDataRequest& request, FitData& out, CWorkerThread* poll) const
{
    out = FitData();
    if (request.xColumns.empty() || request.yColumn < 0)
        return -1;
    const int xColumn = request.xColumns.front();
    int last = std::max(m_table.GetLastRow(xColumn), m_table.GetLastRow(request.yColumn));
    if (request.weighting == kWeightErrors && request.errorColumn >= 0)
        last = std::max(last, m_table.GetLastRow(request.errorColumn));
    if (request.xKind == kXColumns)
        for (int c : request.xColumns)
            last = std::max(last, m_table.GetLastRow(c));
    if (last < 2)
        return 0;

    std::vector<double> associated;
    const bool fromAssociated = request.xKind == kXAssociated || request.xKind == kXAssociatedAll;
    if (fromAssociated && !GetAssociatedX(request.yColumn, associated))
        return -1;
    const int xCount = std::max(1, request.xCount);
    out.x.SetSize(xCount, 0);

    for (int row = 2; row <= last; ++row) {
        if (poll && row % 32 == 0 && (poll->IsQuitRequested() || poll->IsNewRequestPending())) {
            out = FitData();
            return -1;
        }
        double x, y, e = 0.0;
        if (!m_table.GetNumber(row, xColumn, x) || !m_table.GetNumber(row, request.yColumn, y))
            continue;
        if (::IsBlank(x) || ::IsBlank(y))
            continue;
        if (request.weighting == kWeightErrors
            && (request.errorColumn < 0 || !m_table.GetNumber(row, request.errorColumn, e) || ::IsBlank(e)))
            continue;
        std::vector<double> further;
        if (request.xKind == kXColumns) {
            bool all = true;
            for (std::size_t k = 1; k < request.xColumns.size() && all; ++k) {
                double v;
                all = m_table.GetNumber(row, request.xColumns[k], v) && !::IsBlank(v);
                further.push_back(v);
            }
            if (!all)
                continue;
        }
        if (request.rangeTest) {
            if (request.lower.n && x < request.lower.value)
                continue;
            if (request.upper.n && x > request.upper.value)
                continue;
        }
        double w = 1.0;
        switch (request.weighting) {
        case kWeightStatistical: w = y == 0.0 ? 1e10 : 1.0 / std::fabs(y); break;
        case kWeightProportional: w = y == 0.0 ? 1e10 : 1.0 / (y * y); break;
        case kWeightErrors: w = e == 0.0 ? 1e10 : 1.0 / (e * e); break;
        default: break;
        }
        int n = int(out.y.size());
        out.x.SetRowCount(n + 1);
        out.x[0][std::size_t(n)] = x;
        for (int k = 1; k < xCount; ++k) {
            double v = fromAssociated ? (std::size_t(k - 1) < associated.size() ? associated[std::size_t(k - 1)] : 1.0)
                                      : (std::size_t(k - 1) < further.size() ? further[std::size_t(k - 1)] : 0.0);
            out.x[k][std::size_t(n)] = v;
        }
        out.y.push_back(y);
        out.weights.push_back(w);
        out.rows.push_back(row);
    }
    return int(out.y.size());
}

void CMXGrid::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    CMXProjectItem::Serialize(ar);
    m_table.Serialize(ar);
    m_gridData.Serialize(ar);
    if (ar.IsStoring()) {
        for (const TripleRecord& r : m_splitter)
            ar << r;
        ar << std::int32_t(m_viewPosition[0]) << std::int32_t(m_viewPosition[1]);
        for (COLORREF c : m_colours)
            ar << c;
    } else {
        for (TripleRecord& r : m_splitter)
            ar >> r;
        std::int32_t a = 0, b = 0;
        ar >> a >> b;
        m_viewPosition[0] = a;
        m_viewPosition[1] = b;
        for (COLORREF& c : m_colours)
            ar >> c;
    }
}
