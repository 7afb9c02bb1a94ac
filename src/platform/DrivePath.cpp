#include "platform/DrivePath.h"

#include "platform/TextCodec.h"

namespace velmira {

std::string DrivePath::Display() const {
    std::string text(1, letter);
    text += ':';
    for (const auto& folder : folders) text += "\\" + folder;
    if (fileName) text += "\\" + NativeNameToUtf8(*fileName);
    return text;
}

DrivePath DrivePath::WithFile(std::filesystem::path name) const {
    DrivePath path = *this;
    path.fileName = std::move(name);
    return path;
}

}  // namespace velmira
