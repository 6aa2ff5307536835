#include "platform/widgets/FileChooser.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>

namespace {

CFileChooser* s_chooser = nullptr;
CFileChooser* s_default = nullptr;

} // namespace

CFileChooser* SetFileChooser(CFileChooser* chooser)
{
    CFileChooser* previous = s_chooser;
    s_chooser = chooser;
    return previous;
}

void SetDefaultFileChooser(CFileChooser* chooser) { s_default = chooser; }

CFileChooser& GetFileChooser()
{
    static CPlainFileChooser dialogs;
    if (s_chooser)
        return *s_chooser;
    return s_default ? *s_default : dialogs;
}

std::optional<FileAnswer> ChooseFile(QWidget* parent, const FileRequest& request)
{
    return GetFileChooser().Choose(parent, request);
}

std::vector<std::string> FilterTextsFromBars(const std::string& bars)
{
    std::vector<std::string> filters;
    for (std::size_t pos = 0; pos < bars.size();) {
        const std::size_t bar = bars.find('|', pos);
        if (bar == std::string::npos || bar == pos)
            break;
        const std::size_t end = bars.find('|', bar + 1);
        if (end == std::string::npos)
            break;
        std::string patterns = bars.substr(bar + 1, end - bar - 1);
        for (char& c : patterns)
            if (c == ';')
                c = ' ';
        filters.push_back(bars.substr(pos, bar - pos) + " (" + patterns + ")");
        pos = end + 1;
    }
    return filters;
}

std::string FirstPatternOf(const std::string& filter)
{
    const std::size_t open = filter.rfind('(');
    if (open == std::string::npos)
        return {};
    std::size_t begin = filter.find_first_not_of(' ', open + 1);
    if (begin == std::string::npos)
        return {};
    const std::size_t end = filter.find_first_of(" )", begin);
    return filter.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

std::string WithDefaultExtension(const std::string& path, const std::string& extension)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (extension.empty() || nameStart >= path.size() || path.find('.', nameStart) != std::string::npos)
        return path;
    return path + "." + extension;
}

std::unique_ptr<QFileDialog> CPlainFileChooser::Create(QWidget* parent, const FileRequest& request) const
{
    const bool open = request.mode == FileRequest::OpenFile;
    auto dialog = std::make_unique<QFileDialog>(parent);
    // A folder check needs our own dialog, whose OK button can follow the selection.
    if (request.canChoose)
        dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    if (request.mode == FileRequest::Folder) {
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly, true);
        return dialog;
    }
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
    return dialog;
}

std::unique_ptr<QFileDialog> CPlainFileChooser::Build(QWidget* parent, const FileRequest& request) const
{
    std::unique_ptr<QFileDialog> dialog = Create(parent, request);
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

std::optional<FileAnswer> CPlainFileChooser::Choose(QWidget* parent, const FileRequest& request)
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
