// Rules every window of the program follows, applied once for the whole
// program: dialogs are plain dialogs (a title, a close button and, where they
// have context help, the "?" button; never minimise or maximise buttons).
#pragma once

class QWidget;

// Installs the rules on the running application; later calls do nothing.
void InstallWindowRules();
// The rule for one dialog, as the installed rules apply it before it shows.
void MakePlainDialog(QWidget* dialog);
