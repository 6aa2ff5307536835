// The program's file chooser: the toolkit's dialogs, and for the workspace
// and stored-item dialogs the one with buttons for the user's and the
// group's folders.
#pragma once

#include "platform/widgets/FileChooser.h"

class CDialogFileChooser : public CPlainFileChooser {
protected:
    std::unique_ptr<QFileDialog> Create(QWidget* parent, const FileRequest& request) const override;
};
