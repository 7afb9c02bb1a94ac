#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "BaseModule.h"
#include "DriveSource.h"
#include "FolderDrives.h"
#include "RecordingWindow.h"
#include "RestoreCommands.h"
#include "TempDir.h"

namespace velmira::testing {

// The machine's drives as a fixed table.
class TableDriveSource : public DriveSource {
  public:
    void ForEachDrive(const std::function<void(const DriveEntry&)>& visit) override {
        for (const DriveEntry& entry : entries) visit(entry);
    }
    std::vector<DriveEntry> entries{{'C', DriveType::Fixed},
                                    {'D', DriveType::CdRom},
                                    {'F', DriveType::Removable},
                                    {'G', DriveType::Removable}};
};

// Drive C with the chart system's four folders and drive F, both in a
// temporary folder; G is listed but has no medium.
class CommandsTest : public ::testing::Test {
  protected:
    CommandsTest() {
        for (const char* folder : {"H15", "set", "cb", "kdata"}) dir.MakeDir(Velmira(folder));
        dir.MakeDir("F");
        drives.roots = {{'C', dir.path() / "C"}, {'F', dir.path() / "F"}};
        BaseModule::SitePrefecture = "茨城県";
    }

    std::filesystem::path Velmira(const std::filesystem::path& relative) const {
        return dir.path() / "C" / "Velmira" / relative;
    }
    void Write(const std::filesystem::path& relative, std::string_view bytes = "data") const {
        dir.Write(relative, bytes);
    }

    TempDir dir;
    FolderDrives drives;
    TableDriveSource source;
    RecordingWindow window;
    RestoreCommands commands{window, drives, source};
};

}  // namespace velmira::testing
