#include "ui/widgets/DialogFileChooser.h"

#include "ui/widgets/MultiDefaultFileDialog.h"

std::unique_ptr<QFileDialog> CDialogFileChooser::Create(QWidget* parent, const FileRequest& request) const
{
    if (!request.folderButtons || request.mode == FileRequest::Folder)
        return CPlainFileChooser::Create(parent, request);
    auto multi = std::make_unique<CMultiDefaultFileDialog>(parent, request.mode == FileRequest::OpenFile,
                                                           request.defaultExtension, request.userFolder,
                                                           request.groupFolder);
    multi->SetFilters(request.filters, request.selectedFilter);
    return multi;
}
