#include "framework/widgets/TemplateTab.h"

#include "framework/widgets/NewTemplateSheet.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QActionGroup>
#include <QDateTime>
#include <QDesktopServices>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QListView>
#include <QLocale>
#include <QMenu>
#include <QMimeDatabase>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>

namespace {

constexpr UINT kColumnTitles[4] = {IDS_HEADING_TEMPLATE, IDS_HEADING_SIZE, IDS_HEADING_TYPE, IDS_HEADING_MODIFIED};
constexpr UINT kViewTips[3] = {IDS_VIEW_LARGE_ICONS, IDS_VIEW_LIST, IDS_VIEW_DETAILS};
constexpr int kRecordRole = Qt::UserRole + 1;

QString Text(UINT id) { return QString::fromStdString(LoadString(id)); }

// The program's own first entry of each file menu.
QString OwnCommandText(UINT menuId)
{
    return menuId == CNewTemplateSheet::kAddItemMenu ? QObject::tr("&Add Item") : QObject::tr("Open as Ne&w File");
}

}  // namespace

CTemplateTab::CTemplateTab(CNewTemplateSheet* sheet, const std::string& title, bool general)
    : QWidget(sheet), m_sheet(sheet), m_title(title), m_general(general)
{
    m_model = new QStandardItemModel(0, 4, this);
    for (int c = 0; c < 4; ++c)
        m_model->setHorizontalHeaderItem(c, new QStandardItem(Text(kColumnTitles[c])));
    m_model->horizontalHeaderItem(1)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_toolBar = new QToolBar(this);
    auto* group = new QActionGroup(this);
    const QStyle::StandardPixmap pictures[3] = {QStyle::SP_FileDialogContentsView, QStyle::SP_FileDialogListView,
                                                QStyle::SP_FileDialogDetailedView};
    for (int d = 0; d < 3; ++d) {
        m_viewActions[d] = m_toolBar->addAction(style()->standardIcon(pictures[d]), Text(kViewTips[d]));
        m_viewActions[d]->setToolTip(Text(kViewTips[d]));
        m_viewActions[d]->setCheckable(true);
        group->addAction(m_viewActions[d]);
        connect(m_viewActions[d], &QAction::triggered, this, [this, d] { SetDisplay(d); });
    }

    m_listView = new QListView(this);
    m_treeView = new QTreeView(this);
    m_listView->setModel(m_model);
    m_treeView->setModel(m_model);
    m_treeView->setSelectionModel(m_listView->selectionModel());
    m_treeView->setRootIsDecorated(false);
    m_treeView->setItemsExpandable(false);
    m_treeView->setUniformRowHeights(true);
    m_treeView->setIconSize(QSize(16, 16));
    m_treeView->header()->setSectionsClickable(true);
    m_treeView->header()->setSortIndicatorShown(false);
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(m_listView), static_cast<QAbstractItemView*>(m_treeView)}) {
        v->setSelectionMode(QAbstractItemView::SingleSelection);
        v->setEditTriggers(QAbstractItemView::NoEditTriggers);
        v->setContextMenuPolicy(Qt::CustomContextMenu);
        v->installEventFilter(this);
        connect(v, &QAbstractItemView::doubleClicked, this, [this] {
            if (SelectedRow() >= 0)
                m_sheet->PressOk();
        });
        connect(v, &QWidget::customContextMenuRequested, this,
                [this, v](const QPoint& pos) {
                    const QModelIndex index = v->indexAt(pos);
                    if (index.isValid())
                        SelectRow(index.row());
                    ShowContextMenu(v->viewport()->mapToGlobal(pos));
                });
    }
    connect(m_listView->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CTemplateTab::UpdateOk);
    connect(m_treeView->header(), &QHeaderView::sectionClicked, this, &CTemplateTab::OnColumnClick);

    m_stack = new QStackedWidget(this);
    m_stack->addWidget(m_listView);
    m_stack->addWidget(m_treeView);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_stack);
}

void CTemplateTab::OnInitDialog()
{
    m_initialised = true;
    FillList();
}

