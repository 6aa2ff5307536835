#include "ui/widgets/HelpWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {
QPointer<CHelpWindow> g_helpWindow;
} // namespace

CHelpWindow::CHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(tr("Marlox Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_browser = new QTextBrowser(this);
    m_browser->setOpenExternalLinks(true);
    auto* bar = new QToolBar(this);
    QAction* back = bar->addAction(tr("Back"), m_browser, &QTextBrowser::backward);
    QAction* forward = bar->addAction(tr("Forward"), m_browser, &QTextBrowser::forward);
    bar->addAction(tr("Contents"), this, [this] { ShowTopic(m_folder, {}); });
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? tr("Marlox Help") : tr("Marlox Help - %1").arg(title));
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(m_browser);
    resize(720, 560);
}

CHelpWindow* CHelpWindow::Instance()
{
    if (!g_helpWindow)
        g_helpWindow = new CHelpWindow;
    return g_helpWindow;
}

CHelpWindow* CHelpWindow::ExistingInstance() { return g_helpWindow; }

bool CHelpWindow::ShowTopic(const QString& folder, const QString& topic)
{
    QString page = topic.isEmpty() ? QStringLiteral("index.html") : topic;
    QString anchor;
    if (int hash = page.indexOf('#'); hash >= 0) {
        anchor = page.mid(hash + 1);
        page.truncate(hash);
    }
    QFileInfo file(QDir(folder), page);
    // Topics stay inside the help folder.
    if (!file.isFile() || !file.canonicalFilePath().startsWith(QDir(folder).canonicalPath() + '/'))
        return false;
    m_folder = folder;
    QUrl url = QUrl::fromLocalFile(file.canonicalFilePath());
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    m_browser->setSource(url);
    return true;
}

QString CHelpWindow::GetCurrentPage() const { return m_browser->source().fileName(); }
