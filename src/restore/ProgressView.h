#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/EventPump.h"
#include "platform/FolderListing.h"

namespace velmira {

// What a restore run needs of the restore window. Each front end's window
// implements the caption, the bar and the panels; the folder listings are
// plain lists kept here, never controls, so that no window offers
// thousands of names to an accessibility client in the middle of a run.
// Widths are twips held in single precision, read back as the window
// keeps them.
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
    // (ListBackupFiles); raises the listing's numbered error, keeping the
    // list as it was.
    virtual void ListFolder(int lister, const std::filesystem::path& nativeFolder);
    virtual std::size_t ListCount(int lister) const;
    virtual ListedFile ListEntry(int lister, std::size_t index) const;

    // Processes all pending window events, then returns.
    virtual void Yield() { Events().HandlePending(); }
    // The window's events, handled while a call of the run goes on aside
    // (a listing, a large copy, a flush); not one of the run's steps.
    // Commands that arrive meanwhile are dropped during a run.
    virtual EventPump& Events() = 0;

  private:
    std::array<std::vector<ListedFile>, 2> lists_;
};

}  // namespace velmira
