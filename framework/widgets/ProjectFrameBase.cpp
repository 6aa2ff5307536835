#include "framework/widgets/ProjectFrameBase.h"

#include "framework/ProjectDocBase.h"
#include "framework/ProjectItemBase.h"
#include "platform/StringIds.h"
#include "platform/widgets/CommandIds.h"
#include "framework/widgets/ListViewBar.h"
#include "framework/widgets/ProjectAppBase.h"
#include "framework/widgets/ProjectFrameMDIMain.h"
#include "platform/StringTable.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMdiArea>
#include <QPointer>
#include <QTimer>

CProjectFrameBase::CProjectFrameBase(QWidget* parent) : QMdiSubWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

CProjectFrameBase::~CProjectFrameBase() { Detach(); }

void CProjectFrameBase::CreateClient(CProjectDocBase* document, CProjectFrameBase* other)
{
    m_pDocument = document;
    if (other) {
        m_pItem = other->GetItem();
    } else if (document) {
        m_pItem = document->m_pItemBeingOpened;
        if (m_pItem)
            m_placement = m_pItem->m_wpFrame;
    }
    if (m_pItem)
        ++m_pItem->m_nOpenWindows;
    if (QWidget* view = CreateView())
        setWidget(view);
}

void CProjectFrameBase::Detach()
{
    if (m_detached)
        return;
    m_detached = true;
    OnDetach();
    if (m_pItem) {
        m_pItem->OnFrameDestroyed();
        if (m_pItem->m_nOpenWindows > 0)
            --m_pItem->m_nOpenWindows;
    }
}

void CProjectFrameBase::RememberNormal()
{
    if (!isMaximized() && !isMinimized() && isVisible())
        m_normal = geometry();
}

void CProjectFrameBase::moveEvent(QMoveEvent* event)
{
    QMdiSubWindow::moveEvent(event);
    RememberNormal();
}

void CProjectFrameBase::resizeEvent(QResizeEvent* event)
{
    QMdiSubWindow::resizeEvent(event);
    RememberNormal();
}

void CProjectFrameBase::changeEvent(QEvent* event)
{
    QMdiSubWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        OnUpdateFrameTitle(); // the title follows maximising
}

WINDOWPLACEMENT CProjectFrameBase::GetPlacement() const
{
    WINDOWPLACEMENT wp;
    wp.length = 44;
    QRect r = m_normal.isValid() ? m_normal : geometry();
    wp.rcNormalPosition = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    wp.showCmd = isMaximized() ? SW_SHOWMAXIMIZED : isMinimized() ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    wp.ptMinPosition = POINT{-1, -1};
    wp.ptMaxPosition = POINT{-1, -1};
    return wp;
}

void CProjectFrameBase::SavePlacement()
{
    if (!isVisible())
        return;
    m_placement = GetPlacement();
    if (m_pItem)
        m_pItem->m_wpFrame = m_placement;
}

bool CProjectFrameBase::RestorePlacement(bool allowMaximized)
{
    raise();
    if (m_placement.length == 0)
        return true;
    const RECT& r = m_placement.rcNormalPosition;
    if (r.right > r.left && r.bottom > r.top) {
        setGeometry(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
        m_normal = geometry();
    }
    UINT show = m_placement.showCmd;
    if (show == SW_SHOWMAXIMIZED && !allowMaximized) {
        QMdiArea* area = mdiArea();
        QMdiSubWindow* active = area ? area->activeSubWindow() : nullptr;
        if (active && active != this && !active->isMaximized())
            show = SW_SHOWNORMAL;
    }
    if (show == SW_SHOWMAXIMIZED)
        showMaximized();
    else if (show == SW_SHOWMINIMIZED)
        showMinimized();
    else
        showNormal();
    return true;
}

void CProjectFrameBase::UpdateItemTitle(const std::string* workspaceTitle)
{
    std::string text;
    if (workspaceTitle) {
        if (m_pItem)
            text = isMaximized() ? FormatString(IDS_MAXIMIZED_TITLE, {*workspaceTitle, m_pItem->GetName()})
                                 : m_pItem->GetName();
        else
            text = *workspaceTitle;
        if (m_nWindow > 0)
            text += ":" + std::to_string(m_nWindow);
    }
    setWindowTitle(QString::fromStdString(text));
}

void CProjectFrameBase::OnUpdateFrameTitle()
{
    if (auto* main = qobject_cast<CProjectFrameMDIMain*>(window()))
        main->OnUpdateFrameTitle();
    if (m_pDocument) {
        std::string title = m_pDocument->GetTitle();
        UpdateItemTitle(&title);
    } else {
        UpdateItemTitle(nullptr);
    }
}

CCmdTarget* CProjectFrameBase::GetViewTarget() const { return dynamic_cast<CCmdTarget*>(widget()); }

bool CProjectFrameBase::OnCmdMsg(UINT id, CCmdUI* ui)
{
    if (id == ID_ITEM_CLOSE) {
        if (ui)
            ui->Enable();
        else if (m_pItem)
            m_pItem->CloseWindow();
        else
            close();
        return true;
    }
    return false;
}

void CProjectFrameBase::closeEvent(QCloseEvent* event)
{
    SavePlacement();
    QMdiSubWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    Detach();
    auto* main = qobject_cast<CProjectFrameMDIMain*>(window());
    if (!main)
        return;
    // Windows closed from the list (delete, cut, Close) leave the keyboard in
    // the list, although the next window comes to the top.
    const bool listHadFocus = main->IsListActive();
    main->OnItemFrameClosed(this);
    CProjectAppBase* app = CProjectAppBase::GetProjectApp();
    if (listHadFocus && app && app->GetListViewBar()) {
        QPointer<CListViewBar> bar = app->GetListViewBar();
        QTimer::singleShot(0, bar, [bar] {
            if (bar && bar->isVisible())
                bar->FocusList();
        });
    }
}
