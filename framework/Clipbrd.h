// The clipboard.
#pragma once
#include "WinApi.h"

#include <string>

namespace pw {

class TClipboard {
public:
    bool HasFormat(UINT Format) const { return IsClipboardFormatAvailable(Format) != 0; }
    std::string AsText() const;
    void SetAsText(const std::string& Text);
};

TClipboard* Clipboard();

} // namespace pw
