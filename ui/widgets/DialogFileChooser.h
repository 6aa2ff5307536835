// The program's file chooser: the file dialogs themselves.
#pragma once

#include "ui/widgets/FileChooser.h"

#include <memory>

class QFileDialog;

class CDialogFileChooser : public CFileChooser {
public:
    std::optional<FileAnswer> Choose(QWidget* parent, const FileRequest& request) override;
    // The dialog a request shows, ready to run.
    static std::unique_ptr<QFileDialog> Build(QWidget* parent, const FileRequest& request);
};
