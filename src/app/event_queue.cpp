#include "app/event_queue.h"

#include <deque>

namespace velkor {

namespace {
std::deque<LoopEvent> events;
}  // namespace

void QueueLoopEvent(const LoopEvent& event) { events.push_back(event); }

bool TakeLoopEvent(LoopEvent& event) {
  if (events.empty()) return false;
  event = events.front();
  events.pop_front();
  return true;
}

void ClearLoopEvents() { events.clear(); }

}  // namespace velkor
