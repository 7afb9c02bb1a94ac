#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

namespace velmira::testing {

// Makes one Win32 call of this program fail on purpose: the program's own
// import table is pointed at stand-ins that count the calls of the file
// functions a copy makes, on every thread, and fail the chosen one. The
// code under test calls Windows as it always does.
class Win32Faults {
  public:
    enum class Kind { Error, Short, Zero };  // Short, Zero: ReadFile, WriteFile
    struct Plan {
        std::string function;
        long nth = 1;  // counted from 1 since Start
        Kind kind = Kind::Error;
        DWORD error = 0;   // for SetLastError
        DWORD status = 0;  // the NTSTATUS an ntdll function returns instead
        // Every later call of the function on the same file (or name) fails
        // too, as when another program holds the file.
        bool held = false;
    };

    // Patches the import table (a function this program does not import is
    // left out); one object a program.
    Win32Faults();
    Win32Faults(const Win32Faults&) = delete;
    Win32Faults& operator=(const Win32Faults&) = delete;

    static bool MovesBytes(const std::string& function) {
        return function == "ReadFile" || function == "WriteFile";
    }

    // Counts from zero until Stop, failing the plan's call if one is given.
    void Start(const std::optional<Plan>& plan);
    void Stop();
    // The calls made, by function; "unflushed names" of files named while
    // their data had not been through a flush that worked, "unsynced names"
    // closed with no flush after their name, "on a folder" a failed flush's.
    std::map<std::string, long> Counts() const;
    bool Fired() const;
};

}  // namespace velmira::testing
