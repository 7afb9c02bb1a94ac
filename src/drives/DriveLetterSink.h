#pragma once

#include <string>

namespace velmira {

// The list a drive listing fills: the restore window's drive list.
class DriveLetterSink {
  public:
    virtual ~DriveLetterSink() = default;
    virtual void Clear() = 0;
    // letter: one upper-case letter, no colon.
    virtual void Append(const std::string& letter) = 0;
};

}  // namespace velmira
