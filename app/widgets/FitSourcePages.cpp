#include "app/widgets/FitSourcePages.h"

#include "app/MXDoc.h"
#include "app/MXNonLinear.h"
#include "app/MXTransform.h"
#include "graph/DrawGraph.h"
#include "graph/GraphSources.h"
#include "graph/XYDatasetFit.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "ui/widgets/DataExchange.h"
#include "ui/widgets/TabFormView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace {

constexpr int kFitKinds = KIND_LINEAR | KIND_NONLINEAR;
constexpr int kFitNumberMax = 1000;
constexpr int kListingFitMax = 100;

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

void FillItems(QComboBox* combo, CMXDoc* doc, int kinds, const std::string& chosen)
{
    const QSignalBlocker block(combo);
    combo->clear();
    std::vector<std::string> names;
    if (doc)
        doc->GetItemNames(kinds, names);
    for (const std::string& name : names)
        combo->addItem(ToQt(name));
    combo->setCurrentIndex(combo->findText(ToQt(chosen), Qt::MatchFixedString));
}

// The name a combo shows; empty when nothing is chosen.
std::string Chosen(const QComboBox* combo)
{
    return combo->currentIndex() >= 0 ? combo->currentText().toStdString() : std::string();
}

QLabel* Buddy(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

// ---------------------------------------------------------------- pages

CFitChoicePage::CFitChoicePage(int templateId, const QString& caption, QWidget* parent)
    : QWidget(parent), m_nTemplateId(templateId), m_caption(caption)
{
    setWindowTitle(caption);
}

bool CFitChoicePage::UpdateData(bool save)
{
    CDataExchange dx(this, save);
    DoDataExchange(&dx);
    return !dx.Failed();
}

// ---------------------------------------------------------------- fit number

CFitNumberField::CFitNumberField(int editId, int maximum, QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_nMaximum(maximum)
{
    SetControlId(m_edit, editId);
    auto* up = new QToolButton(this);
    auto* down = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    up->setToolTip(tr("Next fit"));
    down->setToolTip(tr("Previous fit"));
    SetControlId(up, IDC_FITSRC_SPIN);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_edit);
    row->addWidget(up);
    row->addWidget(down);
    connect(up, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void CFitNumberField::Step(int delta)
{
    int value = 1;
    if (!ParseInt(m_edit->text().toStdString(), value))
        value = 1;
    m_edit->setText(QString::number(std::clamp(value + delta, 1, m_nMaximum)));
    emit m_edit->textEdited(m_edit->text());
}

// ---------------------------------------------------------------- data source of a fitted curve

CFitSourcePage::CFitSourcePage(CXYDatasetFit* dataset, CMXDoc* document, QWidget* parent)
    : CFitChoicePage(3556, tr("Data Source"), parent)
    , m_pDataset(dataset)
    , m_pDocument(document)
    , m_results(new QComboBox(this))
    , m_number(new CFitNumberField(IDC_FITSRC_FIT_NUMBER, kFitNumberMax, this))
    , m_transformCheck(new QCheckBox(tr("&Transform as"), this))
    , m_transform(new QComboBox(this))
{
    SetControlId(m_results, IDC_FITSRC_RESULTS);
    SetControlId(m_transformCheck, IDC_FITSRC_TRANSFORM_CHECK);
    SetControlId(m_transform, IDC_FITSRC_TRANSFORM_COMBO);
    if (m_pDataset) {
        m_strFit = m_pDataset->m_strFit;
        m_nFitNumber = m_pDataset->m_nFit + 1;
        m_bTransform = m_pDataset->m_bTransform ? 1 : 0;
        if (m_bTransform)
            m_strTransform = m_pDataset->m_strTransform;
    }
    auto* form = new QFormLayout;
    form->addRow(Buddy(tr("&Results"), m_results, this), m_results);
    form->addRow(Buddy(tr("&Fit number:"), m_number->Edit(), this), m_number);
    form->addRow(m_transformCheck, m_transform);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    connect(m_results, qOverload<int>(&QComboBox::activated), this, [this] {
        m_strFit = Chosen(m_results);
        EnableTransform();
        SetModified();
    });
    connect(m_transformCheck, &QCheckBox::clicked, this, [this](bool on) {
        m_bTransform = on ? 1 : 0;
        m_transform->setEnabled(on);
        SetModified();
    });
    connect(m_transform, qOverload<int>(&QComboBox::activated), this, [this] { SetModified(); });
    connect(m_number->Edit(), &QLineEdit::textEdited, this, [this] { SetModified(); });
}

bool CFitSourcePage::IsNonlinearFit(const std::string& name) const
{
    return m_pDocument && dynamic_cast<CMXNonLinear*>(m_pDocument->FindItem(name)) != nullptr;
}

void CFitSourcePage::OnInitDialog()
{
    FillItems(m_results, m_pDocument, kFitKinds, m_strFit);
    FillItems(m_transform, m_pDocument, KIND_TRANSFORM, m_strTransform);
    UpdateData(false);
    EnableTransform();
    SetModified(false);
}

void CFitSourcePage::EnableTransform()
{
    const bool nonlinear = IsNonlinearFit(Chosen(m_results));
    if (!nonlinear) {
        m_bTransform = 0;
        m_transformCheck->setChecked(false);
    }
    m_transformCheck->setEnabled(nonlinear);
    m_transform->setEnabled(nonlinear && m_transformCheck->isChecked());
}

void CFitSourcePage::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate) {
        m_results->setCurrentIndex(m_results->findText(ToQt(m_strFit), Qt::MatchFixedString));
        m_number->Edit()->setText(QString::number(m_nFitNumber));
        m_transformCheck->setChecked(m_bTransform != 0);
        m_transform->setCurrentIndex(m_transform->findText(ToQt(m_strTransform), Qt::MatchFixedString));
        return;
    }
    m_strFit = Chosen(m_results);
    DDX_Int(pDX, m_number->Edit(), m_nFitNumber);
    DDV_MinMaxInt(pDX, m_nFitNumber, 1, kFitNumberMax);
    if (pDX->Failed())
        return;
    m_bTransform = m_transformCheck->isChecked() ? 1 : 0;
    m_strTransform = Chosen(m_transform);
    if (!m_bTransform)
        return;
    pDX->PrepareCtrl(m_transform);
    if (m_strTransform.empty()) {
        ReportMessage(IDS_SELECT_TRANSFORMATION);
        pDX->Fail();
        return;
    }
    // The transformation rewrites the fit's own equation: it must be that equation's.
    auto* transform = m_pDocument ? dynamic_cast<CMXTransform*>(m_pDocument->FindItem(m_strTransform)) : nullptr;
    auto* fit = m_pDocument ? dynamic_cast<CMXNonLinear*>(m_pDocument->FindItem(m_strFit)) : nullptr;
    CMXProjectItem* source = transform ? transform->FindSourceItem() : nullptr;
    if (!fit || !source || !SameName(source->GetName(), fit->GetEquationName())) {
        ReportMessage(IDS_TRANSFORMATION_OTHER_EQUATION);
        pDX->Fail();
    }
}

bool CFitSourcePage::OnApply()
{
    if (!UpdateData(true))
        return false;
    CMXProjectItem* item = m_pDocument ? m_pDocument->FindItem(m_strFit) : nullptr;
    // Only a fit item can be the source; anything else leaves the dataset as it was.
    if (!m_pDataset || !item || !(item->GetKindFlag() & kFitKinds))
        return true;
    m_pDataset->m_strFit = item->GetName();
    m_pDataset->m_nFit = m_nFitNumber - 1;
    m_pDataset->m_bTransform = m_bTransform;
    m_pDataset->m_strTransform = m_bTransform ? m_strTransform : std::string();
    m_pDataset->Recalculate();
    if (CDrawGraph* graph = m_pDataset->GetGraph())
        graph->OnDataChanged();
    m_pDataset->SetModified();
    m_pDataset->Repaint();
    SetModified(false);
    return true;
}

// ---------------------------------------------------------------- results listing

CResultsSourceFields::CResultsSourceFields(CMXDoc* document, QWidget* parent)
    : QWidget(parent)
    , m_pDocument(document)
    , m_source(new QComboBox(this))
    , m_number(new CFitNumberField(IDC_LISTING_FIT_NUMBER, kListingFitMax, this))
{
    SetControlId(m_source, IDC_LISTING_SOURCE);
    auto* form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(Buddy(tr("&Results source"), m_source, this), m_source);
    form->addRow(Buddy(tr("&Fit number:"), m_number->Edit(), this), m_number);
    connect(m_source, qOverload<int>(&QComboBox::activated), this, &CResultsSourceFields::changed);
    connect(m_number->Edit(), &QLineEdit::textEdited, this, &CResultsSourceFields::changed);
}

bool CResultsSourceFields::Fill()
{
    const std::string chosen = Chosen(m_source);
    FillItems(m_source, m_pDocument, kFitKinds, chosen);
    if (m_source->count() > 0)
        return true;
    ReportMessage(IDS_NO_RESULTS_ITEMS);
    return false;
}

bool CResultsSourceFields::Exchange(CDataExchange* pDX, std::string& name, int& number)
{
    if (!pDX->m_bSaveAndValidate) {
        m_source->setCurrentIndex(m_source->findText(ToQt(name), Qt::MatchFixedString));
        m_number->Edit()->setText(QString::number(number));
        return true;
    }
    name = Chosen(m_source);
    DDX_Int(pDX, m_number->Edit(), number);
    DDV_MinMaxInt(pDX, number, 1, kListingFitMax);
    return !pDX->Failed();
}

CResultsListingPage::CResultsListingPage(CResultsListingTarget* listing, CMXDoc* document, QWidget* parent)
    : CFitChoicePage(3562, tr("Source"), parent), m_pListing(listing), m_fields(new CResultsSourceFields(document, this))
{
    if (m_pListing) {
        m_strName = m_pListing->GetResultsName();
        m_nFitNumber = m_pListing->GetResultsFit() + 1;
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fields);
    layout->addStretch(1);
    connect(m_fields, &CResultsSourceFields::changed, this, [this] { SetModified(); });
}

bool CResultsListingPage::OnInitDialog()
{
    if (!m_fields->Fill())
        return false;
    UpdateData(false);
    SetModified(false);
    return true;
}

void CResultsListingPage::DoDataExchange(CDataExchange* pDX) { m_fields->Exchange(pDX, m_strName, m_nFitNumber); }

bool CResultsListingPage::OnApply()
{
    if (!UpdateData(true))
        return false;
    if (m_pListing) {
        m_pListing->SetResults(m_strName, m_nFitNumber - 1);
        m_pListing->Rebuild();
    }
    SetModified(false);
    return true;
}

CResultsListingDlg::CResultsListingDlg(CMXDoc* document, QWidget* parent)
    : QDialog(parent)
    , m_fields(new CResultsSourceFields(document, this))
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(tr("Results Listing"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fields);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &CResultsListingDlg::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &CResultsListingDlg::reject);
    connect(m_fields, &CResultsSourceFields::changed, this, [this] { EnableOk(); });
}

QPushButton* CResultsListingDlg::OkButton() const { return m_buttons->button(QDialogButtonBox::Ok); }

void CResultsListingDlg::EnableOk()
{
    const bool chosen = m_fields->Source()->currentIndex() >= 0;
    OkButton()->setEnabled(chosen);
    OkButton()->setToolTip(chosen ? QString() : tr("Choose the fit whose results are listed"));
}

bool CResultsListingDlg::OnInitDialog()
{
    if (!m_fields->Fill())
        return false;
    CDataExchange dx(this, false);
    m_fields->Exchange(&dx, m_strName, m_nFitNumber);
    EnableOk();
    m_bInitialised = true;
    return true;
}

int CResultsListingDlg::exec()
{
    if (!m_bInitialised && !OnInitDialog())
        return QDialog::Rejected;
    return QDialog::exec();
}

void CResultsListingDlg::accept()
{
    CDataExchange dx(this, true);
    if (!m_fields->Exchange(&dx, m_strName, m_nFitNumber) || m_strName.empty())
        return;
    QDialog::accept();
}
