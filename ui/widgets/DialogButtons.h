// Small helpers for dialogs.
#pragma once

class QDialogButtonBox;
class QWidget;

// After a change that cannot be cancelled, the dialog's Cancel button reads
// "Close" (string 25120). False when the dialog has no Cancel button.
bool SetCancelToClose(QWidget* dialog);
