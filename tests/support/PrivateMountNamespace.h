#pragma once

#include <functional>
#include <optional>
#include <string>

namespace velmira::testing {

// Runs check in a child process with a mount namespace of its own, where it
// may mount and unmount without touching the machine; everything mounted
// goes with the child. check returns "" when all went well, else what went
// wrong. The result is check's, or nullopt when this machine allows no
// such namespace.
std::optional<std::string> InPrivateMountNamespace(const std::function<std::string()>& check);

}  // namespace velmira::testing
