#include "app/widgets/DataSplitterWnd.h"

#include "app/MXGrid.h"
#include "app/widgets/DataView.h"

#include <QApplication>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// Records: rows 1 and 2, then columns 1 and 2, each {minimum, ideal, current}; all 0 when absent.
constexpr int kMinimumPane = 20;
} // namespace

CDataSplitterWnd::CDataSplitterWnd(CMXGrid* item, QWidget* parent)
    : QWidget(parent)
    , m_pItem(item)
    , m_rows(new QSplitter(Qt::Vertical, this))
{
    setObjectName("DataSplitter");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_rows);
    for (int r = 0; r < 2; ++r) {
        m_columns[std::size_t(r)] = new QSplitter(Qt::Horizontal, m_rows);
        m_rows->addWidget(m_columns[std::size_t(r)]);
        for (int c = 0; c < 2; ++c) {
            auto* view = new CDataView(item, m_columns[std::size_t(r)]);
            view->SetPane(r * 2 + c);
            m_panes[std::size_t(r * 2 + c)] = view;
            m_columns[std::size_t(r)]->addWidget(view);
        }
        // The two rows of panes keep their columns in line.
        connect(m_columns[std::size_t(r)], &QSplitter::splitterMoved, this, [this, r] {
            m_columns[std::size_t(1 - r)]->setSizes(m_columns[std::size_t(r)]->sizes());
            RecalcLayout();
        });
    }
    setFocusProxy(m_panes[0]);
    connect(m_rows, &QSplitter::splitterMoved, this, [this] { RecalcLayout(); });
    CreatePanes();
}

bool CDataSplitterWnd::IsRowShown(int row) const { return m_rows->sizes().value(row) > 0; }
bool CDataSplitterWnd::IsColumnShown(int column) const { return m_columns[0]->sizes().value(column) > 0; }

void CDataSplitterWnd::CreatePanes()
{
    if (!m_pItem)
        return;
    m_bRestoring = true;
    const auto& s = m_pItem->m_splitter;
    const int row2 = s[1].b > 0 ? int(s[1].b) : 0;
    const int column2 = s[3].b > 0 ? int(s[3].b) : 0;
    m_rows->setSizes({std::max(int(s[0].b), 1), row2});
    for (QSplitter* columns : m_columns)
        columns->setSizes({std::max(int(s[2].b), 1), column2});
    m_bRestoring = false;
}

void CDataSplitterWnd::SplitRow(int position)
{
    const int total = std::max(m_rows->height(), 2 * kMinimumPane);
    position = std::clamp(position, kMinimumPane, total - kMinimumPane);
    m_rows->setSizes({position, total - position});
    // The new panes start where the first pane shows, below the frozen rows.
    for (int c = 0; c < 2; ++c)
        GetPane(1, c)->SetTopRow(std::max(GetPane(0, 0)->GetTopRow(), CDataView::kHeadingRows));
    RecalcLayout();
}

void CDataSplitterWnd::SplitColumn(int position)
{
    const int total = std::max(m_columns[0]->width(), 2 * kMinimumPane);
    position = std::clamp(position, kMinimumPane, total - kMinimumPane);
    for (QSplitter* columns : m_columns)
        columns->setSizes({position, total - position});
    for (int r = 0; r < 2; ++r)
        GetPane(r, 1)->SetLeftColumn(std::max(GetPane(0, 0)->GetLeftColumn(), 1));
    RecalcLayout();
}

void CDataSplitterWnd::DeleteRow()
{
    m_rows->setSizes({std::max(m_rows->height(), 1), 0});
    RecalcLayout();
}

void CDataSplitterWnd::DeleteColumn()
{
    for (QSplitter* columns : m_columns)
        columns->setSizes({std::max(columns->width(), 1), 0});
    RecalcLayout();
}

bool CDataSplitterWnd::RecalcLayout()
{
    if (!m_pItem || m_bRestoring)
        return false;
    const QList<int> rows = m_rows->sizes(), columns = m_columns[0]->sizes();
    std::array<TripleRecord, 4> records{};
    // A second row or column is stored only while it is shown.
    records[0] = TripleRecord{kMinimumPane, rows.value(0), rows.value(0)};
    if (rows.value(1) > 0)
        records[1] = TripleRecord{kMinimumPane, rows.value(1), rows.value(1)};
    records[2] = TripleRecord{kMinimumPane, columns.value(0), columns.value(0)};
    if (columns.value(1) > 0)
        records[3] = TripleRecord{kMinimumPane, columns.value(1), columns.value(1)};
    if (records == m_pItem->m_splitter)
        return false;
    m_pItem->m_splitter = records;
    m_pItem->SetModified(true);
    return true;
}

void CDataSplitterWnd::Detach()
{
    for (CDataView* view : m_panes)
        view->Detach();
    m_pItem = nullptr;
}

CDataView* CDataSplitterWnd::GetActivePane() const
{
    QWidget* focus = QApplication::focusWidget();
    for (CDataView* pane : m_panes)
        if (focus && (pane == focus || pane->isAncestorOf(focus)))
            return pane;
    return m_panes[0];
}

bool CDataSplitterWnd::OnCmdMsg(UINT id, CCmdUI* ui) { return GetActivePane()->OnCmdMsg(id, ui); }
