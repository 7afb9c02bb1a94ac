#include "commands/MainCommands.h"

#include "commands/ScopedFlag.h"
#include "commands/WindowTexts.h"
#include "settings/SitePrefecture.h"

namespace velmira {

void MainCommands::Form_Load() {
    window_.SetLabelTexts(std::string(texts::kMainLabel1), std::string(texts::kMainLabel2));
    LoadSitePrefecture(drives_);
}

void MainCommands::Command1_Click(int index) {
    if (index == 0) {
        // A new window each time, so its drive list and options start afresh.
        const ScopedFlag open(restoreWindowOpen_);
        window_.ShowRestoreWindow();
    } else {
        window_.Close();
    }
}

}  // namespace velmira
