#pragma once

#include <string>
#include <string_view>

namespace velmira {

// The face a font of the windows is made with: the one asked for when this
// PC has it with Japanese glyphs, else the first of the system's Japanese
// UI faces that it has. A name the PC does not know would leave the choice
// to the font mapper, which may pick a face without Japanese glyphs.
class JapaneseFace {
  public:
    explicit JapaneseFace(std::wstring_view wanted);

    const std::wstring& Name() const { return name_; }

    // Whether the face is installed with the Japanese character set.
    static bool Installed(std::wstring_view face);

  private:
    std::wstring name_;
};

}  // namespace velmira
