// The printing tips of the status window's "Tip of the day" box and their
// rotation. Texts are Windows-1252.
#pragma once

namespace statmon {

constexpr int kTipCount = 11;

// The tips in the order they are shown.
extern const char* const kTips[kTipCount];

// Index of the next tip to show; 0 at start, process-wide, touched only on
// the user-interface thread.
extern int nTipIndex;

// The tip at nTipIndex; nTipIndex then advances by one. Used once by the
// status window's initialisation. An index outside the table (which the
// rotation never produces) starts over at tip 0.
const char* NextTip();

// The same for the show command: an index of kTipCount or more first goes
// back to 0, so the tips cycle in table order.
const char* NextTipForShow();

}  // namespace statmon
