#include "graphui/widgets/XYScaleFormat.h"

#include "graph/DrawGraph.h"
#include "graph/ScaleText.h"
#include "graphui/widgets/PageHelpers.h"
#include "ui/widgets/DataExchange.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <algorithm>

using namespace pages;

namespace {

constexpr double kOrientations[5] = {0.0, 45.0, 90.0, 270.0, 315.0};

} // namespace

int AlignmentListIndex(WORD alignment) { return alignment == PFA_LEFT ? 0 : alignment == PFA_RIGHT ? 2 : 1; }

WORD AlignmentFromListIndex(int index) { return index == 0 ? PFA_LEFT : index == 2 ? PFA_RIGHT : PFA_CENTER; }

void FillOrientations(QComboBox* combo)
{
    for (double a : kOrientations)
        combo->addItem(QObject::tr("%1 degrees").arg(a));
}

int OrientationListIndex(double degrees)
{
    for (int i = 0; i < 5; ++i)
        if (degrees == kOrientations[i])
            return i;
    return 0;
}

void StoreLabelLayout(CXYScaleText* labels, int alignment, int orientation)
{
    PARAFORMAT format{};
    format.cbSize = sizeof format;
    format.dwMask = PFM_ALIGNMENT;
    format.wAlignment = AlignmentFromListIndex(alignment);
    labels->SetParaFormat(nullptr, format);
    labels->SetTextOrientation(kOrientations[std::clamp(orientation, 0, 4)]);
    labels->Reposition(true);
    labels->Invalidate();
    // Labels of another size push the graph's outline out or in.
    if (CDrawGraph* graph = labels->GetGraph()) {
        graph->RecalcOutline(graph->GetPosition());
        graph->Invalidate();
    }
}

CXYScaleFormat::CXYScaleFormat(CXYScaleText* labels, QWidget* parent)
    : CWizardPage(3549, tr("Scale"), parent), m_format(labels->GetNumberFormat()), m_pLabels(labels)
{
    m_nDecimals = std::clamp(m_format.m_decimals, 0, int(kMaxDecimals));
    m_nMaxDigits = std::clamp(m_format.m_maxDigits, MinDigits(), int(kMaxDigits));
    m_bThousands = m_format.m_thousands == 1;
    m_bPower = m_format.m_tenPower == 1;
    // The power form is a scientific form of its own: one box or the other.
    m_bScientific = m_format.m_scientific == 1 && !m_bPower;
    m_nZeros = std::clamp(m_format.m_trailingZeros, 0, 2);
    m_nScaling = std::clamp(m_format.m_scaleExponent, int(kMinScaling), int(kMaxScaling));
    if (const PARAFORMAT* format = labels->GetParaFormat(nullptr))
        m_nAlignment = AlignmentListIndex(format->wAlignment);
    m_nOrientation = OrientationListIndex(labels->GetTextOrientation());
    m_bFormatString = labels->m_bCustomFormat != 0 && !m_bPower;
    m_strFormat = labels->m_strCustomFormat;

    QGridLayout* grid = Grid(this);
    m_decimals = new QLineEdit(this);
    m_maxDigits = new QLineEdit(this);
    AddRow(grid, tr("&Decimal places:"), m_decimals);
    AddRow(grid, tr("&Max digits:"), m_maxDigits);
    m_thousands = new QCheckBox(tr("&Thousands separator"), this);
    m_scientific = new QCheckBox(tr("&Scientific format"), this);
    m_power = new QCheckBox(tr("&Power format"), this);
    for (QCheckBox* box : {m_thousands, m_scientific, m_power})
        grid->addWidget(box, grid->rowCount(), 0, 1, 2);
    m_zeros = new QComboBox(this);
    m_zeros->addItems({tr("Show 0's"), tr("Omit 0's"), tr("Replace with spaces")});
    AddRow(grid, tr("Trailing &zeros in fraction"), m_zeros);
    m_scaling = new QLineEdit(this);
    AddRow(grid, tr("Scaling po&wer:"), m_scaling);
    m_alignment = new QComboBox(this);
    m_alignment->addItems({tr("Left"), tr("Center"), tr("Right")});
    AddRow(grid, tr("&Alignment"), m_alignment);
    m_orientation = new QComboBox(this);
    FillOrientations(m_orientation);
    AddRow(grid, tr("&Orientation"), m_orientation);
    m_formatCheck = new QCheckBox(tr("&Format string:"), this);
    m_formatText = new QLineEdit(this);
    grid->addWidget(m_formatCheck, grid->rowCount(), 0);
    grid->addWidget(m_formatText, grid->rowCount() - 1, 1);
    grid->setRowStretch(grid->rowCount(), 1);

    // Scientific and power forms exclude each other; the power form writes
    // its exponent raised, which a format text cannot hold.
    connect(m_scientific, &QCheckBox::clicked, this, [this](bool on) {
        if (on)
            m_power->setChecked(false);
        UpdateControls();
        SetModified();
    });
    connect(m_power, &QCheckBox::clicked, this, [this](bool on) {
        if (on) {
            m_scientific->setChecked(false);
            m_formatCheck->setChecked(false);
        }
        UpdateControls();
        SetModified();
    });
    connect(m_formatCheck, &QCheckBox::clicked, this, [this] {
        UpdateControls();
        SetModified();
    });
    connect(m_thousands, &QCheckBox::clicked, this, [this] { SetModified(); });
    for (QComboBox* c : {m_zeros, m_alignment, m_orientation})
        connect(c, &QComboBox::activated, this, [this] { SetModified(); });
    for (QLineEdit* e : {m_decimals, m_maxDigits, m_scaling, m_formatText})
        connect(e, &QLineEdit::textEdited, this, [this] { SetModified(); });
    UpdateData(false);
}

