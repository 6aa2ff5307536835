#include "app/widgets/InteractiveEstimate.h"

#include "app/MXGrid.h"
#include "app/MXNonLinear.h"
#include "app/widgets/FitGrids.h"
#include "data/MyData.h"
#include "equation/EquationBase.h"
#include "fitting/widgets/BlankDataExchange.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/widgets/DataExchange.h"
#include "ui/widgets/TabFormView.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// Client height in logical units; fonts and margins are given in these.
constexpr int kLogicalHeight = 2160;
constexpr int kLabelHeight = 120;
constexpr int kExponentHeight = 70;
constexpr int kCurvePoints = 101;
// No axis draws more ticks than this, whatever the range and step.
constexpr int kMaxTicks = 200;

} // namespace

// ---------------------------------------------------------------- the plot

CEstimatePlotWnd::CEstimatePlotWnd(QWidget* parent) : QWidget(parent)
{
    SetControlId(this, IDC_ESTIMATOR_PLOT);
    setMinimumSize(320, 240);
}

CEstimatePlotWnd::~CEstimatePlotWnd() = default;

int CEstimatePlotWnd::LoadData(const CMyData& table, int xColumn, int yColumn)
{
    m_dataX.clear();
    m_dataY.clear();
    if (xColumn >= 0 && yColumn >= 0) {
        const int last = std::min(table.GetLastRow(xColumn), table.GetLastRow(yColumn));
        for (int row = 2; row <= last; ++row) {
            double x = 0.0, y = 0.0;
            if (table.GetNumber(row, xColumn, x) && table.GetNumber(row, yColumn, y)) {
                m_dataX.push_back(x);
                m_dataY.push_back(y);
            }
        }
    }
    AutoScale();
    return int(m_dataX.size());
}

double CEstimatePlotWnd::TickStep(double from, double to)
{
    if (to == from)
        to += 1.0;
    double d = to - from;
    if (!std::isfinite(d) || d <= 0.0)
        return 0.0;
    int k = 0;
    // Each loop moves d by a factor of ten towards [3, 30): a finite span needs at most ~650 rounds.
    for (int i = 0; d < 3.0 && i < 700; ++i)
        d *= 10.0, --k;
    for (int i = 0; d >= 30.0 && i < 700; ++i)
        d *= 0.1, ++k;
    const double mantissa = d >= 15.0 ? 5.0 : d >= 6.0 ? 2.0 : 1.0;
    const double step = mantissa * std::pow(10.0, k);
    return std::isfinite(step) && step > 0.0 ? step : 0.0;
}

int CEstimatePlotWnd::LabelExponent(double from, double to)
{
    double m = std::max(std::fabs(from), std::fabs(to));
    if (!std::isfinite(m) || m == 0.0)
        return 0;
    int e = 0;
    for (int i = 0; m < 1.0 && i < 700; ++i)
        m *= 10.0, ++e;
    for (int i = 0; m >= 10.0 && i < 700; ++i)
        m *= 0.1, --e;
    return e;
}

std::vector<std::pair<double, std::string>> CEstimatePlotWnd::Ticks(double from, double to, double step, int exponent)
{
    std::vector<std::pair<double, std::string>> ticks;
    if (!(step > 0.0) || !std::isfinite(step) || !std::isfinite(from) || !std::isfinite(to))
        return ticks;
    // A step far below the span's resolution would never get past from.
    if ((to - from) / step > kMaxTicks)
        return ticks;
    const double scale = std::pow(10.0, exponent);
    const double first = std::floor(from / step) * step - step;
    // Ticks are counted from the first, so rounding never adds up along the axis.
    for (int i = 0; i <= kMaxTicks + 2; ++i) {
        const double t = first + i * step;
        if (t > to + step * 1e-9)
            break;
        if (t < from - step * 1e-9)
            continue;
        double shown = t * scale;
        if (std::fabs(shown) < 1e-12)
            shown = 0.0;
        char text[32];
        std::snprintf(text, sizeof text, "%.3g", shown);
        ticks.emplace_back(t, text);
    }
    return ticks;
}

