#include "framework/widgets/HeaderFooterSetupDialog.h"

#include "framework/ProjectItemBase.h"
#include "framework/widgets/HeaderFieldButton.h"
#include "framework/widgets/HeaderFooterPainter.h"
#include "framework/widgets/MeasurementEdit.h"
#include "framework/widgets/PrinterWindows.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstring>

// The sample page: the paper in proportion, the margins, and the header and
// footer distances as dotted grey lines labelled "Header Text" and "Footer Text".
class CHeaderFooterSetupDialog::Sample : public QWidget {
public:
    explicit Sample(CHeaderFooterSetupDialog* dialog) : QWidget(dialog), m_dialog(dialog) { setMinimumSize(150, 190); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        SIZE paper = m_dialog->GetPaperSize();
        if (paper.cx <= 0 || paper.cy <= 0)
            return;
        double scale = std::min((width() - 12.0) / paper.cx, (height() - 12.0) / paper.cy);
        QRectF page((width() - paper.cx * scale) / 2, (height() - paper.cy * scale) / 2, paper.cx * scale,
                    paper.cy * scale);
        p.fillRect(page.translated(3, 3), QColor(0x80, 0x80, 0x80));
        p.fillRect(page, Qt::white);
        p.setPen(Qt::black);
        p.drawRect(page);
        auto x = [&](double v) { return page.left() + v * scale; };
        auto y = [&](double v) { return page.top() + v * scale; };
        double left = m_dialog->m_margins[0]->GetInches() * 1000, top = m_dialog->m_margins[1]->GetInches() * 1000;
        double right = paper.cx - m_dialog->m_margins[2]->GetInches() * 1000;
        double bottom = paper.cy - m_dialog->m_margins[3]->GetInches() * 1000;
        p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 1));
        p.drawRect(QRectF(QPointF(x(left), y(top)), QPointF(x(right), y(bottom))));
        QPen dotted(QColor(0x80, 0x80, 0x80), 1, Qt::DotLine);
        QFont small(QStringLiteral("Arial"));
        small.setPixelSize(std::max(7, int(140 * scale)));
        p.setFont(small);
        double header = m_dialog->m_headerDistance->GetInches() * 1000;
        double footer = paper.cy - m_dialog->m_footerDistance->GetInches() * 1000;
        for (auto [lineY, label] : {std::pair{header, "Header Text"}, std::pair{footer, "Footer Text"}}) {
            p.setPen(dotted);
            p.drawLine(QPointF(x(left), y(lineY)), QPointF(x(right), y(lineY)));
            p.setPen(QColor(0x80, 0x80, 0x80));
            QRectF band(x(left), y(lineY) - 20, x(right) - x(left), 40);
            p.drawText(band, Qt::AlignCenter, QString::fromLatin1(label));
        }
    }

private:
    CHeaderFooterSetupDialog* m_dialog;
};

namespace {

const QPageSize::PageSizeId kPapers[] = {QPageSize::Letter, QPageSize::Legal, QPageSize::A4, QPageSize::A5,
                                         QPageSize::B5,     QPageSize::Executive, QPageSize::A3};

} // namespace

bool CHeaderFooterSetupDialog::UserLocaleIsMetric()
{
    return QLocale::system().measurementSystem() == QLocale::MetricSystem;
}

