// File/Properties of a workspace: the General, Summary and Statistics pages.
#pragma once

#include "platform/Types.h"

#include <string>

class CProjectDocBase;
class COptionsSheet;
class QWidget;

// Builds the sheet, filled from the document's summary information.
COptionsSheet* CreateFilePropertiesSheet(QWidget* parent, CProjectDocBase& document, UINT resourceId,
                                         const std::string& fileType);
// After OK: writes the edited summary texts back and marks the document modified.
void StoreFileProperties(COptionsSheet& sheet, CProjectDocBase& document);
// Runs the sheet; true when it ended with OK.
bool ShowFileProperties(QWidget* parent, CProjectDocBase& document, UINT resourceId, const std::string& fileType);
