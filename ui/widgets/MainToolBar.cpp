#include "ui/widgets/MainToolBar.h"

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

CMainToolBar::CMainToolBar(QWidget* parent) : CFontToolBar(parent) { List().push_back(this); }

CMainToolBar::~CMainToolBar() { List().erase(std::remove(List().begin(), List().end(), this), List().end()); }

const std::vector<CMainToolBar*>& CMainToolBar::ToolBars() { return List(); }

void CMainToolBar::PrinterChanged()
{
    for (CMainToolBar* bar : List())
        if (bar->NameCombo())
            bar->NameCombo()->Fill();
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
