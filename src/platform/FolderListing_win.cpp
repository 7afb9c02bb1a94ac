#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/FindHandle_win.h"
#include "platform/FolderListing.h"
#include "platform/OsError.h"
#include "platform/TextCodec.h"

namespace velmira {

namespace {

// Folders, hidden and system entries are not listed; neither are reparse
// points (links), which are never followed, as on Linux.
bool IsListed(const WIN32_FIND_DATAW& entry) {
    constexpr DWORD kExcluded = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                                FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT |
                                FILE_ATTRIBUTE_DEVICE;
    return (entry.dwFileAttributes & kExcluded) == 0;
}

// Code point order of UTF-16 text, the order Linux gives UTF-8 names: plain
// code unit order would put U+10000 and above before U+E000..U+FFFF.
char32_t OrderKey(wchar_t unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) return static_cast<char32_t>(unit) + 0x2000;
    if (unit >= 0xE000) return static_cast<char32_t>(unit) - 0x800;
    return unit;
}

bool CodePointLess(const std::wstring& left, const std::wstring& right) {
    return std::lexicographical_compare(
        left.begin(), left.end(), right.begin(), right.end(),
        [](wchar_t a, wchar_t b) { return OrderKey(a) < OrderKey(b); });
}

}  // namespace

std::vector<ListedFile> ListBackupFiles(const std::filesystem::path& folder) {
    const std::wstring pattern = (folder / L"*").native();
    WIN32_FIND_DATAW entry{};
    FindHandle find(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    std::vector<ListedFile> files;
    if (find.get() == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        // Nothing matched: an empty folder at a drive's root, which has no
        // "." entry.
        if (code == ERROR_FILE_NOT_FOUND) return {};
        throw ErrorFromOs(static_cast<int>(code), NativeNameToUtf8(folder), LookingFor::Folder);
    }
    for (;;) {
        if (IsListed(entry)) {
            const std::uintmax_t size =
                (static_cast<std::uintmax_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
            files.push_back({entry.cFileName, size});
        }
        if (!::FindNextFileW(find.get(), &entry)) {
            const DWORD code = ::GetLastError();
            if (code == ERROR_NO_MORE_FILES) break;
            throw ErrorFromOs(static_cast<int>(code), NativeNameToUtf8(folder), LookingFor::Folder);
        }
    }
    std::sort(files.begin(), files.end(), [](const ListedFile& left, const ListedFile& right) {
        return CodePointLess(left.name.native(), right.name.native());
    });
    return files;
}

}  // namespace velmira
