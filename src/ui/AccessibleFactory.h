#pragma once

namespace velmira {

// Offers the windows' own controls to screen readers in the roles they
// play: label-buttons as push buttons, the bar as a progress bar. Safe to
// call more than once.
void InstallAccessibleFactory();

}  // namespace velmira