int CEstimatePlotWnd::ToDevice(double value, double from, double to, int a, int b)
{
    const double d = a + (double(b) - a) * (value - from) / (to - from);
    if (std::isnan(d))
        return a;
    return int(std::clamp(d, -32768.0, 32767.0));
}

void CEstimatePlotWnd::SetRange(double xFrom, double xTo, double yFrom, double yTo)
{
    m_xFrom = xFrom;
    m_xTo = std::max(xFrom, xTo);
    m_yFrom = yFrom;
    m_yTo = std::max(yFrom, yTo);
    m_yStep = TickStep(m_yFrom, m_yTo);
    m_xStep = TickStep(m_xFrom, m_xTo);
    update();
}

void CEstimatePlotWnd::GetRange(double& xFrom, double& xTo, double& yFrom, double& yTo) const
{
    xFrom = m_xFrom;
    xTo = m_xTo;
    yFrom = m_yFrom;
    yTo = m_yTo;
}

void CEstimatePlotWnd::AutoScale()
{
    if (m_dataX.empty()) {
        m_xFrom = m_yFrom = 0.0;
        m_xTo = m_yTo = 1.0;
        m_xStep = m_yStep = 1.0;
        update();
        return;
    }
    const auto [xLo, xHi] = std::minmax_element(m_dataX.begin(), m_dataX.end());
    const auto [yLo, yHi] = std::minmax_element(m_dataY.begin(), m_dataY.end());
    const double margin = (*yHi - *yLo) * 0.1;
    SetRange(*xLo, *xHi, *yLo - margin, *yHi + margin);
}

void CEstimatePlotWnd::ClearCurve()
{
    const bool shown = !m_curveX.empty();
    m_curveX.clear();
    m_curveY.clear();
    if (shown)
        update();
}

int CEstimatePlotWnd::SetCurve(const CEquationBase* equation, const std::vector<double>& estimates,
                               const std::vector<double>& constants)
{
    m_pEquation = equation ? equation->Clone() : nullptr;
    return Recalculate(estimates, constants);
}

int CEstimatePlotWnd::Recalculate(const std::vector<double>& estimates, const std::vector<double>& constants)
{
    if (!m_pEquation || !m_pEquation->IsValid()) {
        ClearCurve();
        return ESTIMATE_NO_EQUATION;
    }
    m_pEquation->ResizeValues();
    CMyVector& params = m_pEquation->GetParameterValues();
    for (int p = 0; p < params.GetSize(); ++p) {
        const double e = std::size_t(p) < estimates.size() ? estimates[std::size_t(p)] : BlankValue();
        if (IsBlank(e)) {
            ClearCurve();
            return ESTIMATE_MISSING_ESTIMATE;
        }
        params[p] = e;
    }
    CMyVector& consts = m_pEquation->GetConstantValues();
    for (int c = 0; c < consts.GetSize(); ++c) {
        const double v = std::size_t(c) < constants.size() ? constants[std::size_t(c)] : BlankValue();
        if (IsBlank(v)) {
            ClearCurve();
            return ESTIMATE_MISSING_CONSTANT;
        }
        consts[c] = v;
    }
    return CalculateCurve();
}

int CEstimatePlotWnd::CalculateCurve()
{
    m_curveX.clear();
    m_curveY.clear();
    if (!m_pEquation || !m_pEquation->IsValid()) {
        update();
        return ESTIMATE_NO_EQUATION;
    }
    if (m_pEquation->GetXCount() != 1) {
        update();
        return ESTIMATE_NOT_ONE_X;
    }
    m_pEquation->ResizeValues();
    try {
        for (int i = 0; i < kCurvePoints; ++i) {
            const double x = m_xFrom + (m_xTo - m_xFrom) * i * 0.01;
            m_pEquation->GetXValues()[0] = x;
            const double y = m_pEquation->Calculate();
            m_curveX.push_back(x);
            m_curveY.push_back(y);
        }
    } catch (...) {
        // The equation's arithmetic failed somewhere along the range.
        m_curveX.clear();
        m_curveY.clear();
        update();
        return ESTIMATE_CURVE_ERROR;
    }
    update();
    return ESTIMATE_OK;
}

