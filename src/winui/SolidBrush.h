#pragma once

#include <windows.h>

#include <cstdint>

namespace velmira {

// An owned solid brush of one 0x00BBGGRR colour.
class SolidBrush {
  public:
    explicit SolidBrush(std::uint32_t bgr) : brush_(CreateSolidBrush(bgr)), color_(bgr) {}
    ~SolidBrush() { DeleteObject(brush_); }
    SolidBrush(const SolidBrush&) = delete;
    SolidBrush& operator=(const SolidBrush&) = delete;

    HBRUSH Handle() const { return brush_; }
    std::uint32_t Color() const { return color_; }

  private:
    HBRUSH brush_;
    std::uint32_t color_;
};

}  // namespace velmira
