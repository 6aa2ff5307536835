// Messages for the user go through one reporter: model code names a string id
// and its arguments and gets the user's answer back; it never opens a window.
// The program installs a reporter that shows message boxes; tests install one
// that records what was said and answers as scripted.
#pragma once

#include "platform/Types.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Buttons, icons and answers, with the values message boxes have always used.
enum : UINT {
    MB_OK = 0x0000,
    MB_OKCANCEL = 0x0001,
    MB_ABORTRETRYIGNORE = 0x0002,
    MB_YESNOCANCEL = 0x0003,
    MB_YESNO = 0x0004,
    MB_RETRYCANCEL = 0x0005,
    MB_TYPEMASK = 0x000F,
    MB_ICONHAND = 0x0010,
    MB_ICONSTOP = MB_ICONHAND,
    MB_ICONERROR = MB_ICONHAND,
    MB_ICONQUESTION = 0x0020,
    MB_ICONEXCLAMATION = 0x0030,
    MB_ICONWARNING = MB_ICONEXCLAMATION,
    MB_ICONASTERISK = 0x0040,
    MB_ICONINFORMATION = MB_ICONASTERISK,
    MB_ICONMASK = 0x00F0,
    MB_DEFBUTTON2 = 0x0100,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

struct ReportedMessage {
    UINT stringId = 0;              // 0 for a text without an id
    std::vector<std::string> args;  // the %1.. arguments
    std::string text;               // the formatted text
    UINT type = MB_OK;              // buttons and icon
    UINT helpId = 0;
};

class CReporter {
public:
    virtual ~CReporter() = default;
    // Shows the message and returns the answer (IDOK, IDYES, ...).
    virtual int Show(const ReportedMessage& message) = 0;
    // The warning sound for a refused key or entry.
    virtual void Beep(UINT type) {}
};

// Installs a reporter and returns the one it replaces (null restores the default,
// which writes to the standard error stream and gives the first button's answer).
CReporter* SetReporter(CReporter* reporter);
CReporter& GetReporter();

// Shows string id with its arguments; the help id defaults to the string id.
int ReportMessage(UINT stringId, std::initializer_list<std::string_view> args = {},
                  UINT type = MB_OK | MB_ICONEXCLAMATION, UINT helpId = UINT(-1));
// Shows a text that has no string id of its own.
int ReportText(std::string_view text, UINT type = MB_OK | MB_ICONEXCLAMATION, UINT helpId = 0);
void MessageBeep(UINT type = MB_OK);

// The answer a box gives when nobody is there to click: its default button
// (the first, or the second with MB_DEFBUTTON2).
int DefaultAnswer(UINT type);
