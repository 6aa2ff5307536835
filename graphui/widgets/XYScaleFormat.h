// The page of a tick-label block's sheet that edits how its numbers are
// written (decimals, digits, separators, scientific and power forms, a
// scaling power, a format text around the number) and how the labels stand
// (alignment and orientation).
#pragma once

#include "data/DataFormat.h"
#include "graphui/widgets/GraphWizard.h"

#include <string>

class CXYScaleText;
class QCheckBox;
class QComboBox;
class QLineEdit;

// Labels keep their alignment as a paragraph format does (1 left, 2 right,
// 3 centre); the pages list left, centre, right.
int AlignmentListIndex(WORD alignment);
WORD AlignmentFromListIndex(int index);
// The five label orientations in list order: 0, 45, 90, 270 and 315 degrees.
void FillOrientations(QComboBox* combo);
int OrientationListIndex(double degrees);
// Writes alignment and orientation (list indexes) into the block and lays it out again.
void StoreLabelLayout(CXYScaleText* labels, int alignment, int orientation);

class CXYScaleFormat : public CWizardPage {
    Q_OBJECT
public:
    explicit CXYScaleFormat(CXYScaleText* labels, QWidget* parent = nullptr);
    bool OnApply() override;

    enum : int { kMaxDecimals = 15, kMaxDigits = 30, kMinScaling = -99, kMaxScaling = 99 };
    // The fewest digits a label may be given: its decimals and one more, at least seven.
    int MinDigits() const;

    // A copy of the block's number format; the members below go back into it.
    CDataFormat m_format;
    int m_nDecimals = 5;
    int m_nMaxDigits = 10;
    int m_bThousands = 0;
    int m_bScientific = 0;
    int m_bPower = 0;
    int m_nZeros = 1;
    int m_nScaling = 0;
    int m_nAlignment = 1;
    int m_nOrientation = 0;
    int m_bFormatString = 0;
    std::string m_strFormat;

    QLineEdit* m_decimals;
    QLineEdit* m_maxDigits;
    QCheckBox* m_thousands;
    QCheckBox* m_scientific;
    QCheckBox* m_power;
    QComboBox* m_zeros;
    QLineEdit* m_scaling;
    QComboBox* m_alignment;
    QComboBox* m_orientation;
    QCheckBox* m_formatCheck;
    QLineEdit* m_formatText;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void UpdateControls();
    CXYScaleText* m_pLabels;
};
