// The loop of velkor.exe: waits for an event, runs the 250 ms checks,
// dispatches by identifier and drives MonitorTick when idle. The wait lasts
// 25 ms while something animates (hover glow, mouse over our windows, the
// graphs of "Überwachung"), else until the next sample, refresh or check is
// due, so an idle program wakes a few times a second instead of 40.
#pragma once

#include "app/program_windows.h"
#include "app/view_table.h"
#include "monitor/monitor_tick.h"

namespace velkor {

[[noreturn]] void RunEventLoop();

// Waits up to `milliseconds` for the next event, handling every message that
// arrives meanwhile (keyboard shortcuts of the active window included).
LoopEvent WaitEvent(unsigned milliseconds);
// Hands one event to its handler (the command table, or the window rules).
void DispatchEvent(const LoopEvent& event);

// The periodic procedure.
void MonitorTick();
// The stamps of the periodic refreshes; commands that refresh a list
// themselves set the list stamp to now.
extern RefreshStamps Stamps;
void SetListStamp();
// Start values from the calendar clock: the first idle pass does everything.
void ResetStampsForFirstPass();

// The quick transparency gesture, called on every pass with whether right Alt
// and right Ctrl are held over a window other than the desktop; set by the
// window effects.
extern void (*QuickTransparencyStep)(bool keysHeld);

// Enables or disables windows 0 and 2 together (modal dialogs).
void EnableMainWindows(bool enable);

}  // namespace velkor
