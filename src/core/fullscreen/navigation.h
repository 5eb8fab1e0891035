#pragma once

namespace harpoly {

// The entry the full-screen view steps to. Both wrap around: next on the last
// entry gives the first, previous on the first gives the last. With an empty
// list the result is -1 (nothing to show). With no current item (index -1)
// next gives the first entry and previous the last.
int nextEntry(int current, int count);
int previousEntry(int current, int count);

// One scroll step of the full-screen view (arrow key or wheel notch), clamped
// to the scroll bar's range 0..maximum.
inline constexpr int kScrollStep = 15;
int scrolledBy(int value, int delta, int maximum);

} // namespace harpoly
