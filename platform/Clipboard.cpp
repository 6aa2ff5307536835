#include "platform/Clipboard.h"

namespace {

class MemoryClipboard : public CClipboard {
public:
    bool SetData(const ClipboardFormats& formats) override
    {
        m_formats = formats;
        return true;
    }
    bool HasFormat(const std::string& format) const override { return m_formats.count(format) != 0; }
    std::vector<BYTE> GetData(const std::string& format) const override
    {
        auto it = m_formats.find(format);
        return it == m_formats.end() ? std::vector<BYTE>() : it->second;
    }

private:
    ClipboardFormats m_formats;
};

MemoryClipboard g_memoryClipboard;
CClipboard* g_clipboard = nullptr;

} // namespace

CClipboard& GetClipboard() { return g_clipboard ? *g_clipboard : g_memoryClipboard; }

CClipboard* SetClipboard(CClipboard* clipboard)
{
    CClipboard* previous = g_clipboard;
    g_clipboard = clipboard;
    return previous;
}
