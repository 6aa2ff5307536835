#include "ui/widgets/MainToolBar.h"

#include "framework/widgets/PrinterWindows.h"
#include "ui/widgets/CharFormatView.h"
#include "ui/widgets/FontNameCombo.h"

#include <algorithm>

namespace {
std::vector<CMainToolBar*>& List()
{
    static std::vector<CMainToolBar*> list;
    return list;
}
}  // namespace

CMainToolBar::CMainToolBar(QWidget* parent) : CFontToolBar(parent)
{
    List().push_back(this);
    CPrinterWindows::Add(this);
}

CMainToolBar::~CMainToolBar()
{
    CPrinterWindows::Remove(this);
    List().erase(std::remove(List().begin(), List().end(), this), List().end());
}

bool CMainToolBar::event(QEvent* event)
{
    if (event->type() == CPrinterWindows::ChangedEvent()) {
        if (NameCombo())
            NameCombo()->Fill();
        return true;
    }
    return CFontToolBar::event(event);
}

const std::vector<CMainToolBar*>& CMainToolBar::ToolBars() { return List(); }

void CMainToolBar::PrinterChanged()
{
    for (CMainToolBar* bar : List()) {
        QEvent notice(CPrinterWindows::ChangedEvent());
        bar->event(&notice);
    }
}

QWidget* CMainToolBar::GetActiveView() { return m_provider ? m_provider() : nullptr; }

void CMainToolBar::SetCharFormat(const CHARFORMAT& format)
{
    if (auto* view = dynamic_cast<CCharFormatView*>(GetActiveView()))
        view->SetViewCharFormat(format);
}

bool CMainToolBar::GetCharFormat(CHARFORMAT& format)
{
    auto* view = dynamic_cast<CCharFormatView*>(GetActiveView());
    return view && view->GetViewCharFormat(format);
}
