#include "restore/ProgressView.h"

#include "platform/CallThread.h"

namespace velmira {

void ProgressView::ListFolder(int lister, const std::filesystem::path& nativeFolder) {
    // A folder of many thousand files on a slow stick takes seconds to list:
    // the window keeps processing its events meanwhile.
    std::vector<ListedFile> files;
    CallThread thread;
    thread.Run([&] { files = ListBackupFiles(nativeFolder); }, &Events());
    lists_.at(static_cast<std::size_t>(lister)) = std::move(files);
}

std::size_t ProgressView::ListCount(int lister) const {
    return lists_.at(static_cast<std::size_t>(lister)).size();
}

ListedFile ProgressView::ListEntry(int lister, std::size_t index) const {
    return lists_.at(static_cast<std::size_t>(lister)).at(index);
}

}  // namespace velmira
