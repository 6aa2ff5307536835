#include "app/widgets/DataFilterDlg.h"

#include "app/widgets/OptionsSheet.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "ui/widgets/DataExchange.h"
#include "platform/widgets/FileChooser.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <unistd.h>

namespace {

constexpr int kPathRole = Qt::UserRole + 1;
// The program's path as a filter receives it: at most 260 characters in a
// block of 512.
constexpr std::size_t kMaxProgramPath = 260;

struct FilterTextBlock {
    char text[512];
};
using RegisterFilesFn = int (*)(FilterTextBlock);

std::string ProgramPath()
{
    char buf[kMaxProgramPath + 1] = {};
    ssize_t n = ::readlink("/proc/self/exe", buf, kMaxProgramPath);
    return n > 0 ? std::string(buf, std::size_t(n)) : std::string();
}

QString FileTitle(const std::string& path)
{
    return QString::fromStdString(std::filesystem::path(path).filename().string());
}

QString Folder(const std::string& path)
{
    return QString::fromStdString(std::filesystem::path(path).parent_path().string());
}

}  // namespace

CDataFilterDlg::CDataFilterDlg(CPreferences& preferences, QWidget* parent)
    : CPreferencePage(tr("Data Filters"), parent), m_paths(preferences.m_filters), m_preferences(preferences)
{
    auto* grid = new QGridLayout(this);
    auto* label = new QLabel(tr("&Filter"), this);
    m_list = new QListWidget(this);
    m_list->setDragDropMode(QAbstractItemView::InternalMove);
    label->setBuddy(m_list);
    m_add = new QPushButton(tr("&Add..."), this);
    m_remove = new QPushButton(tr("&Remove"), this);
    m_up = new QPushButton(tr("Move &Up"), this);
    m_down = new QPushButton(tr("Move &Down"), this);
    auto* locationLabel = new QLabel(tr("File &location:"), this);
    m_location = new QLineEdit(this);
    m_location->setReadOnly(true);
    locationLabel->setBuddy(m_location);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_list, 1, 0, 5, 1);
    grid->addWidget(m_add, 1, 1);
    grid->addWidget(m_remove, 2, 1);
    grid->addWidget(m_up, 3, 1);
    grid->addWidget(m_down, 4, 1);
    grid->addWidget(locationLabel, 6, 0, 1, 2);
    grid->addWidget(m_location, 7, 0, 1, 2);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &CDataFilterDlg::OnSelectionChanged);
    connect(m_list->model(), &QAbstractItemModel::rowsMoved, this, [this] { OnSelectionChanged(); });
    connect(m_add, &QPushButton::clicked, this, &CDataFilterDlg::OnAdd);
    connect(m_remove, &QPushButton::clicked, this, &CDataFilterDlg::RemoveSelected);
    connect(m_up, &QPushButton::clicked, this, [this] { MoveSelected(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { MoveSelected(1); });
}

void CDataFilterDlg::AddEntry(const std::string& path)
{
    auto* item = new QListWidgetItem(FileTitle(path), m_list);
    item->setData(kPathRole, QString::fromStdString(path));
    item->setToolTip(QString::fromStdString(path));
}

void CDataFilterDlg::OnInitDialog()
{
    m_list->blockSignals(true);
    for (const std::string& path : m_paths)
        AddEntry(path);
    m_list->blockSignals(false);
    CPreferencePage::OnInitDialog();
    // Nothing is selected yet: the buttons that need a selection start disabled.
    OnSelectionChanged();
    SetModified(false);
}

void CDataFilterDlg::OnSelectionChanged()
{
    QListWidgetItem* item = m_list->currentItem();
    const bool selected = item && item->isSelected();
    const int row = selected ? m_list->row(item) : -1;
    m_location->setText(selected ? Folder(item->data(kPathRole).toString().toStdString()) : QString());
    m_remove->setEnabled(selected);
    m_up->setEnabled(selected && row > 0);
    m_down->setEnabled(selected && row < m_list->count() - 1);
    SetModified();
}

unsigned CDataFilterDlg::TestFilterLibrary(const std::string& path)
{
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return IDS_FILTER_CANNOT_OPEN;
    unsigned result = 0;
    if (!::dlsym(library, "MX4FilterCaps")) {
        result = IDS_NOT_A_FILTER;
    } else if (auto reg = reinterpret_cast<RegisterFilesFn>(::dlsym(library, "MX4FilterRegisterFiles"))) {
        FilterTextBlock block{};
        std::string program = ProgramPath();
        std::memcpy(block.text, program.c_str(), std::min(program.size(), kMaxProgramPath));
        reg(block);
    }
    ::dlclose(library);
    return result;
}

bool CDataFilterDlg::AddFilter(const std::string& path)
{
    if (unsigned id = TestFilterLibrary(path)) {
        ReportMessage(id, {path}, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    const QString qpath = QString::fromStdString(path);
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->data(kPathRole).toString().compare(qpath, Qt::CaseInsensitive) == 0) {
            ReportMessage(IDS_FILTER_ALREADY_SELECTED, {path}, MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
    }
    AddEntry(path);
    OnSelectionChanged();
    return true;
}

bool CDataFilterDlg::ChooseFilterFile(std::string& path)
{
    FileRequest request;
    request.title = tr("Add Data Filter").toStdString();
    request.filters = {tr("Data Filter Files (*.mxr)").toStdString()};
    request.defaultExtension = "mxr";
    request.acceptLabel = tr("Add").toStdString();
    std::optional<FileAnswer> answer = ChooseFile(this, request);
    if (!answer || answer->path.empty())
        return false;
    path = answer->path;
    return true;
}

void CDataFilterDlg::OnAdd()
{
    std::string path;
    if (ChooseFilterFile(path))
        AddFilter(path);
}

void CDataFilterDlg::RemoveSelected()
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected())
        return;
    delete m_list->takeItem(m_list->row(item));
    m_list->clearSelection();
    OnSelectionChanged();
}

void CDataFilterDlg::MoveSelected(int delta)
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected())
        return;
    const int row = m_list->row(item);
    const int to = row + delta;
    if (to < 0 || to >= m_list->count())
        return;
    m_list->blockSignals(true);
    m_list->takeItem(row);
    m_list->insertItem(to, item);
    m_list->setCurrentItem(item);
    item->setSelected(true);
    m_list->blockSignals(false);
    OnSelectionChanged();
}

void CDataFilterDlg::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate)
        return;
    m_paths.clear();
    for (int i = 0; i < m_list->count(); ++i)
        m_paths.push_back(m_list->item(i)->data(kPathRole).toString().toStdString());
}

bool CDataFilterDlg::OnApply()
{
    m_preferences.m_filters = m_paths;
    m_preferences.SaveFilters();
    if (m_preferences.m_onFiltersChanged)
        m_preferences.m_onFiltersChanged();
    if (Sheet())
        Sheet()->SetCancelToClose();
    return CPreferencePage::OnApply();
}