QString CTemplateTab::FormatModified(std::int64_t nanoseconds)
{
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(nanoseconds / 1000000).toLocalTime();
    const QLocale locale = QLocale::system();
    QString text = locale.toString(t.date(), QLocale::ShortFormat);
    if (t.time() != QTime(0, 0)) {
        // The locale's short time without its seconds.
        QString format = locale.timeFormat(QLocale::ShortFormat);
        format.remove(QRegularExpression(QStringLiteral("[:.]?s+")));
        text += u' ' + locale.toString(t.time(), format);
    }
    return text;
}

void CTemplateTab::FillList()
{
    m_records.clear();
    const std::string& user = m_sheet->UserFolder();
    const std::string& groupBase = m_sheet->GroupFolder();
    const std::string userFolder = CTemplateFolder::TabFolder(user, m_title, m_general);
    m_records = CTemplateFolder::ListFiles(userFolder);
    if (!groupBase.empty()) {
        const std::string groupFolder = CTemplateFolder::TabFolder(groupBase, m_title, m_general);
        if (std::filesystem::path(groupFolder) != std::filesystem::path(userFolder)) {
            auto more = CTemplateFolder::ListFiles(groupFolder);
            m_records.insert(m_records.end(), more.begin(), more.end());
        }
    }
    QMimeDatabase mime;
    for (CTemplateFileRecord& r : m_records)
        r.typeName = mime.mimeTypeForFile(QString::fromStdString(r.path)).comment().toStdString();
    CTemplateFolder::Sort(m_records, m_sheet->GetSortCode());
    FillRows();
}

void CTemplateTab::FillRows()
{
    m_model->removeRows(0, m_model->rowCount());
    QFileIconProvider icons;
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        const CTemplateFileRecord& r = m_records[i];
        QList<QStandardItem*> row;
        auto* name = new QStandardItem(icons.icon(QFileInfo(QString::fromStdString(r.path))),
                                       QString::fromStdString(r.displayName));
        name->setData(int(i), kRecordRole);
        name->setToolTip(QString::fromStdString(r.path));
        auto* size = new QStandardItem(QString::fromStdString(CTemplateFolder::FormatSize(r.size)));
        size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row << name << size << new QStandardItem(QString::fromStdString(r.typeName))
            << new QStandardItem(FormatModified(r.modified));
        m_model->appendRow(row);
    }
    UpdateOk();
}

void CTemplateTab::Resort()
{
    const int selected = SelectedRow();
    const std::string path = selected >= 0 ? m_records[std::size_t(selected)].path : std::string();
    CTemplateFolder::Sort(m_records, m_sheet->GetSortCode());
    FillRows();
    for (std::size_t i = 0; i < m_records.size(); ++i)
        if (!path.empty() && m_records[i].path == path)
            SelectRow(int(i));
}

void CTemplateTab::OnColumnClick(int column)
{
    const unsigned bit = 1u << column;
    unsigned code = m_sheet->GetSortCode();
    if ((code & ~unsigned(CTemplateFolder::SortDescending)) == bit)
        code ^= CTemplateFolder::SortDescending;
    else
        code = bit;
    m_sheet->SetSortCode(code);
    Resort();
}

