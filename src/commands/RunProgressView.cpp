#include "RunProgressView.h"

#include "CallThread.h"
#include "FolderListing.h"

namespace velmira {

void RunProgressView::ListFolder(int lister, const std::filesystem::path& nativeFolder) {
    // A folder of many thousand files on a slow stick takes seconds to list:
    // the window keeps processing its events meanwhile.
    std::vector<ListedFile> files;
    CallThread thread;
    thread.Run([&] { files = ListBackupFiles(nativeFolder); }, &panels_.Events());
    lists_.at(static_cast<std::size_t>(lister)) = std::move(files);
}

std::size_t RunProgressView::ListCount(int lister) const {
    return List(lister).size();
}

ListedFile RunProgressView::ListEntry(int lister, std::size_t index) const {
    return List(lister).at(index);
}

const std::vector<ListedFile>& RunProgressView::List(int lister) const {
    return lists_.at(static_cast<std::size_t>(lister));
}

}  // namespace velmira
