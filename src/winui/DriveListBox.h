#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "commands/Layout.h"
#include "drives/DriveLetterSink.h"

namespace velmira {

// The drive list: a LISTBOX of drive letters, one selectable at a time.
class DriveListBox : public DriveLetterSink {
  public:
    DriveListBox(HWND parent, const PixelRect& at, int id, HFONT font);

    HWND Handle() const { return hwnd_; }
    void Clear() override;
    void Append(const std::string& letter) override;
    std::size_t Count() const;
    // The selected entry's text, empty when none is selected.
    std::string Selected() const;

  private:
    HWND hwnd_;
};

}  // namespace velmira
