#include "app/widgets/EqnSourcePage.h"

#include "app/MXDoc.h"
#include "app/MXEquationBase.h"
#include "equation/EquationBase.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/widgets/DialogButtons.h"
#include "ui/widgets/TabFormView.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include <vector>

namespace {

// Equation items and library equation items.
constexpr int kEquationKinds = 8 | 128;

} // namespace

CEqnSourcePage::CEqnSourcePage(CEquationCurve* curve, QWidget* parent)
    : QWidget(parent)
    , m_pCurve(curve)
    , m_equations(new QComboBox(this))
    , m_status(new QLabel(this))
{
    SetControlId(m_equations, IDC_EQN_SOURCE_EQUATION);
    SetControlId(m_status, IDC_EQN_SOURCE_STATUS);
    if (m_pCurve)
        m_strName = m_pCurve->GetEquationItemName();
    auto* group = new QGroupBox(tr("Equation definition"), this);
    auto* form = new QFormLayout(group);
    auto* label = new QLabel(tr("&Equation"), group);
    label->setBuddy(m_equations);
    form->addRow(label, m_equations);
    form->addRow(m_status);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch(1);
    connect(m_equations, qOverload<int>(&QComboBox::activated), this, [this] { OnSelChange(); });
}

void CEqnSourcePage::OnInitDialog()
{
    m_equations->clear();
    std::vector<std::string> names;
    if (CMXDoc* doc = m_pCurve ? m_pCurve->GetDocument() : nullptr)
        doc->GetItemNames(kEquationKinds, names);
    for (const std::string& name : names)
        m_equations->addItem(QString::fromStdString(name));
    m_equations->setCurrentIndex(m_equations->findText(QString::fromStdString(m_strName), Qt::MatchFixedString));
    UpdateStatus();
}

void CEqnSourcePage::UpdateStatus()
{
    CMXDoc* doc = m_pCurve ? m_pCurve->GetDocument() : nullptr;
    auto* item = doc ? dynamic_cast<CMXEquationBase*>(doc->FindItem(m_strName)) : nullptr;
    CEquationBase* equation = item && (item->GetKindFlag() & kEquationKinds) ? item->GetEquation() : nullptr;
    m_status->setText(equation && equation->IsValid() ? QString()
                                                       : QString::fromStdString(LoadString(IDS_EQUATION_NOT_DEFINED)));
}

void CEqnSourcePage::OnSelChange()
{
    m_strName = m_equations->currentText().toStdString();
    UpdateStatus();
    m_bModified = true;
    emit modified();
}

bool CEqnSourcePage::OnApply()
{
    CMXDoc* doc = m_pCurve ? m_pCurve->GetDocument() : nullptr;
    CMXProjectItem* item = doc ? doc->FindItem(m_strName) : nullptr;
    // Only the kind counts: an equation that is not compiled may still be chosen.
    if (!item || !(item->GetKindFlag() & kEquationKinds))
        return false;
    m_pCurve->SetEquationItemName(m_strName);
    m_pCurve->Refresh();
    m_pCurve->OnGraphDataChanged();
    SetCancelToClose(window());
    m_bModified = false;
    return true;
}
