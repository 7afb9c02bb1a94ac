#pragma once

#include <string>
#include <string_view>

namespace velmira {

// UTF-8 texts of the flow as the wide strings the W APIs take.
std::wstring WideText(std::string_view utf8);

}  // namespace velmira
