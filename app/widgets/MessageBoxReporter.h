// Every message box of the program: the reporter that model code talks to,
// shown as a desktop message box with the program's icon and caption rules.
#pragma once

#include "platform/Reporter.h"

#include <QPointer>
#include <QWidget>

#include <string>

class CMessageBoxReporter : public CReporter {
public:
    int Show(const ReportedMessage& message) override;
    void Beep(UINT type) override;

    // The caption: the program's name, with the box's string id in brackets
    // when the "Preferences" "ShowMessageNo" setting is on.
    static std::string Caption(UINT stringId);
    // A box without an icon of its own gets the exclamation mark, except the
    // retry kinds, which stay plain.
    static UINT EffectiveType(UINT type);

    // The window that owns the boxes (the main window).
    void SetOwner(QWidget* owner) { m_owner = owner; }

private:
    QPointer<QWidget> m_owner;
};
