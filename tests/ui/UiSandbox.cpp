#include "tests/ui/UiSandbox.h"

namespace velmira::testing {

UiSandbox::UiSandbox(std::string_view drivesTxt) {
    for (const char* folder : {"H15", "set", "cb", "kdata"}) {
        dir_.MakeDir(std::filesystem::path("C") / "Velmira" / folder);
    }
    SetDrives(drivesTxt);
    drives_ = std::make_unique<SandboxDrives>(dir_.path());
}

void UiSandbox::SetDrives(std::string_view drivesTxt) const {
    dir_.Write("drives.txt", drivesTxt);
}

std::filesystem::path UiSandbox::Write(const std::filesystem::path& relative,
                                       std::string_view bytes) const {
    return dir_.Write(relative, bytes);
}

std::filesystem::path UiSandbox::MakeDir(const std::filesystem::path& relative) const {
    return dir_.MakeDir(relative);
}

std::filesystem::path UiSandbox::Velmira(const std::filesystem::path& relative) const {
    return dir_.path() / "C" / "Velmira" / relative;
}

}  // namespace velmira::testing
