#pragma once

#include <QListWidget>
#include <cstddef>
#include <filesystem>
#include <vector>

#include "FolderListing.h"

namespace velmira {

// A list of the files of one folder, taken by the backup listing rule when
// the folder is assigned. The names are kept exactly as the system listed
// them, so a name that is not valid text still copies to itself.
class FileListBox : public QListWidget {
  public:
    explicit FileListBox(QWidget* parent);

    // Lists the native folder; raises the listing's numbered error and then
    // keeps the previous list.
    void SetFolder(const std::filesystem::path& folder);

    std::size_t EntryCount() const { return files_.size(); }
    const ListedFile& Entry(std::size_t index) const { return files_.at(index); }

  private:
    std::vector<ListedFile> files_;
};

}  // namespace velmira
