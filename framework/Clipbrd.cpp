#include "Clipbrd.h"

#include "SysUtils.h"

#include <cstring>

namespace pw {

TClipboard* Clipboard()
{
    static TClipboard clipboard;
    return &clipboard;
}

std::string TClipboard::AsText() const
{
    std::string r;
    if (!OpenClipboard(nullptr)) return r;
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(h))) {
            r = p;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return r;
}

void TClipboard::SetAsText(const std::string& Text)
{
    if (!OpenClipboard(nullptr)) throw EOutOfResources("Cannot open clipboard");
    EmptyClipboard();
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, Text.size() + 1);
    if (g) {
        std::memcpy(GlobalLock(g), Text.c_str(), Text.size() + 1);
        GlobalUnlock(g);
        if (!SetClipboardData(CF_TEXT, g)) GlobalFree(g);
    }
    CloseClipboard();
}

} // namespace pw
