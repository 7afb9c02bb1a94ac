#include "winui/JapaneseFace.h"

#include <windows.h>

namespace velmira {

namespace {

// Meiryo UI first: of the Japanese UI faces the most legible at 9 points
// as GDI draws them, and near MS PGothic in width. Yu Gothic UI next, which
// every Windows 10 and 11 has whatever its display language. MS UI Gothic
// last: it comes in the same font file as MS PGothic, so it is seldom there
// when that is not.
constexpr std::wstring_view kFallbacks[] = {L"Meiryo UI", L"Yu Gothic UI", L"MS UI Gothic"};

int CALLBACK Found(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

}  // namespace

JapaneseFace::JapaneseFace(std::wstring_view wanted) : name_(wanted) {
    if (Installed(wanted)) return;
    for (const std::wstring_view face : kFallbacks) {
        if (Installed(face)) {
            name_ = face;
            return;
        }
    }
    // No Japanese face at all: the mapper's choice for the character set is
    // as good as any.
}

bool JapaneseFace::Installed(std::wstring_view face) {
    if (face.empty() || face.size() >= LF_FACESIZE) return false;
    // Enumerating by name and character set finds that face in that set or
    // nothing, where creating a font would give some other face instead.
    LOGFONTW query{};
    query.lfCharSet = SHIFTJIS_CHARSET;
    face.copy(query.lfFaceName, face.size());
    bool found = false;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &query, Found, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

}  // namespace velmira
