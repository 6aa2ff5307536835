#include "draw/DrawText.h"

IMPLEMENT_SERIAL(CDrawText, CDrawTextBase, 0)

CDrawObj* CDrawText::Clone(CDrawData* page)
{
    EndEdit();
    auto clone = std::make_unique<CDrawText>(m_position, page);
    CopyAttributes(clone.get());
    return AdoptClone(std::move(clone));
}
