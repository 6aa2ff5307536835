#include "ui/widgets/TabFormView.h"

#include "framework/ProjectDocBase.h"
#include "framework/ProjectItemBase.h"
#include "platform/Reporter.h"
#include "platform/StringTable.h"
#include "platform/widgets/CommandIds.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPainter>
#include <QShortcut>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

#include <algorithm>

namespace {

// What a form shows when a tab record cannot be made.
constexpr const char* kNoTabObject = "Error: couldn't create a tab object\n";

// Offsets of the tab control in the form and of a page inside the control.
constexpr int kCtrlOffset = 4;
constexpr int kPageLeft = 6;
constexpr int kPageTopBelowTabs = 7;
constexpr int kPageRightBottom = 2;

} // namespace

void SetControlId(QWidget* control, int id)
{
    control->setProperty("controlId", id);
    control->setObjectName(QString::number(id));
}

QWidget* FindControl(const QWidget* parent, int id)
{
    if (!parent)
        return nullptr;
    for (QWidget* child : parent->findChildren<QWidget*>())
        if (child->property("controlId").toInt() == id)
            return child;
    return nullptr;
}

// ---------------------------------------------------------------- page

CTabFormChildView::CTabFormChildView(int templateId, QWidget* parent) : QWidget(parent), m_nTemplateId(templateId) {}

CTabFormChildView::~CTabFormChildView() { Detach(); }

CProjectItemBase* CTabFormChildView::GetItem() const
{
    return m_bDetached || !m_pForm ? nullptr : m_pForm->GetItem();
}

CProjectDocBase* CTabFormChildView::GetDocument() const
{
    CProjectItemBase* item = GetItem();
    return item ? item->GetDocument() : nullptr;
}

void CTabFormChildView::InitialUpdate()
{
    if (m_bInitialised)
        return;
    m_bInitialised = true;
    OnInitialUpdate();
}

void CTabFormChildView::Detach()
{
    if (m_bDetached)
        return;
    OnDetach();
    if (CProjectDocBase* doc = GetDocument())
        doc->RemoveView(this);
    m_bDetached = true;
}

bool CTabFormChildView::IsFromForm(const CDocView* sender) const
{
    return m_pForm && sender == static_cast<const CDocView*>(m_pForm);
}

bool CTabFormChildView::OnCmdMsg(UINT id, CCmdUI* ui)
{
    if (m_pForm && m_pForm->OnFormCommand(id, ui))
        return true;
    if (OnPageCommand(id, ui))
        return true;
    return OnEditCommand(id, ui);
}

QLineEdit* CTabFormChildView::GetFocusedEdit() const
{
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return edit && isAncestorOf(edit) ? edit : nullptr;
}

bool CTabFormChildView::OnEditCommand(UINT id, CCmdUI* ui)
{
    if (id != ID_EDIT_CUT && id != ID_EDIT_COPY && id != ID_EDIT_CLEAR && id != ID_EDIT_PASTE && id != ID_EDIT_UNDO)
        return false;
    QLineEdit* edit = GetFocusedEdit();
    // Without typing of its own to undo, Undo goes on to the item's frame,
    // which undoes the item's last change.
    if (id == ID_EDIT_UNDO && !(edit && edit->isUndoAvailable()))
        return false;
    if (ui) {
        bool enable = false;
        if (edit) {
            switch (id) {
            case ID_EDIT_PASTE: {
                const QMimeData* data = QApplication::clipboard()->mimeData();
                enable = data && data->hasText() && !edit->isReadOnly();
                break;
            }
            case ID_EDIT_UNDO:
                enable = edit->isUndoAvailable();
                ui->SetText("&Undo\tCtrl+Z");
                break;
            case ID_EDIT_COPY: enable = edit->hasSelectedText(); break;
            default: enable = edit->hasSelectedText() && !edit->isReadOnly(); break;
            }
        }
        ui->Enable(enable);
        return true;
    }
    if (!edit)
        return true;
    switch (id) {
    case ID_EDIT_CUT: edit->cut(); break;
    case ID_EDIT_COPY: edit->copy(); break;
    case ID_EDIT_CLEAR: edit->del(); break;
    case ID_EDIT_PASTE: edit->paste(); break;
    case ID_EDIT_UNDO: edit->undo(); break;
    default: break;
    }
    return true;
}

