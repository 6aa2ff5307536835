// File/Page Setup of an item: paper size, orientation, margins, and the
// header and footer lines with their distances from the paper's edges, their
// texts (with field codes) and their font. A sample page shows where the
// lines stand.
#pragma once

#include "platform/Types.h"

#include <QDialog>
#include <QPageSize>

#include <string>

class CHeaderFieldButton;
class CMeasurementEdit;
class CProjectItemBase;
class QComboBox;
class QPageLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CHeaderFooterSetupDialog : public QDialog {
    Q_OBJECT
public:
    // metric: lengths shown in millimetres (the user locale's measurement system by default).
    explicit CHeaderFooterSetupDialog(QWidget* parent = nullptr, bool metric = UserLocaleIsMetric());

    static bool UserLocaleIsMetric();

    // From and to the item's page setup. Lengths convert through the shown
    // unit and are rounded to the nearest thousandth of an inch.
    void LoadFrom(const CProjectItemBase& item);
    void StoreTo(CProjectItemBase& item) const;

    QPageSize GetPageSize() const;
    void SetPageSize(const QPageSize& size);
    // The paper's size in thousandths of an inch, in the chosen orientation.
    SIZE GetPaperSize() const;
    // The printer's smallest margins (thousandths of an inch); 0 without one.
    void SetMinimumMargins(const RECT& minimum);

    CMeasurementEdit* GetHeaderDistanceEdit() const { return m_headerDistance; }
    CMeasurementEdit* GetFooterDistanceEdit() const { return m_footerDistance; }
    CMeasurementEdit* GetMarginEdit(int side) const { return m_margins[side]; } // 0 left, 1 top, 2 right, 3 bottom
    QLineEdit* GetHeaderEdit() const { return m_headerText; }
    QLineEdit* GetFooterEdit() const { return m_footerText; }
    CHeaderFieldButton* GetHeaderFieldButton() const { return m_headerField; }
    CHeaderFieldButton* GetFooterFieldButton() const { return m_footerField; }
    QPushButton* GetFontButton() const { return m_fontButton; }
    QWidget* GetSample() const { return m_sample; }

    // OK: the distances are clamped to the margins as they stand.
    void accept() override;

    LOGFONT m_lfHeaderFooter;
    int m_nHeaderFooterSize = 100;

private:
    class Sample;
    friend class Sample;
    void UpdateDistanceBounds();
    void OnHeaderFonts();

    bool m_bMetric;
    RECT m_rcMinimum{0, 0, 0, 0};
    QComboBox* m_paper = nullptr;
    QRadioButton* m_portrait = nullptr;
    QRadioButton* m_landscape = nullptr;
    CMeasurementEdit* m_margins[4] = {};
    CMeasurementEdit* m_headerDistance = nullptr;
    CMeasurementEdit* m_footerDistance = nullptr;
    QLineEdit* m_headerText = nullptr;
    QLineEdit* m_footerText = nullptr;
    CHeaderFieldButton* m_headerField = nullptr;
    CHeaderFieldButton* m_footerField = nullptr;
    QPushButton* m_fontButton = nullptr;
    QWidget* m_sample = nullptr; // the sample page
};

// The item's File/Page Setup command: runs the dialog and, on OK, stores the
// result in the item, marks it modified and announces the change. True on OK.
// With the application's printer layout, the dialog starts from its paper and
// smallest margins, and OK gives it the chosen paper and orientation.
bool OnFilePageSetup(CProjectItemBase& item, QWidget* parent = nullptr, QPageLayout* printerLayout = nullptr);
