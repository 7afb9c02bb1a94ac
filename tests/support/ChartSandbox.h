#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace velmira::testing {

// The outline of a chart restore's sandbox under faults, shared by both
// platforms' sweeps: drives C and F, the four chart folders, a file in one
// of them, one beside them and one in the backup that no restore may touch,
// and the backup's chart files, each with or without an old copy. Each
// platform gives the files, puts their old copies and says what a file's
// state and an entry's stamp are.
class ChartSandbox {
  public:
    struct ChartFile {
        std::string name;
        std::string folder;  // H15 or set
        std::string content;
        std::optional<std::string> old;  // none: no old destination
        bool readOnly = false;           // the old destination is read-only
    };
    enum class State { Old, New, Neither };

    virtual ~ChartSandbox() = default;

    const std::filesystem::path& path() const { return dir_.path(); }
    const std::vector<ChartFile>& files() const { return files_; }
    std::filesystem::path Source(const ChartFile& file) const;
    // Built as the restore builds it, so that an error's path compares.
    std::filesystem::path Destination(const ChartFile& file) const;
    // New or old by what the destination holds ("<missing>": nothing).
    static State ByContent(const ChartFile& file, const std::string& content);

    // The stamps of everything but the chart files, and but the restore's
    // own new files unless told; as the sandbox was made (without those),
    // and now.
    const std::map<std::string, std::string>& outside() const { return outside_; }
    std::map<std::string, std::string> Outside(bool newFilesToo = false) const;

  protected:
    // The sources written, sorted by name; the destinations left to the
    // platform, which then calls KeepOutside.
    ChartSandbox(const std::filesystem::path& parent, std::vector<ChartFile> files);
    void KeepOutside() { outside_ = Outside(); }
    virtual std::string Stamp(const std::filesystem::directory_entry& entry) const = 0;

    TempDir dir_;
    std::vector<ChartFile> files_;

  private:
    std::map<std::string, std::string> outside_;
};

}  // namespace velmira::testing
