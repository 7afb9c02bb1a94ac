#pragma once

#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
// winbase.h defines Yield() as nothing, which would erase ProgressView::Yield.
#undef Yield
#endif

// What the tests need to know of the platform they run on.
namespace velmira::testing {

#ifdef _WIN32
inline constexpr bool kOnWindows = true;
// Windows folders do not tell names apart by case: B.INI would be b.ini.
inline constexpr bool kNamesDifferByCase = false;

// Whether the tests run under Wine. Wine looks names up without regard to
// case by scanning the folder, so making tens of thousands of files in one
// folder takes many minutes there; such tests are left to Linux and Windows.
inline bool UnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Hides a file as the platform hides files: on Windows by its attribute (a
// leading dot means nothing there), on Linux by its leading dot.
inline void MarkHidden(const std::filesystem::path& file) {
    ::SetFileAttributesW(file.c_str(), ::GetFileAttributesW(file.c_str()) | FILE_ATTRIBUTE_HIDDEN);
}
#else
inline constexpr bool kOnWindows = false;
inline constexpr bool kNamesDifferByCase = true;
inline bool UnderWine() {
    return false;
}
inline void MarkHidden(const std::filesystem::path&) {}
#endif

// Whether the drives of the Wine prefix made by scripts/test-windows are
// there: A removable, D CD-ROM, F removable (each with a medium), G
// removable without one, and F:\many holding 40,000 empty files.
inline bool WineDrivesPresent() {
    return UnderWine() && std::getenv("VELMIRA_TEST_WINE_DRIVES") != nullptr;
}

}  // namespace velmira::testing
