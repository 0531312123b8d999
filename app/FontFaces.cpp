#include "FontFaces.h"

#include "Controls.h"
#include "Graphics.h"
#include "WinApi.h"

#include <cstdint>

namespace pw {

namespace {

int CALLBACK AddFace(const LOGFONTA* lf, const TEXTMETRICA*, DWORD fontType, LPARAM data)
{
    return Firewall<int>(
        [&]() -> int {
            auto* list = reinterpret_cast<TStringList*>(data);
            // The same face arrives once per character set, one after the other.
            std::string face = lf->lfFaceName;
            if (list->Count() > 0 && list->Strings(list->Count() - 1) == face) return 1;
            intptr_t kind = (fontType & TRUETYPE_FONTTYPE) ? 2 : 1;
            list->AddObject(face, reinterpret_cast<TObject*>(kind));
            return 1;
        },
        0); // an error ends the enumeration
}

} // namespace

void EnumerateFontFaces(TStringList& List)
{
    TStringList faces; // unsorted while it is filled
    {
        TWindowDC screen(nullptr);
        LOGFONTA lf = {};
        lf.lfCharSet = DEFAULT_CHARSET;
        EnumFontFamiliesExA(screen.Get(), &lf, AddFace, reinterpret_cast<LPARAM>(&faces), 0);
    }
    faces.Sort();
    List.BeginUpdate();
    List.Clear();
    for (int i = 0; i < faces.Count(); ++i) {
        // A face whose character sets were not reported one after the other is listed once too.
        if (i > 0 && faces.Strings(i) == faces.Strings(i - 1)) continue;
        List.AddObject(faces.Strings(i), faces.Objects(i));
    }
    List.EndUpdate();
}

} // namespace pw
