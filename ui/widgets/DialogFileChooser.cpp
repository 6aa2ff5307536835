#include "ui/widgets/DialogFileChooser.h"

#include "ui/widgets/MultiDefaultFileDialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>

std::unique_ptr<QFileDialog> CDialogFileChooser::Build(QWidget* parent, const FileRequest& request)
{
    const bool open = request.mode == FileRequest::OpenFile;
    std::unique_ptr<QFileDialog> dialog;
    if (request.folderButtons && request.mode != FileRequest::Folder) {
        auto multi = std::make_unique<CMultiDefaultFileDialog>(parent, open, request.defaultExtension,
                                                               request.userFolder, request.groupFolder);
        multi->SetFilters(request.filters, request.selectedFilter);
        dialog = std::move(multi);
    } else {
        dialog = std::make_unique<QFileDialog>(parent);
        // A folder check needs our own dialog, whose OK button can follow the selection.
        if (request.canChoose)
            dialog->setOption(QFileDialog::DontUseNativeDialog, true);
        if (request.mode == FileRequest::Folder) {
            dialog->setFileMode(QFileDialog::Directory);
            dialog->setOption(QFileDialog::ShowDirsOnly, true);
        } else {
            dialog->setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
            dialog->setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
            QStringList filters;
            for (const std::string& f : request.filters)
                filters << QString::fromStdString(f);
            if (!filters.isEmpty()) {
                dialog->setNameFilters(filters);
                if (request.selectedFilter >= 0 && request.selectedFilter < filters.size())
                    dialog->selectNameFilter(filters[request.selectedFilter]);
            }
            dialog->setDefaultSuffix(QString::fromStdString(request.defaultExtension));
        }
    }
    if (!request.title.empty())
        dialog->setWindowTitle(QString::fromStdString(request.title));
    if (!request.acceptLabel.empty())
        dialog->setLabelText(QFileDialog::Accept, QString::fromStdString(request.acceptLabel));
    if (!request.folder.empty())
        dialog->setDirectory(QString::fromStdString(request.folder));
    if (!request.name.empty())
        dialog->selectFile(QString::fromStdString(request.name));
    if (request.canChoose) {
        QFileDialog* d = dialog.get();
        auto follow = [d, canChoose = request.canChoose](const QString& current) {
            auto* box = d->findChild<QDialogButtonBox*>();
            QPushButton* ok = box ? box->button(QDialogButtonBox::Open) : nullptr;
            if (!ok)
                ok = box ? box->button(QDialogButtonBox::Save) : nullptr;
            if (ok && !current.isEmpty())
                ok->setEnabled(canChoose(current.toStdString()));
        };
        QObject::connect(d, &QFileDialog::currentChanged, d, follow);
        QObject::connect(d, &QFileDialog::directoryEntered, d, follow);
    }
    return dialog;
}

std::optional<FileAnswer> CDialogFileChooser::Choose(QWidget* parent, const FileRequest& request)
{
    std::unique_ptr<QFileDialog> dialog = Build(parent, request);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    FileAnswer answer;
    answer.path = dialog->selectedFiles().first().toStdString();
    answer.filter = int(dialog->nameFilters().indexOf(dialog->selectedNameFilter()));
    if (request.canChoose && !request.canChoose(answer.path))
        return std::nullopt;
    return answer;
}