void CEstimatePlotWnd::SetTitles(const std::string& x, const std::string& y)
{
    m_xTitle = x;
    m_yTitle = y;
    update();
}

void CEstimatePlotWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (width() <= 0 || height() <= 0)
        return;
    // The client height is 2160 units; the width keeps the screen's aspect.
    const double dpiRatio = double(logicalDpiY()) / std::max(1, logicalDpiX());
    const int logicalWidth = std::max(1, int(double(width()) / height() * dpiRatio * kLogicalHeight));
    painter.setWindow(0, 0, logicalWidth, kLogicalHeight);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont label(QStringLiteral("Arial"));
    label.setPixelSize(kLabelHeight);
    QFont small(label);
    small.setPixelSize(kExponentHeight);
    painter.setFont(label);
    const QFontMetrics metrics(label);
    const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
    const int text = metrics.height();
    const QRect frame(text + 6 * digit, text, logicalWidth - (text + 6 * digit) - int(2.5 * digit),
                      kLogicalHeight - text - int(2.5 * text));
    if (frame.width() <= 0 || frame.height() <= 0)
        return;
    const int left = frame.left(), right = frame.right(), top = frame.top(), bottom = frame.bottom();
    auto px = [&](double x) { return ToDevice(x, m_xFrom, m_xTo, left, right); };
    auto py = [&](double y) { return ToDevice(y, m_yFrom, m_yTo, bottom, top); };

    QPen pen(palette().windowText().color());
    pen.setWidth(0);
    painter.setPen(pen);
    if (m_curveX.size() > 1) {
        QPolygon curve;
        for (std::size_t i = 0; i < m_curveX.size(); ++i)
            curve << QPoint(px(m_curveX[i]), py(m_curveY[i]));
        painter.drawPolyline(curve);
    }
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);

    const int tick = digit / 2;
    const int ey = LabelExponent(m_yFrom, m_yTo);
    for (const auto& [t, textLabel] : Ticks(m_yFrom, m_yTo, m_yStep, ey)) {
        const int y = py(t);
        painter.drawLine(left - tick, y, left, y);
        painter.drawText(QRect(0, y - text, left - tick - digit / 4, 2 * text), Qt::AlignRight | Qt::AlignVCenter,
                         QString::fromStdString(textLabel));
    }
    const int ex = LabelExponent(m_xFrom, m_xTo);
    for (const auto& [t, textLabel] : Ticks(m_xFrom, m_xTo, m_xStep, ex)) {
        const int x = px(t);
        painter.drawLine(x, bottom, x, bottom + tick);
        painter.drawText(QRect(x - 3 * digit, bottom + tick, 6 * digit, text), Qt::AlignHCenter | Qt::AlignTop,
                         QString::fromStdString(textLabel));
    }
    // Titles, with the power of ten that turns a label back into its value.
    auto title = [&](const std::string& name, int exponent, const QPoint& at, bool vertical) {
        QString main = QString::fromStdString(name);
        if (exponent != 0)
            main += QStringLiteral(" \u00D7 10");
        painter.save();
        painter.translate(at);
        if (vertical)
            painter.rotate(-90);
        const int w = metrics.horizontalAdvance(main);
        const QString power = exponent != 0 ? QString::number(-exponent) : QString();
        const int pw = QFontMetrics(small).horizontalAdvance(power);
        painter.drawText(-(w + pw) / 2, 0, main);
        if (exponent != 0) {
            painter.setFont(small);
            painter.drawText(-(w + pw) / 2 + w, -text / 2, power);
            painter.setFont(label);
        }
        painter.restore();
    };
    title(m_xTitle, ex, QPoint((left + right) / 2, kLogicalHeight - text / 3), false);
    title(m_yTitle, ey, QPoint(text, (top + bottom) / 2), true);

    const int r = std::max(1, digit * 2 / 3);
    for (std::size_t i = 0; i < m_dataX.size(); ++i) {
        const int x = px(m_dataX[i]);
        if (x < left || x > right)
            continue;
        painter.drawEllipse(QPoint(x, py(m_dataY[i])), r, r);
    }
}

