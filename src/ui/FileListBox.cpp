#include "FileListBox.h"

#include "FolderListing.h"
#include "TextCodec.h"

namespace velmira {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    // The lists sit outside the visible window; tabbing into them would
    // leave the focus where the operator cannot see it.
    setFocusPolicy(Qt::NoFocus);
}

void FileListBox::SetFolder(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> names = ListBackupFiles(folder);
    clear();
    for (const auto& name : names) addItem(QString::fromStdString(NativeNameToUtf8(name)));
    names_ = std::move(names);
}

}  // namespace velmira
