#include "app/widgets/MessageBoxReporter.h"

#include "app/HelpTopicMap.h"
#include "app/widgets/MXHelp.h"
#include "framework/Profile.h"
#include "platform/StringTable.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

std::string CMessageBoxReporter::Caption(UINT stringId)
{
    std::string caption = GetAppName();
    if (GetProfileInt("Preferences", "ShowMessageNo", 0) != 0)
        caption += " [Help No: " + std::to_string(stringId) + "]";
    return caption;
}

UINT CMessageBoxReporter::EffectiveType(UINT type)
{
    if ((type & MB_ICONMASK) != 0)
        return type;
    switch (type & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_YESNO: return type | MB_ICONEXCLAMATION;
    default: return type;
    }
}

int CMessageBoxReporter::Show(const ReportedMessage& message)
{
    const UINT type = EffectiveType(message.type);
    QMessageBox box(m_owner ? m_owner.data() : QApplication::activeWindow());
    box.setWindowTitle(QString::fromStdString(Caption(message.stringId)));
    box.setText(QString::fromStdString(message.text));
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONASTERISK: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    struct Button {
        QMessageBox::StandardButton button;
        int answer;
    };
    std::vector<Button> buttons;
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_ABORTRETRYIGNORE:
        buttons = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
        break;
    case MB_YESNOCANCEL:
        buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNO: buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
    case MB_RETRYCANCEL: buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}; break;
    default: buttons = {{QMessageBox::Ok, IDOK}}; break;
    }
    QMessageBox::StandardButtons all;
    for (const Button& b : buttons)
        all |= b.button;
    box.setStandardButtons(all);
    const std::size_t defaultIndex = (type & MB_DEFBUTTON2) && buttons.size() > 1 ? 1 : 0;
    box.setDefaultButton(buttons[defaultIndex].button);
    // A message with a help number has a Help button that opens its page
    // and leaves the box open.
    QPushButton* help = nullptr;
    if (message.helpId != 0 && CMXHelp::IsHelpAvailable())
        help = box.addButton(QMessageBox::Help);
    int clicked = box.exec();
    while (help && box.clickedButton() == help) {
        CMXHelp::MainWindowWinHelp(m_owner ? m_owner.data() : box.parentWidget(),
                                   CMXHelp::kPromptHelpBase + message.helpId, HELP_CONTEXT);
        clicked = box.exec();
    }
    for (const Button& b : buttons)
        if (clicked == b.button)
            return b.answer;
    // Closed without a button: the cancelling answer where there is one.
    for (const Button& b : buttons)
        if (b.answer == IDCANCEL)
            return IDCANCEL;
    return buttons.back().answer;
}

void CMessageBoxReporter::Beep(UINT) { QApplication::beep(); }
