#include "app/widgets/GridColorsPage.h"

#include "app/MXGrid.h"
#include "app/widgets/DataView.h"
#include "app/widgets/MXApp.h"
#include "data/DataActionGridPrefs.h"
#include "data/DataTableView.h"
#include "platform/StringIds.h"
#include "ui/widgets/ColourCombo.h"
#include "ui/widgets/FontPage.h"
#include "framework/widgets/HelpPropertySheet.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const char* const kLabels[] = {"&Calculated data text", "&Editable data text", "&Grid lines",
                               "&Row/Column text",      "&Heading text",       "&Locked data text"};
constexpr int kSystemColours[] = {COLOR_BTNSHADOW, COLOR_WINDOWTEXT, COLOR_BTNFACE,
                                  COLOR_WINDOWTEXT, COLOR_WINDOWTEXT, COLOR_BTNSHADOW};
} // namespace

CGridColorsPage::CGridColorsPage(CDataView* view, QWidget* parent)
    : QWidget(parent)
    , m_pView(view)
    , m_restore(new QPushButton("Restore Defaults", this))
    , m_save(new QPushButton("Save as Defaults", this))
{
    setWindowTitle("Colors");
    auto* form = new QFormLayout;
    for (int i = 0; i < kCount; ++i) {
        auto* combo = new CColourCombo(this);
        m_combos[std::size_t(i)] = combo;
        form->addRow(kLabels[i], combo);
        connect(combo, &CColourCombo::colourChanged, this, [this] { m_bModified = true; });
    }
    connect(m_restore, &QPushButton::clicked, this, &CGridColorsPage::OnReset);
    connect(m_save, &QPushButton::clicked, this, &CGridColorsPage::SaveAsDefaults);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_restore);
    buttons->addWidget(m_save);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    if (CMXGrid* item = view ? view->GetFrameItem() : nullptr) {
        const CGridData& d = item->GetGridData();
        m_colours = {item->m_colours[0], d.m_crText,         d.m_crShadow,
                     item->m_colours[1], item->m_colours[2], item->m_colours[3]};
    }
    UpdateData(false);
}

bool CGridColorsPage::UpdateData(bool save)
{
    for (int i = 0; i < kCount; ++i) {
        if (save)
            m_colours[std::size_t(i)] = m_combos[std::size_t(i)]->GetColour().m_colour;
        else
            m_combos[std::size_t(i)]->SetColour(m_colours[std::size_t(i)]);
    }
    return true;
}

bool CGridColorsPage::OnApply(const CFontPage* fontPage)
{
    if (!m_pView || !m_pView->GetFrameItem() || !UpdateData(true))
        return false;
    CDataGridPrefs prefs = m_pView->GetTableView()->GetGridPrefs();
    prefs.first = int(m_colours[kGridLines]);
    prefs.second = int(m_colours[kEditable]);
    prefs.colours[0] = m_colours[kCalculated];
    prefs.colours[1] = m_colours[kRowColumn];
    prefs.colours[2] = m_colours[kHeading];
    prefs.colours[3] = m_colours[kLocked];
    if (fontPage) {
        // The font page works in twips; the grid keeps points.
        prefs.font = fontPage->GetLogFont();
        prefs.last = std::max(1, fontPage->GetHeightTwips() / 20);
    }
    m_bModified = false;
    return m_pView->RunAction(new CDataActionGridPrefs(m_pView->GetFrameItem(), prefs));
}

void CGridColorsPage::OnReset()
{
    for (int i = 0; i < kCount; ++i)
        m_colours[std::size_t(i)] = GridSysColor(kSystemColours[i]);
    UpdateData(false);
    m_bModified = true;
}

void CGridColorsPage::SaveAsDefaults()
{
    if (!UpdateData(true))
        return;
    CMXApp* app = GetMXApp();
    if (!app)
        return;
    // The application keeps them as calculated, row/column, heading, editable, grid lines, locked.
    const Colour order[] = {kCalculated, kRowColumn, kHeading, kEditable, kGridLines, kLocked};
    for (int i = 0; i < kCount; ++i)
        app->m_tableColours[i] = m_colours[std::size_t(order[i])];
    app->m_bTableChanged = true;
    CMXGrid::s_defaults.colours = {m_colours[kCalculated], m_colours[kRowColumn], m_colours[kHeading],
                                   m_colours[kLocked]};
}

int CGridColorsPage::RunPreferences(CDataView* view)
{
    CHelpPropertySheet sheet(IDS_PREFERENCES, view);
    const CGridData* d = view ? view->GetGridData() : nullptr;
    auto* fontPage = new CFontPage(d ? d->m_storedFont : LOGFONT{}, d ? d->m_nPointSize * 20 : 200);
    sheet.AddPage(fontPage, fontPage->Title());
    auto* page = new CGridColorsPage(view);
    sheet.AddPage(page);
    // The font saved as the default is the one new tables start with.
    QObject::connect(fontPage->SaveDefaultsButton(), &QPushButton::clicked, fontPage, [] {
        if (CMXApp* app = GetMXApp()) {
            const DefaultFontSetting& saved = CFontPage::ApplicationDefaultFont();
            app->SetDefaultTableFont(saved.font, saved.sizeTenthsPoint);
        }
    });
    QObject::connect(&sheet, &CHelpPropertySheet::applied, page, [page, fontPage, &sheet] {
        if ((page->IsModified() || fontPage->IsModified()) && page->OnApply(fontPage))
            if (QPushButton* cancel = sheet.GetButtons()->button(QDialogButtonBox::Cancel))
                cancel->setText("Close");
    });
    return sheet.exec();
}
