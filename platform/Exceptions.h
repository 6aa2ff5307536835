// Exceptions of the file and archive layer. They are thrown by value and
// carry a cause code that callers branch on, as the stored-file code expects.
#pragma once

#include <exception>
#include <string>

class CException : public std::exception {
public:
    const char* what() const noexcept override { return m_text.c_str(); }
    const std::string& GetText() const { return m_text; }

protected:
    explicit CException(std::string text) : m_text(std::move(text)) {}
    std::string m_text;
};

class CArchiveException : public CException {
public:
    enum Cause {
        none,
        genericException,
        readOnly,
        endOfFile,
        writeOnly,
        badIndex,
        badClass,
        badSchema,
    };

    explicit CArchiveException(Cause cause, std::string fileName = {}, std::string text = {});

    Cause m_cause;
    std::string m_strFileName;
};

class CFileException : public CException {
public:
    enum Cause {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    CFileException(Cause cause, int osError = 0, std::string fileName = {});

    // The cause that matches an errno value.
    static Cause CauseFromErrno(int error);

    Cause m_cause;
    int m_lOsError;
    std::string m_strFileName;
};

// Throws a generic archive exception; the usual answer to a damaged record.
[[noreturn]] void ThrowArchiveError(CArchiveException::Cause cause = CArchiveException::genericException,
                                    std::string text = {});
