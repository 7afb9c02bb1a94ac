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
    std::vector<ListedFile> files = ListBackupFiles(folder);
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(files.size()));
    for (const auto& file : files)
        texts.append(QString::fromStdString(NativeNameToUtf8(file.name)));
    clear();
    addItems(texts);
    files_ = std::move(files);
}

}  // namespace velmira
