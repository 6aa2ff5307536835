#include "framework/widgets/ProjectFrameMDIMain.h"

#include "framework/Profile.h"
#include "framework/ProjectDocBase.h"
#include "framework/ProjectItemBase.h"
#include "framework/WindowPlacement.h"
#include "platform/widgets/CommandIds.h"
#include "framework/widgets/ListViewBar.h"
#include "framework/widgets/ProjectAppBase.h"
#include "framework/widgets/ProjectFrameBase.h"
#include "framework/widgets/ProjectTemplateBase.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/WholeNumbers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {

// "a,b" as two whole numbers, with nothing else.
bool ParsePair(const std::string& text, int& a, int& b)
{
    int v[2];
    if (!ParseWholeNumbers(text, ',', v, 2))
        return false;
    a = v[0];
    b = v[1];
    return true;
}

bool ParseOne(const std::string& text, int& a) { return ParseWholeNumbers(text, ',', &a, 1); }

std::string Pair(int a, int b) { return std::to_string(a) + "," + std::to_string(b); }

} // namespace

CProjectFrameMDIMain::CProjectFrameMDIMain(QWidget* parent)
    : QMainWindow(parent)
    , m_mdi(new QMdiArea(this))
    , m_router(new CCommandRouter(this))
{
    setCentralWidget(m_mdi);
    m_mdi->setActivationOrder(QMdiArea::StackingOrder);
    m_router->SetRoute([this] { return GetCommandRoute(); });
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        if (auto* frame = dynamic_cast<CProjectFrameBase*>(window)) {
            // An item window taking over: the list no longer holds the focus
            // state, unless the keyboard focus stays in the list (a window that
            // comes to the top because another closed).
            CProjectAppBase* app = CProjectAppBase::GetProjectApp();
            CListViewBar* bar = app ? app->GetListViewBar() : nullptr;
            QWidget* focus = QApplication::focusWidget();
            if (!(bar && focus && bar->isAncestorOf(focus)))
                SetListFocus(false);
            if (CProjectItemBase* item = frame->GetItem())
                item->SelectInList();
        }
        OnUpdateFrameTitle();
        m_router->UpdateAll();
    });
    // Typing into an item window, even the one already active, takes the focus state from the list.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && m_mdi->isAncestorOf(now))
            SetListFocus(false);
    });
    // Menus and buttons follow the state of the window the user works in.
    auto* timer = new QTimer(this);
    timer->setInterval(250);
    connect(timer, &QTimer::timeout, this, [this] {
        m_router->UpdateAll();
        CProjectDocBase* doc = GetProjectDoc();
        setWindowModified(doc && doc->IsModified());
    });
    timer->start();
}

CProjectFrameMDIMain::~CProjectFrameMDIMain()
{
    disconnect(m_mdi, nullptr, this, nullptr);
    m_router->SetRoute({});
    if (CProjectDocBase* doc = GetProjectDoc())
        if (doc->GetHost() == this)
            doc->SetHost(nullptr);
    for (CProjectFrameBase* frame : m_frames)
        frame->Detach();
}

CProjectFrameBase* CProjectFrameMDIMain::GetActiveItemFrame() const
{
    QMdiSubWindow* active = m_mdi->activeSubWindow();
    if (!active) {
        // Offscreen and before the first activation Qt may report none; the top of the stack stands in.
        QList<QMdiSubWindow*> list = m_mdi->subWindowList(QMdiArea::StackingOrder);
        if (!list.isEmpty() && !m_bListFocus)
            active = list.back();
    }
    return dynamic_cast<CProjectFrameBase*>(active);
}

std::vector<CProjectFrameBase*> CProjectFrameMDIMain::GetFramesInStackingOrder() const
{
    std::vector<CProjectFrameBase*> out;
    for (QMdiSubWindow* w : m_mdi->subWindowList(QMdiArea::StackingOrder))
        if (auto* frame = dynamic_cast<CProjectFrameBase*>(w))
            if (std::find(m_frames.begin(), m_frames.end(), frame) != m_frames.end())
                out.push_back(frame);
    return out;
}

void CProjectFrameMDIMain::SetListFocus(bool focus)
{
    if (m_bListFocus == focus)
        return;
    m_bListFocus = focus;
    m_router->UpdateAll();
}

bool CProjectFrameMDIMain::IsListActive() const
{
    CListViewBar* bar = CProjectAppBase::GetProjectApp() ? CProjectAppBase::GetProjectApp()->GetListViewBar() : nullptr;
    return GetProjectDoc() && m_bListFocus && bar && bar->isVisible();
}

