// A failed read or write of a file that data is imported from or exported
// to, told to the user by its cause: the file's name and whether it was
// being read or written.
#pragma once

#include "platform/Exceptions.h"
#include "platform/Types.h"

#include <string>

// Shows the message of the exception's cause (nothing when it has none).
void ReportFileException(const CFileException& error, const std::string& fileName, bool reading);
// The string id of a cause's message.
UINT FileExceptionMessageId(CFileException::Cause cause);