// ---------------------------------------------------------------- tab control

CTabCtrl::CTabCtrl(QWidget* parent) : QWidget(parent), m_bar(new QTabBar(this))
{
    SetControlId(this, IDC_TAB_CONTROL);
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    m_bar->setUsesScrollButtons(true);
    connect(m_bar, &QTabBar::currentChanged, this, [this](int index) {
        if (!m_bSetting)
            emit selChange(index);
    });
}

int CTabCtrl::GetItemCount() const { return m_bar->count(); }

void CTabCtrl::InsertItem(int index, const QString& text)
{
    m_bSetting = true;
    m_bar->insertTab(index, text);
    m_bSetting = false;
    m_bar->resize(width(), m_bar->sizeHint().height());
}

QString CTabCtrl::GetItemText(int index) const { return m_bar->tabText(index); }

void CTabCtrl::DeleteItem(int index)
{
    m_bSetting = true;
    m_bar->removeTab(index);
    m_bSetting = false;
}

int CTabCtrl::GetCurSel() const { return m_bar->currentIndex(); }

void CTabCtrl::SetCurSel(int index)
{
    m_bSetting = true;
    m_bar->setCurrentIndex(index);
    m_bSetting = false;
}

QRect CTabCtrl::GetItemRect(int index) const
{
    if (index < 0 || index >= m_bar->count())
        return {};
    return m_bar->tabRect(index).translated(m_bar->pos());
}

void CTabCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_bar->setGeometry(0, 0, width(), m_bar->sizeHint().height());
}

void CTabCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    const int top = m_bar->count() > 0 ? m_bar->geometry().bottom() + 1 : 0;
    frame.rect = QRect(0, top - 1, width(), std::max(0, height() - top + 1));
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = m_bar->sizeHint();
    frame.tabBarRect = m_bar->geometry();
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

// ---------------------------------------------------------------- form

CTabFormView::CTabFormView(int templateId, CProjectItemBase* item, QWidget* parent)
    : QWidget(parent)
    , m_nTemplateId(templateId)
    , m_pItem(item)
    , m_tabCtrl(new CTabCtrl(this))
{
    connect(m_tabCtrl, &CTabCtrl::selChange, this, [this](int index) { ShowTab(index); });
    // Ctrl+Page Down and Ctrl+Page Up turn to the next and the previous tab.
    for (const auto& [keys, step] : {std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                                     std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}}) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] {
            const int count = GetTabCount();
            if (count > 0)
                SelectTab(((std::max(m_nCurrent, 0) + step) % count + count) % count);
        });
    }
    if (CProjectDocBase* doc = GetDocument())
        doc->AddView(this);
}

CTabFormView::~CTabFormView()
{
    m_bInitialised = false;
    if (!m_bDetached)
        if (CProjectDocBase* doc = GetDocument())
            doc->RemoveView(this);
    // The pages are children of the form and go with it; they leave the document first.
    for (auto& tab : m_tabs)
        if (tab->view)
            tab->view->Detach();
}

QSize CTabFormView::sizeHint() const
{
    // Room for the largest page inside the tab control.
    QSize page(0, 0);
    for (const auto& tab : m_tabs)
        if (tab->view)
            page = page.expandedTo(tab->view->sizeHint());
    const int header = m_nHeaderHeight > 0 ? m_nHeaderHeight : m_tabCtrl->GetBar()->sizeHint().height();
    return QSize(page.width() + kPageLeft + kCtrlOffset + 2 * kPageRightBottom,
                 page.height() + header + kPageTopBelowTabs + kCtrlOffset + 2 * kPageRightBottom);
}

CProjectDocBase* CTabFormView::GetDocument() const
{
    return m_bDetached || !m_pItem ? nullptr : m_pItem->GetDocument();
}

