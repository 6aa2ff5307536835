// The interactive estimator: before a non-linear fit, the user finds starting
// values by eye. The dialog plots the fit's data points and the curve of its
// equation for the estimates typed into a small grid, and draws the curve
// again after every change; OK hands the estimates back to the caller.
#pragma once

#include <QDialog>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class CEquationBase;
class CEstimatorGrid;
class CMyData;
class CMXNonLinear;
class QLabel;
class QLineEdit;
class QPushButton;

// Control ids of the dialog.
enum : int {
    IDC_ESTIMATOR_X_MIN = 1197,
    IDC_ESTIMATOR_X_MAX = 1198,
    IDC_ESTIMATOR_Y_MIN = 1199,
    IDC_ESTIMATOR_Y_MAX = 1200,
    IDC_ESTIMATOR_PLOT = 1216,
    IDC_ESTIMATOR_GRID = 1217,
    IDC_ESTIMATOR_STATUS = 1218,
    IDC_ESTIMATOR_AUTO_SCALE = 1219,
};

// What a curve calculation ended with.
enum EEstimateStatus : int {
    ESTIMATE_OK = 0,
    ESTIMATE_NO_EQUATION = 1,
    ESTIMATE_MISSING_ESTIMATE = 2,
    ESTIMATE_NOT_ONE_X = 3,
    ESTIMATE_CURVE_ERROR = 4,
    ESTIMATE_MISSING_CONSTANT = 5,
};

// The plot: data points, the curve over the x range in 101 points, a frame
// with ticks and labels, and the axis titles.
class CEstimatePlotWnd : public QWidget {
    Q_OBJECT
public:
    explicit CEstimatePlotWnd(QWidget* parent = nullptr);
    ~CEstimatePlotWnd() override;

    // Keeps the rows whose x and y cells both hold numbers, in row order, and
    // scales to them; the number of points.
    int LoadData(const CMyData& table, int xColumn, int yColumn);
    void SetRange(double xFrom, double xTo, double yFrom, double yTo);
    void GetRange(double& xFrom, double& xTo, double& yFrom, double& yTo) const;
    void AutoScale();
    // Takes a copy of the equation and calculates the curve.
    int SetCurve(const CEquationBase* equation, const std::vector<double>& estimates,
                 const std::vector<double>& constants);
    // The estimates and constants into the copy, then the curve.
    int Recalculate(const std::vector<double>& estimates, const std::vector<double>& constants);
    int CalculateCurve();
    void SetTitles(const std::string& x, const std::string& y);

    const std::vector<double>& GetDataX() const { return m_dataX; }
    const std::vector<double>& GetDataY() const { return m_dataY; }
    const std::vector<double>& GetCurveX() const { return m_curveX; }
    const std::vector<double>& GetCurveY() const { return m_curveY; }
    double GetXStep() const { return m_xStep; }
    double GetYStep() const { return m_yStep; }

    // The tick step of a range: 1, 2 or 5 times a power of ten, about 3 to 15
    // steps over the range; 0 for a range that is not a finite span.
    static double TickStep(double from, double to);
    // The power of ten e that brings the larger end of the range into [1, 10);
    // the labels show t x 10^e and the title the multiplier 10^-e. 0 for a
    // range of zeros or one that is not finite.
    static int LabelExponent(double from, double to);
    // The ticks in the range (at most a few hundred; none for step 0), with
    // their labels ("%.3g" of t x 10^e).
    static std::vector<std::pair<double, std::string>> Ticks(double from, double to, double step, int exponent);
    // A value's device coordinate on an axis from lo to hi drawn from a to b,
    // held within the 16-bit range.
    static int ToDevice(double value, double from, double to, int a, int b);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ClearCurve();

    std::vector<double> m_dataX, m_dataY;
    std::vector<double> m_curveX, m_curveY;
    std::unique_ptr<CEquationBase> m_pEquation;
    double m_xFrom = 0.0, m_xTo = 1.0, m_yFrom = 0.0, m_yTo = 1.0;
    double m_xStep = 1.0, m_yStep = 1.0;
    std::string m_xTitle, m_yTitle;
};

class CInteractiveEstimate : public QDialog {
    Q_OBJECT
public:
    // The estimates start blank, one per parameter of the item's equation.
    CInteractiveEstimate(CMXNonLinear* item, QWidget* parent = nullptr);

    // Plots the data and the curve; false (after saying why) when there is no
    // table or too few points: the dialog then ends as cancelled.
    bool OnInitDialog();
    int exec() override;

    // The curve with the current estimates, and the status line.
    void UpdateStatus();
    void ShowStatus(int code);
    // The four range fields read, and the plot takes them when one changed.
    void OnRangeEdited();
    void OnAutoScale();

    std::vector<double> m_estimates;
    std::vector<double> m_constants;
    double m_dXMin = 0.0, m_dXMax = 1.0, m_dYMin = 0.0, m_dYMax = 1.0;

    CEstimatePlotWnd* GetPlot() const { return m_plot; }
    CEstimatorGrid* GetGrid() const { return m_grid; }
    QLabel* GetStatus() const { return m_status; }
    QLineEdit* GetRangeEdit(int id) const;

private:
    // Moves the four ranges between the members and the fields.
    void ExchangeRanges(bool save);

    CMXNonLinear* m_pItem;
    CEstimatePlotWnd* m_plot;
    CEstimatorGrid* m_grid;
    QLineEdit* m_xMin;
    QLineEdit* m_xMax;
    QLineEdit* m_yMin;
    QLineEdit* m_yMax;
    QLabel* m_status;
};
