// Holds a file open for a while as a virus scanner or the search indexer
// does just after the file was written: for reading, shared with readers
// and writers but not with deletion, so that nothing can replace it
// meanwhile.
//   file-holder PATH MILLISECONDS
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    // The test's own probe for the hold may have the file open for a moment.
    HANDLE held = INVALID_HANDLE_VALUE;
    for (int tries = 0; held == INVALID_HANDLE_VALUE && tries < 1000; ++tries) {
        held = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (held == INVALID_HANDLE_VALUE && GetLastError() != ERROR_SHARING_VIOLATION) return 1;
        if (held == INVALID_HANDLE_VALUE) Sleep(1);
    }
    if (held == INVALID_HANDLE_VALUE) return 1;
    Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    CloseHandle(held);
    return 0;
}
