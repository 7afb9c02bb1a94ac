#pragma once

namespace velmira {

// The system's dots per inch, which lays out the windows in pixels.
int ScreenDpi();

}  // namespace velmira
