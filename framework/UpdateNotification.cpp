#include "framework/UpdateNotification.h"

IMPLEMENT_DYNAMIC(CUpdateNotification, CObject)

CUpdateNotification::CUpdateNotification(int kind, int first, int count, CMXProjectItem* item)
    : kind(kind), item(item), first(first), count(count)
{
}

CUpdateNotification::CUpdateNotification(int kind, std::vector<CColumnRef>* columns, CMXProjectItem* item)
    : kind(kind), item(item), columns(columns)
{
}