CHeaderFooterSetupDialog::CHeaderFooterSetupDialog(QWidget* parent, bool metric) : QDialog(parent), m_bMetric(metric)
{
    setWindowTitle(QStringLiteral("Page Setup"));
    m_lfHeaderFooter.lfWeight = FW_NORMAL;
    std::strcpy(m_lfHeaderFooter.lfFaceName, "Times New Roman");

    m_sample = new Sample(this);

    auto* paperBox = new QGroupBox(QStringLiteral("Paper"), this);
    m_paper = new QComboBox(paperBox);
    for (QPageSize::PageSizeId id : kPapers)
        m_paper->addItem(QPageSize::name(id), int(id));
    auto* paperForm = new QFormLayout(paperBox);
    paperForm->addRow(QStringLiteral("Si&ze:"), m_paper);

    auto* orientBox = new QGroupBox(QStringLiteral("Orientation"), this);
    m_portrait = new QRadioButton(QStringLiteral("P&ortrait"), orientBox);
    m_landscape = new QRadioButton(QStringLiteral("L&andscape"), orientBox);
    m_portrait->setObjectName(QStringLiteral("portrait"));
    m_landscape->setObjectName(QStringLiteral("landscape"));
    m_portrait->setChecked(true);
    auto* orientLayout = new QVBoxLayout(orientBox);
    orientLayout->addWidget(m_portrait);
    orientLayout->addWidget(m_landscape);

    auto* marginBox = new QGroupBox(QStringLiteral("Margins"), this);
    auto* marginGrid = new QGridLayout(marginBox);
    const char* marginLabels[4] = {"&Left:", "&Top:", "&Right:", "&Bottom:"};
    for (int i = 0; i < 4; ++i) {
        m_margins[i] = new CMeasurementEdit(marginBox);
        m_margins[i]->Setup(m_bMetric, m_sample);
        auto* label = new QLabel(QString::fromLatin1(marginLabels[i]), marginBox);
        label->setBuddy(m_margins[i]);
        marginGrid->addWidget(label, i / 2, (i % 2) * 2);
        marginGrid->addWidget(m_margins[i], i / 2, (i % 2) * 2 + 1);
    }

    auto* hfBox = new QGroupBox(QStringLiteral("Header and footer"), this);
    auto* hfGrid = new QGridLayout(hfBox);
    m_headerDistance = new CMeasurementEdit(hfBox);
    m_footerDistance = new CMeasurementEdit(hfBox);
    m_headerText = new QLineEdit(hfBox);
    m_footerText = new QLineEdit(hfBox);
    m_headerField = new CHeaderFieldButton(hfBox);
    m_footerField = new CHeaderFieldButton(hfBox);
    m_headerField->Bind(m_headerText);
    m_footerField->Bind(m_footerText);
    m_fontButton = new QPushButton(QStringLiteral("Header Fo&nts..."), hfBox);
    auto* headerLabel = new QLabel(QStringLiteral("&Header:"), hfBox);
    auto* footerLabel = new QLabel(QStringLiteral("&Footer:"), hfBox);
    headerLabel->setBuddy(m_headerDistance);
    footerLabel->setBuddy(m_footerDistance);
    hfGrid->addWidget(headerLabel, 0, 0);
    hfGrid->addWidget(m_headerDistance, 0, 1);
    hfGrid->addWidget(m_headerText, 0, 2);
    hfGrid->addWidget(m_headerField, 0, 3);
    hfGrid->addWidget(footerLabel, 1, 0);
    hfGrid->addWidget(m_footerDistance, 1, 1);
    hfGrid->addWidget(m_footerText, 1, 2);
    hfGrid->addWidget(m_footerField, 1, 3);
    hfGrid->addWidget(m_fontButton, 2, 2, 1, 2, Qt::AlignRight);
    hfGrid->setColumnStretch(2, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(paperBox);
    left->addWidget(orientBox);
    left->addWidget(marginBox);
    top->addLayout(left, 1);
    top->addWidget(m_sample);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(hfBox);
    layout->addWidget(buttons);

    // The distances are set up after the margins, with the sample as the control to redraw.
    m_headerDistance->Setup(m_bMetric, m_sample);
    m_footerDistance->Setup(m_bMetric, m_sample);

    // A new top or bottom margin makes its distance clamp again, once typing
    // in the margin ends (not at each keystroke, when "0.4" passes through "0").
    connect(m_margins[1], &CMeasurementEdit::committed, this, [this] {
        UpdateDistanceBounds();
        m_headerDistance->Reclamp();
    });
    connect(m_margins[3], &CMeasurementEdit::committed, this, [this] {
        UpdateDistanceBounds();
        m_footerDistance->Reclamp();
    });
    for (CMeasurementEdit* edit : m_margins)
        connect(edit, &CMeasurementEdit::valueChanged, m_sample, qOverload<>(&QWidget::update));
    connect(m_headerDistance, &CMeasurementEdit::valueChanged, m_sample, qOverload<>(&QWidget::update));
    connect(m_footerDistance, &CMeasurementEdit::valueChanged, m_sample, qOverload<>(&QWidget::update));
    connect(m_paper, &QComboBox::currentIndexChanged, m_sample, qOverload<>(&QWidget::update));
    connect(m_portrait, &QRadioButton::toggled, m_sample, qOverload<>(&QWidget::update));
    connect(m_fontButton, &QPushButton::clicked, this, &CHeaderFooterSetupDialog::OnHeaderFonts);
    UpdateDistanceBounds();
}

QPageSize CHeaderFooterSetupDialog::GetPageSize() const
{
    return QPageSize(static_cast<QPageSize::PageSizeId>(m_paper->currentData().toInt()));
}

void CHeaderFooterSetupDialog::SetPageSize(const QPageSize& size)
{
    int index = m_paper->findData(int(size.id()));
    if (index >= 0)
        m_paper->setCurrentIndex(index);
}

SIZE CHeaderFooterSetupDialog::GetPaperSize() const
{
    QSizeF inches = GetPageSize().size(QPageSize::Inch);
    SIZE s{static_cast<LONG>(std::lround(inches.width() * 1000)), static_cast<LONG>(std::lround(inches.height() * 1000))};
    if (m_landscape->isChecked())
        std::swap(s.cx, s.cy);
    return s;
}

void CHeaderFooterSetupDialog::SetMinimumMargins(const RECT& minimum)
{
    m_rcMinimum = minimum;
    UpdateDistanceBounds();
}

void CHeaderFooterSetupDialog::UpdateDistanceBounds()
{
    // A margin below the printer's minimum counts as that minimum.
    double minTop = m_rcMinimum.top * 0.001, minBottom = m_rcMinimum.bottom * 0.001;
    m_headerDistance->SetBounds(minTop, std::max(minTop, m_margins[1]->GetInches()));
    m_footerDistance->SetBounds(minBottom, std::max(minBottom, m_margins[3]->GetInches()));
}

void CHeaderFooterSetupDialog::LoadFrom(const CProjectItemBase& item)
{
    const RECT& m = item.m_rcMargins;
    const LONG margins[4] = {m.left, m.top, m.right, m.bottom};
    for (int i = 0; i < 4; ++i)
        m_margins[i]->SetInches(margins[i] * 0.001);
    (item.m_nOrientation == 2 ? m_landscape : m_portrait)->setChecked(true);
    UpdateDistanceBounds();
    m_headerDistance->SetInches(item.m_nHeaderDistance * 0.001);
    m_footerDistance->SetInches(item.m_nFooterDistance * 0.001);
    m_headerText->setText(QString::fromStdString(item.m_strHeader));
    m_footerText->setText(QString::fromStdString(item.m_strFooter));
    m_lfHeaderFooter = item.m_lfHeaderFooter;
    m_nHeaderFooterSize = item.m_nHeaderFooterSize;
    m_sample->update();
}

void CHeaderFooterSetupDialog::StoreTo(CProjectItemBase& item) const
{
    item.m_rcMargins = RECT{m_margins[0]->GetThousandths(), m_margins[1]->GetThousandths(),
                            m_margins[2]->GetThousandths(), m_margins[3]->GetThousandths()};
    item.m_nOrientation = m_landscape->isChecked() ? 2 : 1;
    item.m_nHeaderDistance = m_headerDistance->GetThousandths();
    item.m_nFooterDistance = m_footerDistance->GetThousandths();
    item.m_strHeader = m_headerText->text().toStdString();
    item.m_strFooter = m_footerText->text().toStdString();
    item.m_lfHeaderFooter = m_lfHeaderFooter;
    item.m_nHeaderFooterSize = m_nHeaderFooterSize;
}

void CHeaderFooterSetupDialog::OnHeaderFonts()
{
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, FontFromLogFont(m_lfHeaderFooter, m_nHeaderFooterSize), this,
                                        QStringLiteral("Header and Footer Font"));
    if (ok)
        LogFontFromFont(chosen, m_lfHeaderFooter, m_nHeaderFooterSize);
}

