#pragma once

#include <stdexcept>
#include <string>

namespace velmira {

// The error numbers the program raises. Only DeviceUnavailable changes what
// the operator is told; the others are kept apart for the start-up report.
enum class ErrorNumber : int {
    Overflow = 6,
    DivisionByZero = 11,
    FileNotFound = 53,
    DeviceIoError = 57,
    DiskFull = 61,
    InputPastEndOfFile = 62,
    DeviceUnavailable = 68,
    PermissionDenied = 70,
    PathFileAccessError = 75,
    PathNotFound = 76,
};

// A failure that carries a number and a description, raised by every failing
// platform operation and by arithmetic faults, and caught by an error trap.
class NumberedError : public std::runtime_error {
  public:
    // detail names what failed (a path, a line); it is kept apart from the
    // standard description so that a report can show both.
    NumberedError(ErrorNumber number, std::string detail = {});

    ErrorNumber number() const noexcept { return number_; }
    int code() const noexcept { return static_cast<int>(number_); }
    // The standard Japanese description of the number.
    const std::string& description() const noexcept { return description_; }
    const std::string& detail() const noexcept { return detail_; }

    static std::string DescriptionOf(ErrorNumber number);

  private:
    ErrorNumber number_;
    std::string description_;
    std::string detail_;
};

}  // namespace velmira