std::vector<CCmdTarget*> CProjectFrameMDIMain::GetCommandRoute()
{
    std::vector<CCmdTarget*> route;
    CProjectAppBase* app = CProjectAppBase::GetProjectApp();
    if (IsListActive()) {
        route.push_back(app->GetListViewBar());
    } else if (CProjectFrameBase* frame = GetActiveItemFrame()) {
        route.push_back(frame->GetViewTarget());
        route.push_back(frame);
    }
    route.push_back(this);
    route.push_back(app);
    return route;
}

bool CProjectFrameMDIMain::OnCmdMsg(UINT id, CCmdUI* ui)
{
    switch (id) {
    case ID_WINDOW_NEW:
        if (ui)
            ui->Enable(GetActiveItemFrame() != nullptr);
        else
            NewWindow();
        return true;
    case ID_WINDOW_CASCADE:
        if (ui)
            ui->Enable(!m_frames.empty());
        else
            m_mdi->cascadeSubWindows();
        return true;
    case ID_WINDOW_TILE_HORZ:
        if (ui)
            ui->Enable(!m_frames.empty());
        else
            m_mdi->tileSubWindows();
        return true;
    case ID_APP_EXIT:
        if (ui)
            ui->Enable();
        else
            close();
        return true;
    }
    return false;
}

void CProjectFrameMDIMain::OnUpdateFrameTitle()
{
    QString app = QString::fromStdString(GetAppName());
    CProjectDocBase* doc = GetProjectDoc();
    CProjectFrameBase* active = GetActiveItemFrame();
    // "[*]" is where the desktop marks a workspace with unsaved changes.
    if (doc && !(active && active->isMaximized()))
        setWindowTitle(app + " - " + QString::fromStdString(doc->GetTitle()) + "[*]");
    else if (active && active->isMaximized())
        setWindowTitle(app + " - " + active->windowTitle() + "[*]");
    else
        setWindowTitle(app);
    setWindowModified(doc && doc->IsModified());
}

void CProjectFrameMDIMain::UpdateMainIcon()
{
    // The workspace's icon is the program's icon.
    setWindowIcon(QGuiApplication::windowIcon());
}

void CProjectFrameMDIMain::OnItemFrameClosed(CProjectFrameBase* frame)
{
    auto it = std::find(m_frames.begin(), m_frames.end(), frame);
    if (it == m_frames.end())
        return;
    m_frames.erase(it);
    if (CProjectDocBase* doc = frame->GetDocument())
        doc->UpdateFrameCounts();
    // The last item window gone: the list takes the focus when it is shown.
    CProjectAppBase* app = CProjectAppBase::GetProjectApp();
    if (m_frames.empty() && app && app->GetListViewBar() && app->GetListViewBar()->isVisible())
        app->GetListViewBar()->FocusList();
    OnUpdateFrameTitle();
}

// ---------------------------------------------------------------------------
// Placement

SIZE CProjectFrameMDIMain::WorkArea()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    QRect r = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    return SIZE{r.width(), r.height()};
}

bool CProjectFrameMDIMain::ParsePlacement(const std::string& position, const std::string& size,
                                          const std::string& screen, const std::string& maximize,
                                          const RECT& current, SIZE workArea, WINDOWPLACEMENT& wp)
{
    wp = WINDOWPLACEMENT{};
    wp.length = 44;
    wp.flags = 0;
    wp.ptMinPosition = POINT{-1, -1};
    wp.ptMaxPosition = POINT{-1, -1};
    wp.rcNormalPosition = current;
    int left = current.left, top = current.top;
    if (!position.empty() && !ParsePair(position, left, top))
        return false;
    int width = 0, height = 0;
    if (!ParsePair(size, width, height))
        return false;
    // The settings file may hold any numbers: each is taken within what a screen can have.
    RECT r = ClampScreenRect(left, top, width, height);
    if (!screen.empty()) {
        int sw = 0, sh = 0;
        if (!ParsePair(screen, sw, sh))
            return false;
        // Written on another screen: bring the window onto this one, keeping its size.
        if (sw != workArea.cx || sh != workArea.cy)
            MoveOntoWorkArea(r, workArea);
    }
    wp.rcNormalPosition = r;
    wp.showCmd = SW_SHOWNORMAL;
    if (!maximize.empty()) {
        int max = 0;
        if (!ParseOne(maximize, max))
            return false;
        wp.showCmd = max ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    }
    return true;
}

