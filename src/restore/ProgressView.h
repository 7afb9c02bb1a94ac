#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "EventPump.h"
#include "FolderListing.h"

namespace velmira {

// What a restore run needs of the restore window. Widths are twips held in
// single precision.
class ProgressView {
  public:
    virtual ~ProgressView() = default;

    virtual void SetCaption(const std::string& utf8Caption) = 0;
    virtual float FrameWidth() const = 0;
    virtual float FillWidth() const = 0;
    virtual void SetFillWidth(float twips) = 0;
    // Progress panel visible, then instructions panel hidden.
    virtual void ShowProgress() = 0;
    // Instructions panel visible, then progress panel hidden.
    virtual void ShowInstructions() = 0;

    // Lists a native folder into file list `lister` by the listing rule
    // (ListBackupFiles); raises the listing's numbered error.
    virtual void ListFolder(int lister, const std::filesystem::path& nativeFolder) = 0;
    virtual std::size_t ListCount(int lister) const = 0;
    virtual ListedFile ListEntry(int lister, std::size_t index) const = 0;

    // Processes all pending window events, then returns.
    virtual void Yield() = 0;
    // The window's events, handled while a call of the run goes on aside
    // (a listing, a large copy, a flush); not one of the run's steps.
    virtual EventPump& Events() = 0;
};

}  // namespace velmira