int CXYScaleFormat::MinDigits() const { return std::max(m_nDecimals + 1, 7); }

void CXYScaleFormat::UpdateControls()
{
    const bool power = m_power->isChecked();
    m_formatCheck->setEnabled(!power);
    m_formatText->setEnabled(!power && m_formatCheck->isChecked());
}

void CXYScaleFormat::DoDataExchange(CDataExchange* pDX)
{
    DDX_Int(pDX, m_decimals, m_nDecimals);
    DDV_MinMaxInt(pDX, m_nDecimals, 0, kMaxDecimals);
    DDX_Int(pDX, m_maxDigits, m_nMaxDigits);
    DDV_MinMaxInt(pDX, m_nMaxDigits, MinDigits(), kMaxDigits);
    DDX_Check(pDX, m_thousands, m_bThousands);
    DDX_Check(pDX, m_scientific, m_bScientific);
    DDX_Check(pDX, m_power, m_bPower);
    DDX_CBIndex(pDX, m_zeros, m_nZeros);
    DDX_Int(pDX, m_scaling, m_nScaling);
    DDV_MinMaxInt(pDX, m_nScaling, kMinScaling, kMaxScaling);
    DDX_CBIndex(pDX, m_alignment, m_nAlignment);
    DDX_CBIndex(pDX, m_orientation, m_nOrientation);
    DDX_Check(pDX, m_formatCheck, m_bFormatString);
    DDX_Text(pDX, m_formatText, m_strFormat);
    if (!pDX->m_bSaveAndValidate)
        UpdateControls();
}

bool CXYScaleFormat::OnApply()
{
    m_format.m_decimals = m_nDecimals;
    m_format.m_maxDigits = m_nMaxDigits;
    m_format.m_thousands = m_bThousands;
    m_format.m_scientific = m_bScientific;
    m_format.m_tenPower = m_bPower;
    m_format.m_trailingZeros = std::clamp(m_nZeros, 0, 2);
    m_format.m_scaleExponent = m_nScaling;
    m_pLabels->GetNumberFormat().Merge(m_format);
    m_pLabels->m_bCustomFormat = m_bFormatString && !m_bPower ? 1 : 0;
    m_pLabels->m_strCustomFormat = m_strFormat;
    // Lays the block out again for the new texts as well.
    StoreLabelLayout(m_pLabels, m_nAlignment, m_nOrientation);
    m_pLabels->SetModified();
    return true;
}
