#include "tests/restore/Win32Faults_win.h"

#include <atomic>
#include <cstring>
#include <tuple>
#include <type_traits>
#include <utility>

// Not in the headers; only its type is taken.
extern "C" LONG WINAPI NtFlushBuffersFileEx(HANDLE, ULONG, void*, ULONG, void*);

namespace velmira::testing {

namespace {

using Kind = Win32Faults::Kind;

// Every file function a copy may call.
// clang-format off
#define VELMIRA_FUNCTIONS(X)                                                                   \
    X(CreateFileW) X(ReadFile) X(WriteFile) X(SetFilePointerEx) X(GetFileInformationByHandle)  \
    X(GetFileInformationByHandleEx) X(GetFileSizeEx) X(SetFileInformationByHandle)             \
    X(SetFileTime) X(SetFileAttributesW) X(GetFileAttributesW) X(GetFileAttributesExW)         \
    X(FlushFileBuffers) X(NtFlushBuffersFileEx) X(FindFirstFileW) X(FindFirstFileExW)          \
    X(FindNextFileW) X(FindClose) X(DeleteFileW) X(MoveFileExW) X(CloseHandle)
// clang-format on

#define VELMIRA_ENUM(name) k##name,
enum Function { VELMIRA_FUNCTIONS(VELMIRA_ENUM) kFunctionCount };
#define VELMIRA_NAME(name) #name,
const char* const kNames[] = {VELMIRA_FUNCTIONS(VELMIRA_NAME)};

// The plan is written only while nothing is counted.
Win32Faults::Plan plan;
int planned = -1;
void* reals[kFunctionCount];
std::atomic<bool> armed{false};
std::atomic<long> counts[kFunctionCount];
std::atomic<bool> fired{false};
SRWLOCK heldLock = SRWLOCK_INIT;
std::wstring heldName;  // of the call that failed first
// Per open file, under heldLock: 1 data not through a flush that worked, 2 a
// name not through a flush asked for; what the counts add of them.
std::map<HANDLE, int> files;
std::map<std::string, long> noted;

// A look of the stand-ins' own, which leaves the caller's last error.
template <typename Look>
auto Quietly(const Look& look) {
    const DWORD saved = ::GetLastError();
    const auto result = look();
    ::SetLastError(saved);
    return result;
}

// What a held fault compares: the name a call takes, or the file a handle
// is open on (the handle's number for a search, which has none).
std::wstring NameOf(LPCWSTR name) {
    return name != nullptr ? name : L"";
}
std::wstring NameOf(HANDLE handle) {
    wchar_t name[1024];
    const DWORD length = ::GetFinalPathNameByHandleW(handle, name, 1024, 0);
    if (length > 0 && length < 1024) return name;
    return L"#" + std::to_wstring(reinterpret_cast<std::uintptr_t>(handle));
}
template <typename First, typename... Rest>
std::wstring NameOfFirst(First first, Rest...) {
    return NameOf(first);
}

// Notes what a call did to a file; a close before the handle goes.
template <int F, typename R, typename... A>
R Noted(R result, A... arguments) {
    if constexpr (F == kWriteFile || F == kFlushFileBuffers || F == kCloseHandle ||
                  F == kSetFileInformationByHandle) {
        const auto call = std::tuple(arguments...);
        ::AcquireSRWLockExclusive(&heldLock);
        int& file = files.try_emplace(std::get<0>(call), 1).first->second;
        if (F == kWriteFile && result) file |= 1;
        if (F == kFlushFileBuffers && (result || (file & 2))) file = 0;
        if constexpr (F == kSetFileInformationByHandle) {
            if (result && std::get<1>(call) == FileRenameInfo)
                noted["unflushed names"] += std::exchange(file, file | 2) & 1;
        }
        if (F == kCloseHandle) noted["unsynced names"] += file >> 1;
        if (F == kCloseHandle) files.erase(std::get<0>(call));
        ::ReleaseSRWLockExclusive(&heldLock);
    }
    return result;
}

bool IsFolder(HANDLE file) {
    using Real = decltype(&::GetFileInformationByHandleEx);
    FILE_BASIC_INFO basic{};
    return reinterpret_cast<Real>(reals[kGetFileInformationByHandleEx])(file, FileBasicInfo, &basic,
                                                                        sizeof basic) &&
           (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Counts the call and says how it is to fail this time, if it is.
template <typename Name>
std::optional<Kind> Decide(int function, const Name& nameOf) {
    const long n = ++counts[function];
    if (function != planned || n < plan.nth || (n > plan.nth && !plan.held)) return std::nullopt;
    if (plan.held) {
        const std::wstring name = Quietly(nameOf);
        ::AcquireSRWLockExclusive(&heldLock);
        if (n == plan.nth) heldName = name;
        const bool same = name == heldName;
        ::ReleaseSRWLockExclusive(&heldLock);
        if (!same) return std::nullopt;
    }
    fired = true;
    return plan.kind;
}

// What the function returns when it fails, by its return type.
template <typename R>
R Failure() {
    if constexpr (std::is_same_v<R, LONG>) {
        return static_cast<LONG>(plan.status);  // ntdll sets no last error
    } else {
        ::SetLastError(plan.error);
        if constexpr (std::is_same_v<R, HANDLE>) return INVALID_HANDLE_VALUE;
        if constexpr (std::is_same_v<R, DWORD>) return INVALID_FILE_ATTRIBUTES;
        if constexpr (std::is_same_v<R, BOOL>) return FALSE;
    }
}

// A read or write that moves half of what was asked (one byte at least),
// or nothing.
template <typename Real, typename Buffer>
BOOL Moved(Real real, Kind kind, HANDLE file, Buffer buffer, DWORD count, LPDWORD done,
           LPOVERLAPPED overlapped) {
    if (kind == Kind::Short)
        return real(file, buffer, count > 1 ? count / 2 : count, done, overlapped);
    if (done != nullptr) *done = 0;
    return TRUE;
}

template <int F, typename Type>
struct Stub;

template <int F, typename R, typename... A>
struct Stub<F, R(A...)> {
    static R WINAPI Call(A... arguments) {
        const auto real = reinterpret_cast<R (*)(A...)>(reals[F]);
        if (!armed.load(std::memory_order_acquire)) return real(arguments...);
        // The runtime closes events and threads too, as often as timing
        // decides: only closes of files count.
        if constexpr (F == kCloseHandle) {
            if (Quietly([&] { return ::GetFileType(arguments...); }) != FILE_TYPE_DISK) {
                return real(arguments...);
            }
            Noted<F>(TRUE, arguments...);
        }
        const auto kind = Decide(F, [&] { return NameOfFirst(arguments...); });
        if (!kind && F == kCloseHandle) return real(arguments...);
        if (!kind) return Noted<F>(real(arguments...), arguments...);
        if constexpr (F == kFlushFileBuffers) {
            const bool folder = Quietly([&] { return IsFolder(arguments...); });
            ::AcquireSRWLockExclusive(&heldLock);
            noted["on a folder"] = folder;
            ::ReleaseSRWLockExclusive(&heldLock);
            Noted<F>(FALSE, arguments...);  // asked for all the same
        }
        if constexpr (F == kReadFile || F == kWriteFile) {
            if (*kind != Kind::Error)
                return Noted<F>(Moved(real, *kind, arguments...), arguments...);
        }
        // A close that fails still closes, as a real one does.
        if constexpr (F == kCloseHandle) real(arguments...);
        return Failure<R>();
    }
};

#define VELMIRA_STUB(name) reinterpret_cast<void*>(&Stub<k##name, decltype(::name)>::Call),
void* const kStubs[] = {VELMIRA_FUNCTIONS(VELMIRA_STUB)};

template <typename T>
T* At(BYTE* base, ULONGLONG offset) {
    return reinterpret_cast<T*>(base + offset);
}

}  // namespace

// Points every import of a function in the table at its stand-in, by name,
// whichever DLL it comes from.
Win32Faults::Win32Faults() {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    const auto* nt = At<IMAGE_NT_HEADERS>(base, At<IMAGE_DOS_HEADER>(base, 0)->e_lfanew);
    const auto& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* dll = At<IMAGE_IMPORT_DESCRIPTOR>(base, imports.VirtualAddress); dll->Name != 0;
         ++dll) {
        auto* slot = At<IMAGE_THUNK_DATA>(base, dll->FirstThunk);
        for (auto* entry = At<IMAGE_THUNK_DATA>(base, dll->OriginalFirstThunk);
             entry->u1.AddressOfData != 0; ++entry, ++slot) {
            if (entry->u1.Ordinal & IMAGE_ORDINAL_FLAG64) continue;
            const char* name = At<IMAGE_IMPORT_BY_NAME>(base, entry->u1.AddressOfData)->Name;
            for (int f = 0; f < kFunctionCount; ++f) {
                if (std::strcmp(name, kNames[f]) != 0) continue;
                DWORD protection = 0;
                ::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
                reals[f] = reinterpret_cast<void*>(slot->u1.Function);
                slot->u1.Function = reinterpret_cast<ULONGLONG>(kStubs[f]);
                ::VirtualProtect(slot, sizeof *slot, protection, &protection);
            }
        }
    }
}

void Win32Faults::Start(const std::optional<Plan>& next) {
    Stop();
    plan = next.value_or(Plan{});
    planned = -1;
    for (int f = 0; f < kFunctionCount; ++f) {
        if (next && plan.function == kNames[f]) planned = f;
        counts[f] = 0;
    }
    fired = false;
    heldName.clear();
    files.clear();
    noted.clear();
    armed.store(true, std::memory_order_release);
}

void Win32Faults::Stop() {
    armed.store(false, std::memory_order_release);
}

std::map<std::string, long> Win32Faults::Counts() const {
    std::map<std::string, long> made;
    for (int f = 0; f < kFunctionCount; ++f) {
        if (counts[f] > 0) made[kNames[f]] = counts[f];
    }
    for (const auto& [what, count] : noted) {
        if (count > 0) made[what] = count;
    }
    return made;
}

bool Win32Faults::Fired() const {
    return fired;
}

}  // namespace velmira::testing
