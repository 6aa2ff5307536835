// The program's side of the filter call-backs: the table they act on, kept
// apart from the shared text buffer, and the registry of clipboard formats
// that filters name.
#pragma once

#include "data/FilterApi.h"

#include <string>

class CMyData;

// The table the call-backs act on (null: none; every call-back then answers 0).
void SetFilterTable(CMyData* table);
CMyData* GetFilterTable();

// The MIME type of a format id that a filter registered; empty for an unknown id.
std::string FilterClipboardMimeType(unsigned format);
