#include "app/widgets/FitProgressDlg.h"

#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <charconv>

CFitProgressDlg::CFitProgressDlg(QWidget* parent) : QDialog(parent) {}

bool CFitProgressDlg::Create(CFitProgressContext* context, int templateId, QWidget* parent)
{
    m_pContext = context;
    if (parent)
        setParent(parent, Qt::Dialog);
    setModal(false);
    setWindowTitle(QStringLiteral("Fitting data..."));
    auto* layout = new QVBoxLayout(this);
    m_animation = new QProgressBar(this);
    m_animation->setRange(0, 0); // keeps moving while the dialog is shown
    m_animation->setTextVisible(false);
    layout->addWidget(m_animation);
    if (templateId == IDD_FIT_PROGRESS_DETAIL) {
        auto* form = new QFormLayout;
        m_iteration = new QLabel(this);
        m_chiSquare = new QLabel(this);
        form->addRow(QStringLiteral("Iteration:"), m_iteration);
        form->addRow(QStringLiteral("Reduced chi\u00B2:"), m_chiSquare);
        layout->addLayout(form);
    }
    m_abort = new QPushButton(QStringLiteral("&Abort"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_abort);
    layout->addLayout(buttons);
    connect(m_abort, &QPushButton::clicked, this, [this] {
        if (m_pContext)
            m_pContext->AbortCalculation();
    });
    UpdateTitle();
    show();
    return true;
}

void CFitProgressDlg::UpdateTitle()
{
    if (!m_pContext || m_pContext->GetFitCount() <= 1)
        return;
    std::string index = std::to_string(m_pContext->GetCurrentFitIndex() + 1);
    std::string count = std::to_string(m_pContext->GetFitCount());
    setWindowTitle(QString::fromStdString(FormatString(IDS_FITTING_N_OF_M, {index, count})));
}

void CFitProgressDlg::SetIteration(int iteration)
{
    if (m_iteration)
        m_iteration->setText(QString::number(iteration));
}

void CFitProgressDlg::SetReducedChiSquare(double value)
{
    if (!m_chiSquare)
        return;
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
    m_chiSquare->setText(QString::fromLatin1(buf, int(res.ptr - buf)));
}
