#pragma once

#include <string>
#include <vector>

#include "drives/DriveLetterSink.h"

namespace velmira::testing {

// A drive list that keeps the letters it is given, in order.
class LetterList : public DriveLetterSink {
  public:
    void Clear() override { letters.clear(); }
    void Append(const std::string& letter) override { letters.push_back(letter); }
    std::vector<std::string> letters;
};

}  // namespace velmira::testing
