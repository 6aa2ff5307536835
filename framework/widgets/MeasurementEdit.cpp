#include "framework/widgets/MeasurementEdit.h"

#include "platform/Reporter.h"

#include <QKeyEvent>

CMeasurementEdit::CMeasurementEdit(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, &CMeasurementEdit::OnTextEdited);
    connect(this, &QLineEdit::editingFinished, this, [this] {
        ShowValue();
        emit committed();
    });
    ShowValue();
}

void CMeasurementEdit::Setup(bool metric, QWidget* redraw)
{
    m_value.SetMetric(metric);
    m_value.Clamp();
    m_redraw = redraw;
    ShowValue();
}

void CMeasurementEdit::SetInches(double inches)
{
    m_value.SetInches(inches);
    m_value.Clamp();
    ShowValue();
}

void CMeasurementEdit::SetBounds(double minInches, double maxInches) { m_value.SetBounds(minInches, maxInches); }

void CMeasurementEdit::Reclamp()
{
    if (m_value.Clamp()) {
        ShowValue();
        emit valueChanged();
    }
}

void CMeasurementEdit::ShowValue()
{
    QString text = QString::fromStdString(m_value.Format());
    if (text != this->text())
        setText(text);
}

void CMeasurementEdit::OnTextEdited(const QString& text)
{
    if (m_value.SetFromText(text.toStdString())) {
        if (m_redraw)
            m_redraw->update();
        emit valueChanged();
    }
}

void CMeasurementEdit::keyPressEvent(QKeyEvent* event)
{
    QString typed = event->text();
    bool editing = event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Paste)
        || event->matches(QKeySequence::Cut) || event->matches(QKeySequence::SelectAll)
        || event->matches(QKeySequence::Undo);
    if (!typed.isEmpty() && !editing && typed.at(0).isPrint()) {
        char32_t c = typed.at(0).unicode();
        if (!CMeasurementValue::AcceptsChar(c, m_value.IsMetric())) {
            MessageBeep();
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void CMeasurementEdit::focusOutEvent(QFocusEvent* event)
{
    ShowValue();
    QLineEdit::focusOutEvent(event);
}