int CTemplateTab::SelectedRow() const
{
    const QModelIndexList rows = m_listView->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CTemplateTab::SelectRow(int row)
{
    if (row < 0 || row >= m_model->rowCount()) {
        m_listView->selectionModel()->clearSelection();
        return;
    }
    m_listView->selectionModel()->select(m_model->index(row, 0),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_listView->selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
}

void CTemplateTab::UpdateOk() { m_sheet->OkButton()->setEnabled(SelectedRow() >= 0); }

void CTemplateTab::OnSetActive()
{
    SetDisplay(m_sheet->GetDisplay());
    UpdateOk();
}

void CTemplateTab::SetDisplay(int display)
{
    switch (display) {
    case CNewTemplateSheet::LargeIcons:
        m_listView->setViewMode(QListView::IconMode);
        m_listView->setIconSize(QSize(32, 32));
        m_listView->setGridSize(QSize(96, 72));
        m_listView->setWordWrap(true);
        m_listView->setResizeMode(QListView::Adjust);
        m_listView->setMovement(QListView::Static);
        m_stack->setCurrentWidget(m_listView);
        break;
    case CNewTemplateSheet::List:
        m_listView->setViewMode(QListView::ListMode);
        m_listView->setIconSize(QSize(16, 16));
        m_listView->setGridSize(QSize());
        m_listView->setFlow(QListView::TopToBottom);
        m_listView->setWrapping(true);
        m_listView->setResizeMode(QListView::Adjust);
        m_stack->setCurrentWidget(m_listView);
        break;
    case CNewTemplateSheet::Details:
        m_stack->setCurrentWidget(m_treeView);
        SizeColumns();
        break;
    default:
        return;
    }
    m_viewActions[display]->setChecked(true);
    if (m_sheet->GetDisplay() != display)
        m_sheet->SetDisplay(display);
}

void CTemplateTab::SizeColumns()
{
    int width = m_treeView->viewport()->width();
    if (!m_treeView->verticalScrollBar()->isVisible())
        width -= m_treeView->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int widths[4] = {width * 2 / 5, width * 3 / 20, width / 4, width / 5};
    for (int c = 0; c < 4; ++c)
        m_treeView->setColumnWidth(c, widths[c]);
}

void CTemplateTab::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    SizeColumns();
}

QMenu* CTemplateTab::BuildContextMenu()
{
    auto* menu = new QMenu(this);
    menu->addAction(OwnCommandText(m_sheet->ContextMenuId()))->setData(int(CmdOwn));
    menu->addSeparator();
    menu->addAction(tr("&Open"))->setData(int(CmdOpen));
    menu->addAction(tr("Show in &Folder"))->setData(int(CmdShowInFolder));
    menu->addAction(tr("Rena&me..."))->setData(int(CmdRename));
    menu->addAction(tr("Move to &Trash"))->setData(int(CmdTrash));
    return menu;
}

void CTemplateTab::ShowContextMenu(const QPoint& globalPos)
{
    if (SelectedRow() < 0)
        return;
    QMenu* menu = BuildContextMenu();
    QAction* chosen = menu->exec(globalPos);
    const int command = chosen ? chosen->data().toInt() : 0;
    delete menu;
    if (command)
        RunCommand(command);
}

bool CTemplateTab::RunCommand(int command, const QString& newName)
{
    const int row = SelectedRow();
    if (row < 0)
        return false;
    const QString path = QString::fromStdString(m_records[std::size_t(row)].path);
    bool ok = true;
    switch (command) {
    case CmdOwn:
        m_sheet->PressOk();
        return true;
    case CmdOpen:
        ok = QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        break;
    case CmdShowInFolder:
        ok = QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
        break;
    case CmdRename: {
        QString name = newName;
        if (name.isEmpty()) {
            bool accepted = false;
            name = QInputDialog::getText(this, tr("Rename"), tr("New name:"), QLineEdit::Normal,
                                         QFileInfo(path).fileName(), &accepted);
            if (!accepted || name.isEmpty())
                return false;
        }
        // A name, not a path: the file stays in its folder.
        if (name.contains(u'/') || name == "." || name == "..") {
            ok = false;
            break;
        }
        const QString target = QFileInfo(path).absolutePath() + u'/' + name;
        ok = !QFileInfo::exists(target) && QFile::rename(path, target);
        break;
    }
    case CmdTrash:
        ok = QFile::moveToTrash(path);
        break;
    default:
        return false;
    }
    if (!ok)
        MessageBeep(MB_ICONEXCLAMATION);
    // The command may have renamed or removed files.
    FillList();
    return ok;
}

bool CTemplateTab::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && SelectedRow() >= 0) {
            m_sheet->PressOk();
            return true;
        }
        if (key->key() == Qt::Key_F10 && (key->modifiers() & Qt::ShiftModifier) && SelectedRow() >= 0) {
            auto* view = static_cast<QAbstractItemView*>(m_stack->currentWidget());
            const QRect r = view->visualRect(m_model->index(SelectedRow(), 0));
            ShowContextMenu(view->viewport()->mapToGlobal(r.center()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
