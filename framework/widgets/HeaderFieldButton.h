// The button beside a header or footer text: its menu inserts a field code
// (File Name, Page Number, Left Align, ...) in place of the text's selection.
#pragma once

#include <QPointer>
#include <QToolButton>

class QLineEdit;

class CHeaderFieldButton : public QToolButton {
    Q_OBJECT
public:
    explicit CHeaderFieldButton(QWidget* parent = nullptr);

    // The edit the codes go into (none until bound).
    void Bind(QLineEdit* edit) { m_edit = edit; }
    QLineEdit* GetEdit() const { return m_edit; }
    // Inserts the code of a menu command (43004 to 43014) and focuses the edit.
    bool InsertField(unsigned commandId);

private:
    QPointer<QLineEdit> m_edit;
};
