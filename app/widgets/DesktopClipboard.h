// The desktop's clipboard as the model sees it: formats as MIME types.
#pragma once

#include "platform/Clipboard.h"

class CDesktopClipboard : public CClipboard {
public:
    bool SetData(const ClipboardFormats& formats) override;
    bool HasFormat(const std::string& format) const override;
    std::vector<BYTE> GetData(const std::string& format) const override;
};
