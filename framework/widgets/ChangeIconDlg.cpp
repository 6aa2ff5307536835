#include "framework/widgets/ChangeIconDlg.h"

#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/widgets/FileChooser.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

namespace {

constexpr int kLarge = 32;
constexpr int kSmall = 16;

bool IsIconFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "ico" || suffix == "png" || suffix == "svg";
}

// An image drawn at a square size, centred, keeping its proportions.
QImage Square(const QImage& image, int size)
{
    QImage out(size, size, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    if (image.isNull())
        return out;
    QImage scaled = image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter p(&out);
    p.drawImage((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled);
    return out;
}

QImage FromIcon(const QIcon& icon, int size) { return Square(icon.pixmap(size, size).toImage(), size); }

// One icon file as a large and a small image; an .ico holds several sizes of
// one icon and each size takes the image made for it.
bool ReadIconFile(const QString& path, QImage& large, QImage& small)
{
    QIcon icon;
    QImageReader reader(path);
    if (!reader.canRead())
        return false;
    if (QFileInfo(path).suffix().compare("svg", Qt::CaseInsensitive) == 0) {
        icon = QIcon(path);
    } else {
        do {
            QImage image = reader.read();
            if (!image.isNull())
                icon.addPixmap(QPixmap::fromImage(image));
        } while (reader.jumpToNextImage());
    }
    if (icon.isNull())
        return false;
    large = FromIcon(icon, kLarge);
    small = FromIcon(icon, kSmall);
    return !large.isNull();
}

}  // namespace

CChangeIconDlg::CChangeIconDlg(QWidget* parent, const std::string& iconFile, int iconIndex)
    : QDialog(parent), m_fileName(iconFile), m_index(iconIndex)
{
    setWindowTitle(QString::fromStdString(LoadString(IDS_CHANGE_ICON)));
    auto* grid = new QGridLayout(this);
    auto* fileLabel = new QLabel(tr("&File name:"), this);
    m_edit = new QLineEdit(this);
    fileLabel->setBuddy(m_edit);
    auto* browse = new QPushButton(tr("&Browse..."), this);
    auto* listLabel = new QLabel(tr("&Current icon:"), this);
    m_list = new QListWidget(this);
    listLabel->setBuddy(m_list);
    m_list->setViewMode(QListView::IconMode);
    m_list->setFlow(QListView::TopToBottom);
    m_list->setWrapping(true);
    m_list->setIconSize(QSize(kLarge, kLarge));
    m_list->setGridSize(QSize(42, 36));
    m_list->setMovement(QListView::Static);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->setFixedHeight(36 * 3 + m_list->horizontalScrollBar()->sizeHint().height() + 2 * m_list->frameWidth());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    grid->addWidget(fileLabel, 0, 0, 1, 2);
    grid->addWidget(m_edit, 1, 0);
    grid->addWidget(browse, 1, 1);
    grid->addWidget(listLabel, 2, 0, 1, 2);
    grid->addWidget(m_list, 3, 0, 1, 2);
    grid->addWidget(buttons, 4, 0, 1, 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &CChangeIconDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &CChangeIconDlg::OnBrowse);
    connect(m_edit, &QLineEdit::editingFinished, this, &CChangeIconDlg::OnFileEdited);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CChangeIconDlg::accept);

    m_edit->setText(QString::fromStdString(m_fileName));
    if (!m_fileName.empty() && ReadIcons(m_fileName, m_large, m_small))
        FillList();
    if (m_index >= 0 && m_index < m_list->count())
        m_list->setCurrentRow(m_index);
}

bool CChangeIconDlg::ReadIcons(const std::string& source, std::vector<QImage>& large, std::vector<QImage>& small)
{
    std::vector<QImage> l, s;
    const QString path = QString::fromStdString(source);
    const QFileInfo info(path);
    if (info.isDir()) {
        const QStringList names = QDir(path).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (const QString& name : names) {
            QImage li, si;
            const QString full = QDir(path).filePath(name);
            if (IsIconFile(full) && ReadIconFile(full, li, si)) {
                l.push_back(li);
                s.push_back(si);
            }
        }
    } else if (info.isFile()) {
        QImage li, si;
        if (ReadIconFile(path, li, si)) {
            l.push_back(li);
            s.push_back(si);
        }
    } else if (!path.isEmpty() && !path.contains(u'/') && QIcon::hasThemeIcon(path)) {
        const QIcon icon = QIcon::fromTheme(path);
        l.push_back(FromIcon(icon, kLarge));
        s.push_back(FromIcon(icon, kSmall));
    }
    if (l.empty())
        return false;
    large = std::move(l);
    small = std::move(s);
    return true;
}

bool CChangeIconDlg::LoadIcons(const std::string& source)
{
    if (!ReadIcons(source, m_large, m_small)) {
        ReportMessage(IDS_CANNOT_ACCESS_FILE, {}, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    m_fileName = source;
    FillList();
    m_list->setCurrentRow(0);
    return true;
}

void CChangeIconDlg::FillList()
{
    m_list->clear();
    for (const QImage& image : m_large)
        m_list->addItem(new QListWidgetItem(QIcon(QPixmap::fromImage(image)), QString()));
}

bool CChangeIconDlg::ChooseFile(std::string& path)
{
    FileRequest request;
    request.title = LoadString(IDS_CHANGE_ICON);
    request.name = m_fileName;
    request.filters = {tr("Icon Files (*.ico *.png *.svg)").toStdString(), tr("All Files (*)").toStdString()};
    std::optional<FileAnswer> answer = ::ChooseFile(this, request);
    if (!answer || answer->path.empty())
        return false;
    path = answer->path;
    return true;
}

void CChangeIconDlg::OnBrowse()
{
    std::string path;
    if (!ChooseFile(path))
        return;
    if (QString::fromStdString(path).compare(QString::fromStdString(m_fileName), Qt::CaseInsensitive) == 0)
        return;
    if (LoadIcons(path))
        m_edit->setText(QString::fromStdString(m_fileName));
}

void CChangeIconDlg::OnFileEdited()
{
    const std::string typed = m_edit->text().toStdString();
    if (QString::fromStdString(typed).compare(QString::fromStdString(m_fileName), Qt::CaseInsensitive) == 0)
        return;
    if (!LoadIcons(typed))
        m_edit->setText(QString::fromStdString(m_fileName));
}

void CChangeIconDlg::accept()
{
    OnFileEdited();
    const int row = m_list->currentRow();
    if (row < 0 || !m_list->currentItem() || !m_list->currentItem()->isSelected()) {
        ReportMessage(IDS_NO_ICON_SELECTED, {}, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_index = row;
    QDialog::accept();
}