void CHeaderFooterSetupDialog::accept()
{
    // Margins that meet or cross leave nothing to print on (and would give
    // page after page of nothing): refused before anything is taken.
    const SIZE paper = GetPaperSize();
    const LONG across = m_margins[0]->GetThousandths() + m_margins[2]->GetThousandths();
    const LONG down = m_margins[1]->GetThousandths() + m_margins[3]->GetThousandths();
    if (paper.cx > 0 && paper.cy > 0 && (across >= paper.cx || down >= paper.cy)) {
        ReportMessage(IDS_MARGINS_TOO_LARGE, {}, MB_OK | MB_ICONEXCLAMATION);
        m_margins[across >= paper.cx ? 0 : 1]->setFocus();
        return;
    }
    UpdateDistanceBounds();
    m_headerDistance->Reclamp();
    m_footerDistance->Reclamp();
    QDialog::accept();
}

bool OnFilePageSetup(CProjectItemBase& item, QWidget* parent, QPageLayout* printerLayout)
{
    CHeaderFooterSetupDialog dialog(parent);
    if (printerLayout) {
        dialog.SetPageSize(printerLayout->pageSize());
        QMarginsF minimum = printerLayout->minimumMargins();
        double toThousandths = 1000.0 / 72.0; // the layout's minimum margins are in points
        if (printerLayout->units() == QPageLayout::Millimeter)
            toThousandths = 1000.0 / 25.4;
        else if (printerLayout->units() == QPageLayout::Inch)
            toThousandths = 1000.0;
        dialog.SetMinimumMargins(RECT{LONG(std::lround(minimum.left() * toThousandths)),
                                      LONG(std::lround(minimum.top() * toThousandths)),
                                      LONG(std::lround(minimum.right() * toThousandths)),
                                      LONG(std::lround(minimum.bottom() * toThousandths))});
    }
    dialog.LoadFrom(item);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const int orientation = item.m_nOrientation;
    dialog.StoreTo(item);
    bool printerChanged = item.m_nOrientation != orientation;
    if (printerLayout) {
        printerChanged = printerChanged || !printerLayout->pageSize().isEquivalentTo(dialog.GetPageSize());
        printerLayout->setPageSize(dialog.GetPageSize());
        printerLayout->setOrientation(item.m_nOrientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
    item.SetModified(true);
    item.NotifyChanged();
    // Another paper or orientation: the windows that lay out pages hear it.
    if (printerChanged)
        CPrinterWindows::NotifyPrinterChanged();
    return true;
}