int CTabFormView::AddTab(Factory factory, int controlId, const std::string& caption)
{
    if (!factory) {
        ReportText(kNoTabObject, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    auto info = std::make_unique<CTabInfo>();
    info->factory = std::move(factory);
    info->controlId = controlId;
    info->caption = caption;
    m_tabs.push_back(std::move(info));
    ++m_nCurrent;
    return 1;
}

int CTabFormView::AddTab(Factory factory, int controlId, UINT captionId)
{
    return AddTab(std::move(factory), controlId, LoadString(captionId));
}

bool CTabFormView::DoInitialUpdate(bool fitFrame)
{
    setUpdatesEnabled(false);
    for (std::size_t i = 0; i < m_tabs.size(); ++i)
        m_tabCtrl->InsertItem(int(i), QString::fromStdString(m_tabs[i]->caption));
    m_tabCtrl->SetCurSel(0);
    m_tabCtrl->setGeometry(kCtrlOffset, kCtrlOffset, std::max(width() - 2 * kCtrlOffset, 0),
                           std::max(height() - 2 * kCtrlOffset, 16));
    m_nHeaderHeight = m_tabCtrl->GetItemRect(0).bottom() + 1;
    for (int i = 0; i < int(m_tabs.size()); ++i)
        if (!CreateTabView(i, false, false))
            return false; // the form stays without pages and without redraw
    m_nCurrent = -1;
    m_bInitialised = true;
    if (fitFrame) {
        if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
            frame->adjustSize();
        else
            QWidget::resize(sizeHint().expandedTo(size()));
    }
    ResizeTabControl(width(), height());
    setUpdatesEnabled(true);
    update();
    // Every page is placed: each sets itself up from the item once.
    for (auto& tab : m_tabs)
        if (tab->view)
            tab->view->InitialUpdate();
    if (isVisible())
        OnActivateView();
    return true;
}

CTabFormChildView* CTabFormView::CreateTabView(int index, bool border, bool show)
{
    if (index < 0 || index >= int(m_tabs.size()))
        return nullptr;
    CTabInfo& info = *m_tabs[std::size_t(index)];
    CTabFormChildView* view = info.factory ? info.factory() : nullptr;
    if (!view)
        return nullptr;
    view->setParent(this);
    view->m_pForm = this;
    view->setProperty("controlId", info.controlId);
    if (view->objectName().isEmpty())
        view->setObjectName(QString::number(info.controlId));
    view->setGeometry(GetPageRect());
    if (CProjectDocBase* doc = GetDocument())
        doc->AddView(view);
    info.view = view;
    if (show) {
        view->show();
        view->raise();
    } else {
        view->hide();
    }
    (void)border; // pages never have a border of their own
    return view;
}

QRect CTabFormView::GetPageRect() const
{
    const int w = m_tabCtrl->width(), h = m_tabCtrl->height();
    const QRect page(QPoint(kPageLeft, m_nHeaderHeight + kPageTopBelowTabs),
                     QPoint(w + kPageRightBottom - 1, h + kPageRightBottom - 1));
    return page.isValid() ? page : QRect(page.topLeft(), QSize(0, 0));
}

CTabFormChildView* CTabFormView::GetTabView(int index) const
{
    if (index < 0 || index >= int(m_tabs.size()))
        return nullptr;
    return m_tabs[std::size_t(index)]->view;
}

void CTabFormView::SelectTab(int index)
{
    if (index < 0 || index >= int(m_tabs.size()))
        return;
    m_tabCtrl->SetCurSel(index);
    ShowTab(index);
}

void CTabFormView::ShowTab(int index)
{
    if (index < 0 || index >= int(m_tabs.size()))
        return;
    CTabFormChildView* next = m_tabs[std::size_t(index)]->view;
    CProjectDocBase* doc = GetDocument();
    if (next != m_pCurrentView) {
        // The keyboard stays in the form when the page that had it goes.
        const bool hadFocus = m_pCurrentView && m_pCurrentView->isAncestorOf(QApplication::focusWidget());
        if (m_pCurrentView) {
            if (doc)
                doc->UpdateAllViews(this, HINT_TAB_HIDDEN, m_pCurrentView);
            m_pCurrentView->hide();
        }
        if (next) {
            if (doc)
                doc->UpdateAllViews(this, HINT_TAB_SHOWN, next);
            next->show();
            next->raise();
            if (hadFocus)
                next->setFocus();
        }
        m_pCurrentView = next;
        m_nCurrent = index;
        update();
    }
    m_nCurrent = index;
    if (m_tabCtrl->GetCurSel() != index)
        m_tabCtrl->SetCurSel(index);
    if (m_pItem && !m_bDetached)
        m_pItem->m_nSelectedTab = index;
}

int CTabFormView::AddTabNow(Factory factory, int controlId, const std::string& caption)
{
    if (!AddTab(std::move(factory), controlId, caption))
        return 0;
    const int index = int(m_tabs.size()) - 1;
    m_tabCtrl->InsertItem(index, QString::fromStdString(caption));
    CTabFormChildView* view = CreateTabView(index, false, false);
    if (!view)
        return 0;
    const int header = m_tabCtrl->GetItemRect(m_tabCtrl->GetCurSel()).bottom() + 1;
    if (header != m_nHeaderHeight)
        ResizeTabControl(width(), height());
    view->InitialUpdate();
    return 1;
}

int CTabFormView::RemoveTab(int controlId)
{
    if (m_tabs.size() <= 1)
        return 0;
    auto it = std::find_if(m_tabs.begin(), m_tabs.end(), [&](const auto& t) { return t->controlId == controlId; });
    if (it == m_tabs.end())
        return 0;
    const QString caption = QString::fromStdString((*it)->caption);
    int item = -1;
    for (int i = 0; i < m_tabCtrl->GetItemCount(); ++i)
        if (m_tabCtrl->GetItemText(i) == caption) {
            item = i;
            break;
        }
    if (item < 0)
        return 0;
    const int index = int(it - m_tabs.begin());
    CTabFormChildView* view = (*it)->view;
    // A removed page is never left as the one that shows: another takes its place first.
    if (view && view == m_pCurrentView)
        SelectTab(index == 0 ? 1 : 0);
    else if (item != 0)
        SelectTab(0);
    std::unique_ptr<CTabInfo> record = std::move(*it);
    m_tabs.erase(it);
    if (m_nCurrent > index)
        --m_nCurrent;
    if (view) {
        view->Detach();
        delete view;
    }
    m_tabCtrl->DeleteItem(item);
    if (m_pItem && !m_bDetached)
        m_pItem->m_nSelectedTab = m_nCurrent;
    const int header = m_tabCtrl->GetItemRect(std::max(m_tabCtrl->GetCurSel(), 0)).bottom() + 1;
    if (header != m_nHeaderHeight)
        ResizeTabControl(width(), height());
    return 1;
}

void CTabFormView::NotifyItemChanged()
{
    if (!m_pCurrentView)
        return;
    if (CProjectDocBase* doc = GetDocument())
        doc->UpdateAllViews(this, HINT_TAB_STORE, m_pCurrentView);
}

void CTabFormView::CloseFrame()
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        QMetaObject::invokeMethod(frame, &QWidget::close, Qt::QueuedConnection);
}

void CTabFormView::Detach()
{
    if (m_bDetached)
        return;
    NotifyItemChanged();
    for (auto& tab : m_tabs)
        if (tab->view)
            tab->view->Detach();
    if (CProjectDocBase* doc = GetDocument())
        doc->RemoveView(this);
    m_bDetached = true;
}

bool CTabFormView::OnCmdMsg(UINT id, CCmdUI* ui)
{
    if (m_pCurrentView)
        return m_pCurrentView->OnCmdMsg(id, ui);
    return OnFormCommand(id, ui);
}

bool CTabFormView::IsSelected(const CObject* object) const
{
    return m_pCurrentView && m_pCurrentView->IsSelected(object);
}

void CTabFormView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_bInitialised)
        ResizeTabControl(width(), height());
}

void CTabFormView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    OnActivateView();
}

void CTabFormView::OnActivateView()
{
    if (m_bInitialised && !m_tabs.empty() && m_nCurrent == -1 && m_pItem)
        SelectTab(std::clamp(m_pItem->m_nSelectedTab, 0, int(m_tabs.size()) - 1));
}

void CTabFormView::ResizeTabControl(int cx, int cy)
{
    m_tabCtrl->setGeometry(kCtrlOffset, kCtrlOffset, std::max(cx - kCtrlOffset, 0) - kCtrlOffset,
                           std::max(cy - kCtrlOffset, 20) - kCtrlOffset);
    m_nHeaderHeight = m_tabCtrl->GetItemRect(std::max(m_tabCtrl->GetCurSel(), 0)).bottom() + 1;
    const QRect page = GetPageRect();
    for (auto& tab : m_tabs)
        if (tab->view)
            tab->view->setGeometry(page);
}