// ---------------------------------------------------------------- the dialog

CInteractiveEstimate::CInteractiveEstimate(CMXNonLinear* item, QWidget* parent)
    : QDialog(parent)
    , m_pItem(item)
    , m_plot(new CEstimatePlotWnd(this))
    , m_grid(new CEstimatorGrid(this))
    , m_xMin(new QLineEdit(this))
    , m_xMax(new QLineEdit(this))
    , m_yMin(new QLineEdit(this))
    , m_yMax(new QLineEdit(this))
    , m_status(new QLabel(this))
{
    setWindowTitle(tr("Interactive Estimator"));
    SetControlId(m_grid, IDC_ESTIMATOR_GRID);
    SetControlId(m_xMin, IDC_ESTIMATOR_X_MIN);
    SetControlId(m_xMax, IDC_ESTIMATOR_X_MAX);
    SetControlId(m_yMin, IDC_ESTIMATOR_Y_MIN);
    SetControlId(m_yMax, IDC_ESTIMATOR_Y_MAX);
    SetControlId(m_status, IDC_ESTIMATOR_STATUS);
    m_status->setWordWrap(true);
    if (CEquationBase* eq = m_pItem ? m_pItem->GetEquation() : nullptr; eq && eq->IsValid())
        m_estimates.assign(std::size_t(eq->GetParameterCount()), BlankValue());

    auto* scale = new QGroupBox(tr("Graph scale"), this);
    auto* fields = new QGridLayout(scale);
    auto add = [&](const QString& text, QLineEdit* edit, int row, int column) {
        auto* label = new QLabel(text, scale);
        label->setBuddy(edit);
        fields->addWidget(label, row, column);
        fields->addWidget(edit, row, column + 1);
        connect(edit, &QLineEdit::editingFinished, this, [this] { OnRangeEdited(); });
    };
    add(tr("X min:"), m_xMin, 0, 0);
    add(tr("X max:"), m_xMax, 0, 2);
    add(tr("Y min:"), m_yMin, 1, 0);
    add(tr("Y max:"), m_yMax, 1, 2);
    auto* autoScale = new QPushButton(tr("&Auto Scale"), scale);
    SetControlId(autoScale, IDC_ESTIMATOR_AUTO_SCALE);
    fields->addWidget(autoScale, 2, 3);
    connect(autoScale, &QPushButton::clicked, this, [this] { OnAutoScale(); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* side = new QVBoxLayout;
    side->addWidget(m_grid, 1);
    side->addWidget(scale);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(new QLabel(tr("Status:"), this));
    statusRow->addWidget(m_status, 1);
    side->addLayout(statusRow);
    side->addWidget(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_plot, 2);
    layout->addLayout(side, 1);
    m_grid->SetChangeHandler([this] { UpdateStatus(); });
}

QLineEdit* CInteractiveEstimate::GetRangeEdit(int id) const
{
    switch (id) {
    case IDC_ESTIMATOR_X_MIN: return m_xMin;
    case IDC_ESTIMATOR_X_MAX: return m_xMax;
    case IDC_ESTIMATOR_Y_MIN: return m_yMin;
    case IDC_ESTIMATOR_Y_MAX: return m_yMax;
    default: return nullptr;
    }
}

bool CInteractiveEstimate::OnInitDialog()
{
    CEquationBase* eq = m_pItem ? m_pItem->GetEquation() : nullptr;
    CMXGrid* data = m_pItem ? m_pItem->FindDataItem() : nullptr;
    m_constants.clear();
    if (eq)
        for (int i = 0; i < eq->GetConstantCount(); ++i)
            m_constants.push_back(m_pItem->GetConstantValue(i));
    if (!data) {
        ReportMessage(IDS_ESTIMATOR_NO_TABLE);
        return false;
    }
    if (m_plot->LoadData(data->GetTable(), m_pItem->m_nXColumn, m_pItem->m_nYColumn) < 2) {
        ReportMessage(IDS_ESTIMATOR_TOO_FEW_POINTS);
        return false;
    }
    if (eq && eq->IsValid())
        m_plot->SetTitles(eq->GetXCount() > 0 ? eq->GetXName(0) : std::string(), eq->GetYName());
    ShowStatus(m_plot->SetCurve(eq, m_estimates, m_constants));
    m_plot->GetRange(m_dXMin, m_dXMax, m_dYMin, m_dYMax);
    ExchangeRanges(false);
    ExchangeRanges(true);
    m_grid->CreateFor(m_pItem, &m_estimates, this, IDC_ESTIMATOR_GRID);
    return true;
}

int CInteractiveEstimate::exec()
{
    if (!OnInitDialog())
        return QDialog::Rejected;
    return QDialog::exec();
}

void CInteractiveEstimate::ExchangeRanges(bool save)
{
    CDataExchange dx(this, save);
    DDX_OptionalDouble(&dx, m_xMin, m_dXMin);
    DDX_OptionalDouble(&dx, m_xMax, m_dXMax);
    if (save)
        DDX_ClampOptionalDouble(&dx, m_xMax, m_dXMax, m_dXMin, std::numeric_limits<double>::max());
    DDX_OptionalDouble(&dx, m_yMin, m_dYMin);
    DDX_OptionalDouble(&dx, m_yMax, m_dYMax);
    if (save)
        DDX_ClampOptionalDouble(&dx, m_yMax, m_dYMax, m_dYMin, std::numeric_limits<double>::max());
}

void CInteractiveEstimate::UpdateStatus() { ShowStatus(m_plot->Recalculate(m_estimates, m_constants)); }

void CInteractiveEstimate::ShowStatus(int code)
{
    UINT id = IDS_ESTIMATOR_NOT_SUITABLE;
    switch (code) {
    case ESTIMATE_OK: id = IDS_ESTIMATOR_OK; break;
    case ESTIMATE_MISSING_ESTIMATE: id = IDS_ESTIMATOR_MISSING_ESTIMATES; break;
    case ESTIMATE_CURVE_ERROR: id = IDS_ESTIMATOR_CURVE_ERROR; break;
    case ESTIMATE_MISSING_CONSTANT: id = IDS_ESTIMATOR_MISSING_CONSTANTS; break;
    default: break;
    }
    m_status->setText(QString::fromStdString(LoadString(id)));
}

void CInteractiveEstimate::OnRangeEdited()
{
    const double before[4] = {m_dXMin, m_dXMax, m_dYMin, m_dYMax};
    ExchangeRanges(true);
    const double after[4] = {m_dXMin, m_dXMax, m_dYMin, m_dYMax};
    if (std::equal(std::begin(before), std::end(before), std::begin(after)))
        return;
    m_plot->SetRange(m_dXMin, m_dXMax, m_dYMin, m_dYMax);
    UpdateStatus();
}

void CInteractiveEstimate::OnAutoScale()
{
    m_plot->AutoScale();
    UpdateStatus();
    m_plot->GetRange(m_dXMin, m_dXMax, m_dYMin, m_dYMax);
    ExchangeRanges(false);
    ExchangeRanges(true);
}
