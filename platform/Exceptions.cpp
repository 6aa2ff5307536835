#include "platform/Exceptions.h"

#include <cerrno>
#include <cstring>

namespace {

std::string ArchiveCauseText(CArchiveException::Cause cause)
{
    switch (cause) {
    case CArchiveException::none: return "No error.";
    case CArchiveException::genericException: return "The file is damaged or in an unexpected format.";
    case CArchiveException::readOnly: return "An attempt was made to write to an archive opened for loading.";
    case CArchiveException::endOfFile: return "The file ended unexpectedly.";
    case CArchiveException::writeOnly: return "An attempt was made to read from an archive opened for storing.";
    case CArchiveException::badIndex: return "The file holds an invalid object reference.";
    case CArchiveException::badClass: return "The file holds an object of an unexpected kind.";
    case CArchiveException::badSchema: return "The file holds an object of an unsupported version.";
    }
    return "Archive error.";
}

} // namespace

CArchiveException::CArchiveException(Cause cause, std::string fileName, std::string text)
    : CException(text.empty() ? ArchiveCauseText(cause) : std::move(text))
    , m_cause(cause)
    , m_strFileName(std::move(fileName))
{
}

CFileException::CFileException(Cause cause, int osError, std::string fileName)
    : CException(osError ? std::string(std::strerror(osError)) + (fileName.empty() ? "" : ": " + fileName)
                         : "File error" + (fileName.empty() ? std::string() : ": " + fileName))
    , m_cause(cause)
    , m_lOsError(osError)
    , m_strFileName(std::move(fileName))
{
}

CFileException::Cause CFileException::CauseFromErrno(int error)
{
    switch (error) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS: return accessDenied;
    case EISDIR: return invalidFile;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return diskFull;
    case EIO: return hardIO;
    case ESPIPE:
    case EINVAL: return badSeek;
    case EBUSY:
    case ETXTBSY: return sharingViolation;
    default: return genericException;
    }
}

void ThrowArchiveError(CArchiveException::Cause cause, std::string text)
{
    throw CArchiveException(cause, {}, std::move(text));
}
