#include "grid/widgets/EditCellNoSpace.h"

#include "grid/widgets/GridEditWnd.h"
#include "platform/Reporter.h"

IMPLEMENT_DYNCREATE(CEditCellNoSpace, CEditCell)

bool CEditCellNoSpace::IsSymbolChar(char32_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

void CEditCellNoSpace::FilterEditor()
{
    if (auto* editor = dynamic_cast<CGridTextEditor*>(GetEditor()); editor && editor->GetWindow())
        editor->GetWindow()->SetCharFilter(&CEditCellNoSpace::IsSymbolChar);
}

void CEditCellNoSpace::OnChar(UINT ch, UINT repeat, UINT flags)
{
    const bool control = ch < 0x20 || ch == 0x7F;
    if (!control && !IsSymbolChar(char32_t(ch))) {
        MessageBeep(0);
        return;
    }
    CEditCell::OnChar(ch, repeat, flags);
    FilterEditor();
}

void CEditCellNoSpace::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    CEditCell::OnKeyDown(key, repeat, flags);
    FilterEditor();
}

void CEditCellNoSpace::OnLButtonDblClk(UINT flags, POINT point)
{
    CEditCell::OnLButtonDblClk(flags, point);
    FilterEditor();
}

int CEditCellNoSpace::EditCell()
{
    const int result = CEditCell::EditCell();
    FilterEditor();
    return result;
}
