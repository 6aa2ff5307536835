// A page of a property sheet: exchanges its fields with its controls, and
// applies them to the program when the sheet's OK or Apply is pressed.
#pragma once

#include <QWidget>

class CDataExchange;
class COptionsSheet;

class CPreferencePage : public QWidget {
    Q_OBJECT
public:
    explicit CPreferencePage(const QString& title, QWidget* parent = nullptr);

    const QString& Title() const { return m_title; }
    void SetSheet(COptionsSheet* sheet) { m_sheet = sheet; }
    COptionsSheet* Sheet() const { return m_sheet; }

    // Runs the exchange: true moves controls to fields (with the checks),
    // false fields to controls. False when a check failed.
    bool UpdateData(bool saveAndValidate = true);

    // Called once before the page is first shown.
    virtual void OnInitDialog() { UpdateData(false); }
    // Stores the page's values into the program; the sheet has already saved
    // the controls into the fields.
    virtual bool OnApply() { SetModified(false); return true; }
    // The sheet turns to this page.
    virtual void OnSetActive() {}

    bool IsModified() const { return m_modified; }
    void SetModified(bool modified = true);
    bool IsInitialised() const { return m_initialised; }
    void EnsureInitialised();

signals:
    void modifiedChanged(bool modified);

protected:
    virtual void DoDataExchange(CDataExchange* pDX) {}

private:
    QString m_title;
    COptionsSheet* m_sheet = nullptr;
    bool m_modified = false;
    bool m_initialised = false;
};
