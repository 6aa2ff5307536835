// The pages and the dialog that choose a fit outside the fit items: the
// "Data Source" page of a graph's fitted-curve dataset (the fit item, its
// fit number and a transformation of the points and the curve), and the
// choice of a results listing's fit, as the "Source" page of the listing's
// properties and as the "Results Listing" dialog before a listing is placed.
// Fit numbers are shown from 1 and stored from 0.
#pragma once

#include <QDialog>
#include <QWidget>

#include <string>

class CDataExchange;
class CMXDoc;
class CXYDatasetFit;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QToolButton;

// Control ids of the pages.
enum : int {
    IDC_FITSRC_TRANSFORM_COMBO = 1321,
    IDC_FITSRC_TRANSFORM_CHECK = 1322,
    IDC_FITSRC_RESULTS = 1391,
    IDC_FITSRC_FIT_NUMBER = 1392,
    IDC_FITSRC_SPIN = 1393,
    IDC_LISTING_FIT_NUMBER = 1197,
    IDC_LISTING_SOURCE = 1427,
};

// A fit-number field with its up and down buttons; the buttons stay within 1 and the maximum.
class CFitNumberField : public QWidget {
    Q_OBJECT
public:
    CFitNumberField(int editId, int maximum, QWidget* parent = nullptr);
    QLineEdit* Edit() const { return m_edit; }
    // One step up (+1) or down (-1) from the number shown.
    void Step(int delta);

private:
    QLineEdit* m_edit;
    int m_nMaximum;
};

// What both property pages share: a caption, the modified mark and the
// exchange between the page's members and its controls.
class CFitChoicePage : public QWidget {
    Q_OBJECT
public:
    CFitChoicePage(int templateId, const QString& caption, QWidget* parent = nullptr);
    int GetTemplateId() const { return m_nTemplateId; }
    const QString& Title() const { return m_caption; }
    // Moves the members into the controls (false) or checks and reads them (true).
    bool UpdateData(bool save);
    // Writes the members back into what the page edits; false keeps the sheet open.
    virtual bool OnApply() = 0;
    bool IsModified() const { return m_bModified; }
    void SetModified(bool on = true) { m_bModified = on; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX) = 0;

private:
    int m_nTemplateId;
    QString m_caption;
    bool m_bModified = false;
};

class CFitSourcePage : public CFitChoicePage {
    Q_OBJECT
public:
    CFitSourcePage(CXYDatasetFit* dataset, CMXDoc* document, QWidget* parent = nullptr);

    // Lists the fit and transformation items and shows the choices.
    void OnInitDialog();
    // The dataset takes the choices when a linear or non-linear fit is chosen.
    bool OnApply() override;

    QComboBox* GetResultsCombo() const { return m_results; }
    QComboBox* GetTransformCombo() const { return m_transform; }
    QCheckBox* GetTransformCheck() const { return m_transformCheck; }
    QLineEdit* GetFitNumberEdit() const { return m_number->Edit(); }

    std::string m_strFit;
    int m_nFitNumber = 1;
    int m_bTransform = 0;
    std::string m_strTransform;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    // The transformation applies only to a non-linear fit's points and curve.
    void EnableTransform();
    bool IsNonlinearFit(const std::string& name) const;

    CXYDatasetFit* m_pDataset;
    CMXDoc* m_pDocument;
    QComboBox* m_results;
    CFitNumberField* m_number;
    QCheckBox* m_transformCheck;
    QComboBox* m_transform;
};

// What a results-listing page edits: the listing's fit item and fit.
class CResultsListingTarget {
public:
    virtual ~CResultsListingTarget() = default;
    virtual std::string GetResultsName() const = 0;
    // From 0.
    virtual int GetResultsFit() const = 0;
    virtual void SetResults(const std::string& name, int fit) = 0;
    // The listing measures and draws itself again.
    virtual void Rebuild() = 0;
};

// The source of a results listing: the fit item and the fit number (1 to 100).
class CResultsSourceFields : public QWidget {
    Q_OBJECT
public:
    CResultsSourceFields(CMXDoc* document, QWidget* parent = nullptr);
    // Lists the fit items; false (after saying so) when the workspace has none.
    bool Fill();
    // Moves name and fit number (from 1) to the controls or, checked, back.
    bool Exchange(CDataExchange* pDX, std::string& name, int& number);
    QComboBox* Source() const { return m_source; }
    QLineEdit* NumberEdit() const { return m_number->Edit(); }

signals:
    void changed();

private:
    CMXDoc* m_pDocument;
    QComboBox* m_source;
    CFitNumberField* m_number;
};

class CResultsListingPage : public CFitChoicePage {
    Q_OBJECT
public:
    CResultsListingPage(CResultsListingTarget* listing, CMXDoc* document, QWidget* parent = nullptr);
    // False when the workspace has no fit item: the page says so and the sheet ends as cancelled.
    bool OnInitDialog();
    bool OnApply() override;
    CResultsSourceFields* Fields() const { return m_fields; }

    std::string m_strName;
    int m_nFitNumber = 1;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    CResultsListingTarget* m_pListing;
    CResultsSourceFields* m_fields;
};

class CResultsListingDlg : public QDialog {
    Q_OBJECT
public:
    explicit CResultsListingDlg(CMXDoc* document, QWidget* parent = nullptr);
    // Lists the fit items; without one it says so and the dialog ends as
    // cancelled (false). exec calls it unless the caller has.
    bool OnInitDialog();
    int exec() override;
    void accept() override;
    CResultsSourceFields* Fields() const { return m_fields; }
    QPushButton* OkButton() const;

    std::string m_strName;
    int m_nFitNumber = 1;

private:
    void EnableOk();
    CResultsSourceFields* m_fields;
    QDialogButtonBox* m_buttons;
    bool m_bInitialised = false;
};
