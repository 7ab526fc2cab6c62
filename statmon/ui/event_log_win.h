// The Application log of the running system, through the monitor's source.
#pragma once

#include <memory>

#include "statmon/ui/status_events.h"

namespace statmon {

std::unique_ptr<IEventLog> CreateEventLog();

}  // namespace statmon
