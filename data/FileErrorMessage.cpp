#include "data/FileErrorMessage.h"

#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

UINT FileExceptionMessageId(CFileException::Cause cause)
{
    switch (cause) {
    case CFileException::genericException: return IDS_FILE_GENERIC;
    case CFileException::fileNotFound: return IDS_FILE_NOT_FOUND;
    case CFileException::badPath: return IDS_FILE_BAD_PATH;
    case CFileException::tooManyOpenFiles: return IDS_FILE_TOO_MANY_OPEN;
    case CFileException::accessDenied: return IDS_FILE_ACCESS_DENIED;
    case CFileException::invalidFile: return IDS_FILE_INVALID;
    case CFileException::removeCurrentDir: return IDS_FILE_REMOVE_CURRENT_DIR;
    case CFileException::directoryFull: return IDS_FILE_DIRECTORY_FULL;
    case CFileException::badSeek: return IDS_FILE_BAD_SEEK;
    case CFileException::hardIO: return IDS_FILE_HARD_IO;
    case CFileException::sharingViolation: return IDS_FILE_SHARING;
    case CFileException::lockViolation: return IDS_FILE_LOCKED;
    case CFileException::diskFull: return IDS_FILE_DISK_FULL;
    case CFileException::endOfFile: return IDS_FILE_END_OF_FILE;
    default: return IDS_FILE_OTHER_ERROR;
    }
}

void ReportFileException(const CFileException& error, const std::string& fileName, bool reading)
{
    if (error.m_cause == CFileException::none)
        return;
    const UINT id = FileExceptionMessageId(error.m_cause);
    const std::string action = LoadString(reading ? IDS_FILE_READING : IDS_FILE_WRITING);
    ReportMessage(id, {action, fileName}, MB_OK | MB_ICONEXCLAMATION, id);
}