bool CProjectFrameMDIMain::ReadWindowPlacement(WINDOWPLACEMENT& placement) const
{
    QRect g = geometry();
    RECT current{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    return ParsePlacement(GetProfileString("Settings", "AppWindowPosition"), GetProfileString("Settings", "AppWindowSize"),
                          GetProfileString("Settings", "ScreenSize"), GetProfileString("Settings", "MaximizeApp"),
                          current, WorkArea(), placement);
}

void CProjectFrameMDIMain::WriteWindowPlacement(const WINDOWPLACEMENT& wp) const
{
    const RECT& r = wp.rcNormalPosition;
    SIZE work = WorkArea();
    WriteProfileString("Settings", "AppWindowPosition", Pair(r.left, r.top).c_str());
    WriteProfileString("Settings", "AppWindowSize", Pair(r.right - r.left, r.bottom - r.top).c_str());
    WriteProfileString("Settings", "ScreenSize", Pair(work.cx, work.cy).c_str());
    WriteProfileString("Settings", "MaximizeApp", wp.showCmd == SW_SHOWMAXIMIZED ? "1" : "0");
}

void CProjectFrameMDIMain::SaveWindowPlacement()
{
    WINDOWPLACEMENT wp;
    QRect g = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    if (!g.isValid())
        g = geometry();
    wp.rcNormalPosition = RECT{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    wp.showCmd = isMaximized() ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    WriteWindowPlacement(wp);
}

void CProjectFrameMDIMain::RestoreWindowPlacement(UINT showCommand)
{
    WINDOWPLACEMENT wp;
    UINT show = showCommand;
    if (ReadWindowPlacement(wp)) {
        if (showCommand == SW_SHOW)
            show = wp.showCmd;
        if (ShouldRestorePlacement()) {
            const RECT& r = wp.rcNormalPosition;
            // The size always; the position where the window system lets a program place windows.
            resize(r.right - r.left, r.bottom - r.top);
            move(r.left, r.top);
        }
    }
    if (show == SW_SHOWMAXIMIZED)
        setWindowState(windowState() | Qt::WindowMaximized);
    else if (show == SW_SHOWMINIMIZED || show == SW_MINIMIZE)
        setWindowState(windowState() | Qt::WindowMinimized);
}

void CProjectFrameMDIMain::showEvent(QShowEvent* event)
{
    if (!m_bShownOnce) {
        m_bShownOnce = true;
        RestoreWindowPlacement(m_nStartShow);
    }
    QMainWindow::showEvent(event);
}

void CProjectFrameMDIMain::closeEvent(QCloseEvent* event)
{
    CProjectAppBase* app = CProjectAppBase::GetProjectApp();
    if (app && !app->SaveModified(GetProjectDoc())) {
        event->ignore();
        return;
    }
    if (isVisible())
        SaveWindowPlacement();
    QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------------------
// Window host

CProjectFrameBase* CProjectFrameMDIMain::AddFrame(CProjectFrameBase* frame, bool restorePlacement, bool allowMaximized)
{
    m_mdi->addSubWindow(frame);
    m_frames.push_back(frame);
    WINDOWPLACEMENT wp = frame->GetItem() ? frame->GetItem()->m_wpFrame : WINDOWPLACEMENT{};
    const RECT& r = wp.rcNormalPosition;
    if (restorePlacement && wp.length != 0 && r.right > r.left && r.bottom > r.top) {
        frame->SetPlacement(wp);
        frame->RestorePlacement(allowMaximized);
    } else {
        frame->resize(std::max(320, m_mdi->width() * 3 / 5), std::max(240, m_mdi->height() * 3 / 5));
        frame->show();
    }
    KeepInsideWorkspace(frame);
    m_mdi->setActiveSubWindow(frame);
    if (CProjectDocBase* doc = frame->GetDocument())
        doc->UpdateFrameCounts();
    return frame;
}

void CProjectFrameMDIMain::KeepInsideWorkspace(QMdiSubWindow* frame) const
{
    // A window placed by the area's own cascade, or stored on a larger
    // screen, is moved (and if need be shrunk) into the visible area.
    if (!frame || frame->isMaximized() || frame->isMinimized())
        return;
    const QRect area = m_mdi->viewport()->rect();
    if (area.width() <= 0 || area.height() <= 0)
        return;
    QRect r = frame->geometry();
    r.setWidth(std::min(r.width(), area.width()));
    r.setHeight(std::min(r.height(), area.height()));
    r.moveLeft(std::clamp(r.left(), 0, area.width() - r.width()));
    r.moveTop(std::clamp(r.top(), 0, area.height() - r.height()));
    if (r != frame->geometry())
        frame->setGeometry(r);
}

bool CProjectFrameMDIMain::OpenItemWindow(CProjectItemBase* item)
{
    for (CProjectFrameBase* frame : m_frames) {
        if (frame->GetItem() == item) {
            if (frame->isMinimized())
                frame->showNormal();
            m_mdi->setActiveSubWindow(frame);
            return true;
        }
    }
    CProjectAppBase* app = CProjectAppBase::GetProjectApp();
    CProjectTemplateBase* tmpl = app ? app->GetItemTemplate(item) : nullptr;
    CProjectDocBase* doc = item ? item->GetDocument() : nullptr;
    if (!tmpl || !doc)
        return false;
    doc->m_pItemBeingOpened = item;
    CProjectFrameBase* frame = tmpl->CreateNewFrame(doc, nullptr);
    if (!frame)
        return false;
    AddFrame(frame, true, true);
    return true;
}

bool CProjectFrameMDIMain::NewWindow()
{
    CProjectFrameBase* active = GetActiveItemFrame();
    CProjectDocBase* doc = GetProjectDoc();
    CProjectAppBase* app = CProjectAppBase::GetProjectApp();
    if (!active || !doc || !app) {
        ReportMessage(IDS_COMMAND_FAILURE, {}, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    CProjectItemBase* item = active->GetItem();
    CProjectTemplateBase* tmpl = item ? app->GetItemTemplate(item) : nullptr;
    if (!tmpl)
        return false;
    item->SetRowState(true);
    CProjectFrameBase* frame = tmpl->CreateNewFrame(doc, active);
    if (!frame)
        return false;
    AddFrame(frame, false, true);
    return true;
}

void CProjectFrameMDIMain::CloseItemWindows(CProjectItemBase* item)
{
    std::vector<CProjectFrameBase*> frames = m_frames;
    for (CProjectFrameBase* frame : frames)
        if (frame->GetItem() == item)
            frame->close();
}

bool CProjectFrameMDIMain::HasItemWindow(const CProjectItemBase* item) const
{
    return std::any_of(m_frames.begin(), m_frames.end(), [item](CProjectFrameBase* f) { return f->GetItem() == item; });
}

void CProjectFrameMDIMain::UpdateItemTitles(CProjectItemBase*)
{
    // Windows of an item with several get ":1", ":2", ... in the order they were opened.
    std::map<CProjectItemBase*, int> counts, next;
    for (CProjectFrameBase* frame : m_frames)
        ++counts[frame->GetItem()];
    for (CProjectFrameBase* frame : m_frames) {
        CProjectItemBase* item = frame->GetItem();
        frame->m_nWindow = counts[item] > 1 ? ++next[item] : 0;
        frame->OnUpdateFrameTitle();
    }
    OnUpdateFrameTitle();
}

std::vector<CWorkspaceHost::FrameState> CProjectFrameMDIMain::GetItemFrames()
{
    std::vector<CProjectFrameBase*> stacking = GetFramesInStackingOrder();
    std::vector<FrameState> out;
    for (CProjectFrameBase* frame : m_frames) {
        FrameState state;
        state.item = frame->GetItem();
        frame->SavePlacement();
        state.placement = frame->GetPlacement();
        auto it = std::find(stacking.begin(), stacking.end(), frame);
        state.stackPosition = it == stacking.end() ? 0 : int(it - stacking.begin());
        out.push_back(state);
    }
    return out;
}

void CProjectFrameMDIMain::RestoreItemFrames(const std::vector<FrameState>& bottomToTop)
{
    CProjectAppBase* app = CProjectAppBase::GetProjectApp();
    if (app)
        app->m_nWindowRestore = 1;
    for (const FrameState& state : bottomToTop) {
        CProjectItemBase* item = state.item;
        CProjectTemplateBase* tmpl = app && item ? app->GetItemTemplate(item) : nullptr;
        CProjectDocBase* doc = item ? item->GetDocument() : nullptr;
        if (!tmpl || !doc)
            continue;
        item->m_wpFrame = state.placement;
        item->SetRowState(true);
        doc->m_pItemBeingOpened = item;
        CProjectFrameBase* frame = tmpl->CreateNewFrame(doc, nullptr);
        doc->m_pItemBeingOpened = nullptr;
        if (frame)
            AddFrame(frame, true, false);
    }
    if (app)
        app->m_nWindowRestore = 0;
}

void CProjectFrameMDIMain::CloseAllItemWindows()
{
    std::vector<CProjectFrameBase*> frames = m_frames;
    for (CProjectFrameBase* frame : frames)
        frame->close();
}
