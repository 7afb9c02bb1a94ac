#include "tests/support/RecordingView.h"

#include "platform/FolderListing.h"

namespace velmira::testing {

void RecordingView::SetCaption(const std::string& utf8Caption) {
    caption = utf8Caption;
    log.push_back("caption " + utf8Caption);
}

void RecordingView::SetFillWidth(float twips) {
    fill = twips;
    log.push_back("fill");
}

void RecordingView::ShowProgress() {
    progressVisible = true;
    instructionsVisible = false;
    log.push_back("show progress");
}

void RecordingView::ShowInstructions() {
    instructionsVisible = true;
    progressVisible = false;
    log.push_back("show instructions");
}

void RecordingView::ListFolder(int lister, const std::filesystem::path& nativeFolder) {
    log.push_back("list " + std::to_string(lister));
    lists_[lister] = ListBackupFiles(nativeFolder);
}

std::size_t RecordingView::ListCount(int lister) const {
    const auto found = lists_.find(lister);
    return found == lists_.end() ? 0 : found->second.size();
}

ListedFile RecordingView::ListEntry(int lister, std::size_t index) const {
    return lists_.at(lister).at(index);
}

void RecordingView::Yield() {
    log.push_back("yield");
    fillAfterYield.push_back(fill);
    if (onYield) onYield(yields_);
    ++yields_;
}

}  // namespace velmira::testing
