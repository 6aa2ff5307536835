#include "ui/widgets/MultiDefaultFileDialog.h"

#include "platform/widgets/FileChooser.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace {

std::string Lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

} // namespace

CMultiDefaultFileDialog::CMultiDefaultFileDialog(QWidget* parent, bool open, const std::string& defaultExtension,
                                                 const std::string& userFolder, const std::string& groupFolder)
    : QFileDialog(parent)
    , m_ownExtension(defaultExtension)
    , m_userFolder(userFolder)
    , m_groupFolder(groupFolder)
{
    // The extra buttons live inside the dialog, which the desktop's own dialog cannot hold.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    setDefaultSuffix(QString::fromStdString(defaultExtension));

    m_userButton = new QPushButton(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("&User Folder"), this);
    m_userButton->setObjectName("UserFolder");
    m_userButton->setToolTip(tr("Go to your default folder"));
    m_groupButton = new QPushButton(style()->standardIcon(QStyle::SP_DirLinkIcon), tr("&Group Folder"), this);
    m_groupButton->setObjectName("GroupFolder");
    m_groupButton->setToolTip(tr("Go to your group's default folder"));
    m_userButton->setEnabled(!m_userFolder.empty());
    m_groupButton->setEnabled(!m_groupFolder.empty());
    connect(m_userButton, &QPushButton::clicked, this, [this] { GoToFolder(m_userFolder); });
    connect(m_groupButton, &QPushButton::clicked, this, [this] { GoToFolder(m_groupFolder); });
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        auto* row = new QHBoxLayout;
        row->addWidget(m_userButton);
        row->addWidget(m_groupButton);
        row->addStretch(1);
        grid->addLayout(row, grid->rowCount(), 0, 1, grid->columnCount());
    }
    connect(this, &QFileDialog::filterSelected, this, [this](const QString& filter) {
        OnTypeChange(int(nameFilters().indexOf(filter)));
    });
}

void CMultiDefaultFileDialog::SetFileTypes(const std::vector<FileType>& types, int selected)
{
    SetFilters(FilterTexts(types), selected);
}

std::vector<std::string> CMultiDefaultFileDialog::FilterTexts(const std::vector<FileType>& types)
{
    std::vector<std::string> filters;
    for (const FileType& t : types) {
        if (t.name.empty() || t.extension.empty())
            continue;
        std::string pattern = "*" + t.extension;
        // Names are compared without regard to case on the disks the files come from.
        std::string lower = "*" + Lower(t.extension);
        filters.push_back(t.name + " (" + (pattern == lower ? pattern : pattern + " " + lower) + ")");
    }
    filters.push_back(tr("All Files (*)").toStdString());
    return filters;
}

void CMultiDefaultFileDialog::SetFilters(const std::vector<std::string>& filters, int selected)
{
    QStringList texts;
    m_patterns.clear();
    for (const std::string& filter : filters) {
        texts << QString::fromStdString(filter);
        std::string pattern = FirstPatternOf(filter);
        m_patterns.push_back(pattern == "*" ? "*.*" : pattern);
    }
    setNameFilters(texts);
    if (selected >= 0 && selected < texts.size())
        selectNameFilter(texts[selected]);
}

QLineEdit* CMultiDefaultFileDialog::FileNameEdit() const { return findChild<QLineEdit*>("fileNameEdit"); }

QString CMultiDefaultFileDialog::GetPathName() const
{
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

void CMultiDefaultFileDialog::GoToFolder(const std::string& folder)
{
    if (!folder.empty())
        setDirectory(QString::fromStdString(folder));
    if (QLineEdit* edit = FileNameEdit())
        edit->clear();
}

std::string CMultiDefaultFileDialog::AdaptFileName(const std::string& typed, const std::string& newExtension,
                                                   const std::string& ownExtension)
{
    std::string title = typed;
    std::size_t slash = title.find_last_of('/');
    std::size_t dot = title.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        title.erase(dot);
    if (title.empty())
        return typed;
    if (Lower(newExtension) == Lower(ownExtension))
        return title;
    return title + "." + newExtension;
}

void CMultiDefaultFileDialog::OnTypeChange(int index)
{
    if (index < 0 || index >= int(m_patterns.size()))
        return;
    // All files keeps the first type's extension.
    std::string pattern = m_patterns[std::size_t(index)] == "*.*" ? m_patterns.front() : m_patterns[std::size_t(index)];
    std::string extension = pattern.size() > 2 ? pattern.substr(2) : std::string();
    if (extension == "*")
        return;
    setDefaultSuffix(QString::fromStdString(extension));
    QLineEdit* edit = FileNameEdit();
    if (edit && !edit->text().isEmpty())
        edit->setText(QString::fromStdString(AdaptFileName(edit->text().toStdString(), extension, m_ownExtension)));
}
