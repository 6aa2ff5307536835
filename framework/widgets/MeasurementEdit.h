// An edit for a length shown in the user's unit: "0.3" followed by the inch
// sign, or "7.62mm" for a metric user. Typing takes digits, the point and the
// unit's letter; the value is kept between bounds, and a change repaints the
// control that shows it (the page-setup dialog's sample page).
#pragma once

#include "framework/PageSetupMetrics.h"

#include <QLineEdit>
#include <QPointer>

class CMeasurementEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CMeasurementEdit(QWidget* parent = nullptr);

    // Takes the unit (converting the held value), clamps the value into its
    // bounds and shows it; the redraw control is repainted when typing changes the value.
    void Setup(bool metric, QWidget* redraw = nullptr);
    void SetInches(double inches);
    double GetInches() const { return m_value.GetInches(); }
    int GetThousandths() const { return m_value.GetThousandths(); }
    bool IsMetric() const { return m_value.IsMetric(); }
    // Bounds in inches; Reclamp applies them again and shows a changed value.
    void SetBounds(double minInches, double maxInches);
    void Reclamp();

signals:
    // The value changed (on each keystroke that changes it, and on clamping).
    void valueChanged();
    // Typing ended (Return or leaving the edit): time for dependent bounds.
    void committed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void ShowValue();
    void OnTextEdited(const QString& text);

    CMeasurementValue m_value;
    QPointer<QWidget> m_redraw;
};
