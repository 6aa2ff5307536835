// The clipboard as the model sees it: a set of formats, each named by a MIME
// type and holding bytes. The program installs one over the desktop's
// clipboard; without it a clipboard inside the process serves (tests).
#pragma once

#include "platform/Types.h"

#include <map>
#include <string>
#include <vector>

using ClipboardFormats = std::map<std::string, std::vector<BYTE>>;

// The private workspace formats.
inline constexpr const char* kWorkspaceDataFormat = "application/x-marlox-workspace-data";
inline constexpr const char* kPrivateDragFormat = "application/x-marlox-private";

class CClipboard {
public:
    virtual ~CClipboard() = default;
    // Replaces the clipboard's contents; false when the clipboard could not be written.
    virtual bool SetData(const ClipboardFormats& formats) = 0;
    virtual bool HasFormat(const std::string& format) const = 0;
    // The bytes of a format; empty when it is missing.
    virtual std::vector<BYTE> GetData(const std::string& format) const = 0;
};

CClipboard& GetClipboard();
// Installs a clipboard; null restores the one inside the process. Returns the previous one.
CClipboard* SetClipboard(CClipboard* clipboard);
