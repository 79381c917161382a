// Process-wide interception of the eight USER32 scroll-bar functions: windows
// whose scroll bars the skin draws itself answer those calls from their
// record, every other window gets the system's own answer.
#pragma once

namespace Velmora {

// Routes every call of SetScrollInfo, GetScrollInfo, SetScrollPos, GetScrollPos,
// SetScrollRange, GetScrollRange, ShowScrollBar and EnableScrollBar in this
// process through the library's interceptors. Installing again while installed
// changes nothing. False when the functions could not be patched; then nothing
// is patched.
bool InstallScrollBarInterception();

// Gives the eight functions back their own entries; nothing when not installed.
void RemoveScrollBarInterception();

// How many calls have reached the interceptors since the process started.
unsigned long ScrollBarInterceptionCalls();

} // namespace Velmora
