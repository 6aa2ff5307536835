#include "graphui/widgets/GraphWizard.h"

#include "framework/UpdateNotification.h"
#include "graph/DrawGraph.h"
#include "graph/GraphSources.h"
#include "graph/XYAxis.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/widgets/DataExchange.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

// ---------------------------------------------------------------- pages

CWizardPage::CWizardPage(int templateId, const QString& caption, QWidget* parent)
    : QWidget(parent), m_nTemplateId(templateId)
{
    setWindowTitle(caption);
}

bool CWizardPage::UpdateData(bool save)
{
    CDataExchange dx(this, save);
    DoDataExchange(&dx);
    return !dx.Failed();
}

bool CWizardPage::Refuse(UINT stringId, QWidget* focus)
{
    ReportMessage(stringId);
    if (focus)
        focus->setFocus();
    return false;
}

// ---------------------------------------------------------------- the wizard sheet

CWizardSheet::CWizardSheet(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromStdString(LoadString(IDS_WIZARD)));
    auto* layout = new QVBoxLayout(this);
    m_title = new QLabel(this);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    layout->addWidget(m_title);
    m_stack = new QStackedWidget(this);
    layout->addWidget(m_stack, 1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    m_back = new QPushButton(tr("< &Back"), this);
    m_next = new QPushButton(tr("&Next >"), this);
    m_finish = new QPushButton(tr("Finish"), this);
    m_cancel = new QPushButton(tr("Cancel"), this);
    for (QPushButton* b : {m_back, m_next, m_finish, m_cancel}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    layout->addLayout(row);
    connect(m_back, &QPushButton::clicked, this, [this] { PressBack(); });
    connect(m_next, &QPushButton::clicked, this, [this] { PressNext(); });
    connect(m_finish, &QPushButton::clicked, this, [this] { PressFinish(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { PressCancel(); });
}

void CWizardSheet::AddPage(CWizardPage* page)
{
    page->SetSheet(this);
    m_pages.push_back(page);
    m_stack->addWidget(page);
}

CWizardPage* CWizardSheet::GetActivePage() const
{
    return m_nActive >= 0 ? m_pages[std::size_t(m_nActive)] : nullptr;
}

int CWizardSheet::IndexOf(int templateId) const
{
    for (std::size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i]->GetTemplateId() == templateId)
            return int(i);
    return -1;
}

CWizardPage* CWizardSheet::FindPage(int templateId) const
{
    const int i = IndexOf(templateId);
    return i < 0 ? nullptr : m_pages[std::size_t(i)];
}

void CWizardSheet::SetWizardButtons(int buttons)
{
    m_nButtons = buttons;
    m_back->setEnabled(buttons & PSWIZB_BACK);
    m_next->setEnabled(buttons & PSWIZB_NEXT);
    m_next->setVisible(!(buttons & PSWIZB_FINISH));
    m_finish->setVisible(buttons & PSWIZB_FINISH);
    m_finish->setEnabled(buttons & PSWIZB_FINISH);
    QPushButton* main = (buttons & PSWIZB_FINISH) ? m_finish : m_next;
    main->setDefault(true);
}

void CWizardSheet::Activate(int index)
{
    m_nActive = index;
    CWizardPage* page = m_pages[std::size_t(index)];
    m_stack->setCurrentWidget(page);
    m_title->setText(page->windowTitle());
    page->UpdateData(false);
    page->OnSetActive();
}

void CWizardSheet::Start()
{
    m_history.clear();
    if (!m_pages.empty()) {
        m_history.push_back(0);
        Activate(0);
    }
}

int CWizardSheet::Run()
{
    Start();
    return exec();
}

void CWizardSheet::SetActivePage(int index)
{
    if (index < 0 || index >= GetPageCount() || index == m_nActive)
        return;
    JumpTo(index);
}

void CWizardSheet::JumpTo(int index)
{
    // A jump back to a page already shown drops what came after it.
    const auto it = std::find(m_history.begin(), m_history.end(), index);
    if (it != m_history.end())
        m_history.erase(it + 1, m_history.end());
    else
        m_history.push_back(index);
    Activate(index);
}

bool CWizardSheet::PressNext()
{
    CWizardPage* page = GetActivePage();
    if (!page || !(m_nButtons & PSWIZB_NEXT))
        return false;
    if (!page->OnKillActive())
        return false;
    const int target = page->OnWizardNext();
    if (target < 0)
        return false;
    const int index = target == 0 ? m_nActive + 1 : IndexOf(target);
    if (index < 0 || index >= GetPageCount())
        return false;
    m_history.push_back(index);
    Activate(index);
    return true;
}

bool CWizardSheet::PressBack()
{
    CWizardPage* page = GetActivePage();
    if (!page || !(m_nButtons & PSWIZB_BACK))
        return false;
    // Leaving backwards keeps what was typed, so the page reads its controls too.
    if (!page->OnKillActive())
        return false;
    const int target = page->OnWizardBack();
    if (target < 0)
        return false;
    if (target != 0) {
        const int index = IndexOf(target);
        if (index < 0)
            return false;
        JumpTo(index);
        return true;
    }
    if (m_history.size() < 2)
        return false;
    m_history.pop_back();
    Activate(m_history.back());
    return true;
}

bool CWizardSheet::PressFinish()
{
    CWizardPage* page = GetActivePage();
    if (!page || !(m_nButtons & PSWIZB_FINISH))
        return false;
    if (!page->OnWizardFinish())
        return false;
    done(ID_WIZFINISH);
    return true;
}

void CWizardSheet::PressCancel()
{
    reject();
}

// ---------------------------------------------------------------- graph wizards

CGraphWizardSheet::CGraphWizardSheet(CWizardCatalog* catalog, CGraphSources* sources, QWidget* parent)
    : CWizardSheet(parent), m_pCatalog(catalog), m_pSources(sources)
{
}

int CGraphWizardSheet::GetSourceKind() const
{
    const std::string name = GetSourceName();
    return name.empty() || !m_pCatalog ? 0 : m_pCatalog->GetItemKind(name);
}

bool CGraphWizardSheet::SourceNoticed(const CUpdateNotification& notice) const
{
    const std::string source = GetSourceName();
    if (source.empty())
        return false;
    switch (notice.kind) {
    case UN_CELLS_CHANGED: case UN_COLUMNS_INSERTED: case UN_COLUMNS_DELETED: case UN_ROWS_INSERTED:
    case UN_ROWS_DELETED: case UN_BLOCK_CHANGED: case UN_BLOCK_DELETED:
        return m_pSources && notice.item && notice.item == m_pSources->FindGraphItem(source);
    case UN_ITEM_REMOVING:
        return SameName(notice.oldName, source);
    default:
        return false;
    }
}

void ApplyTickStyle(CDrawGraph* graph, int style, int xIndex, int yIndex)
{
    if (!graph || style <= 0 || style > 9 || xIndex >= graph->GetXAxisCount() || yIndex >= graph->GetYAxisCount())
        return;
    CXYAxis* x = graph->GetXAxis(xIndex);
    CXYAxis* y = graph->GetYAxis(yIndex);
    constexpr int kOutside = 1, kOff = 3;
    // Tick style 1 of an X axis is its upper side, of a Y axis its left side;
    // tick style 2 the lower and the right side.
    if (style == 5) {
        x->m_nTickStyle1 = x->m_nTickStyle2 = kOutside;
        y->m_nTickStyle1 = y->m_nTickStyle2 = kOutside;
        return;
    }
    x->m_nTickStyle1 = kOff;
    y->m_nTickStyle2 = kOff;
    if (style >= 6) {
        x->m_nTickStyle2 = kOutside;
        y->m_nTickStyle1 = kOutside;
    }
    const int kind = style >= 6 ? style - 5 : style;
    constexpr COLORREF kGrid = 0xC0C0C0;
    if (kind == 2 || kind == 3) {
        y->m_nMajorGridStyle = 0;
        y->m_crMajorGrid = kGrid;
    }
    if (kind == 3) {
        x->m_nMajorGridStyle = 0;
        x->m_crMajorGrid = kGrid;
    }
    if (kind == 4) {
        // An open frame keeps the sides along the axes: the side that is
        // drawn on top of the page (the frame's larger y, which the graph
        // keeps as its "bottom" flag) and the right side go.
        graph->m_bBottomEdge = 0;
        graph->m_bRightEdge = 0;
    }
}

// ---------------------------------------------------------------- the gallery

CSelectGraphTypeDlg::CSelectGraphTypeDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Select Graph Type"));
    auto* layout = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setViewMode(QListView::IconMode);
    m_list->setIconSize(QSize(32, 32));
    m_list->setMovement(QListView::Static);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    for (UINT id : {IDS_GALLERY_XY, IDS_GALLERY_COLUMN, IDS_GALLERY_BAR, IDS_GALLERY_HISTOGRAM})
        m_list->addItem(QString::fromStdString(LoadString(id)));
    layout->addWidget(m_list, 1);
    auto* note = new QLabel(tr("Select the basic graph type from the gallery. Specific styling is then applied using "
                               "the graph creation wizard, which is launched when you click the Create button."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    m_create = new QPushButton(tr("Create..."), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    row->addWidget(m_create);
    row->addWidget(cancel);
    layout->addLayout(row);
    m_create->setDefault(true);
    connect(m_create, &QPushButton::clicked, this, &CSelectGraphTypeDlg::OnCreate);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &CSelectGraphTypeDlg::UpdateButton);
    // A double click on an entry creates; on empty space nothing is selected, so nothing happens.
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { OnCreate(); });
    UpdateButton();
}

void CSelectGraphTypeDlg::UpdateButton()
{
    m_create->setEnabled(m_list->selectedItems().size() == 1);
}

void CSelectGraphTypeDlg::SetKindAvailable(int kind, bool available, const std::string& reason)
{
    QListWidgetItem* item = m_list->item(kind);
    if (!item)
        return;
    const Qt::ItemFlags usable = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    item->setFlags(available ? item->flags() | usable : item->flags() & ~usable);
    item->setToolTip(available ? QString() : QString::fromStdString(reason));
    if (!available)
        item->setSelected(false);
    UpdateButton();
}

void CSelectGraphTypeDlg::OnCreate()
{
    const auto selected = m_list->selectedItems();
    if (selected.size() != 1)
        return;
    m_nChoice = m_list->row(selected.front());
    accept();
}

// ---------------------------------------------------------------- percentages

std::string FormatG15(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", 15, value);
    return buffer;
}

bool ParsePercent(std::string_view text, int& value)
{
    if (text.size() > 64)
        return false;
    std::size_t i = 0;
    auto blanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
    };
    blanks();
    const std::size_t start = i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t digits = i;
    long long v = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        v = v * 10 + (text[i] - '0');
        if (v > 2147483647LL)
            return false;
        ++i;
    }
    if (i == digits || start == text.size())
        return false;
    blanks();
    if (i < text.size() && text[i] == '%') {
        ++i;
        blanks();
    }
    if (i != text.size())
        return false;
    value = int(negative ? -v : v);
    return true;
}

void DDX_Percent(CDataExchange* pDX, QLineEdit* edit, int& value)
{
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(edit);
    if (!pDX->m_bSaveAndValidate) {
        edit->setText(QString::number(value) + '%');
        return;
    }
    if (!edit->isEnabled())
        return;
    int read = 0;
    if (!ParsePercent(edit->text().toStdString(), read)) {
        ReportMessage(IDS_INVALID_PERCENT);
        pDX->Fail();
        return;
    }
    value = read;
}

void DDV_Percent(CDataExchange* pDX, int value, int minimum, int maximum)
{
    if (pDX->Failed() || !pDX->m_bSaveAndValidate)
        return;
    DDV_MinMaxInt(pDX, value, minimum, maximum);
}
