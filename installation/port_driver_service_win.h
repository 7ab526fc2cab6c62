// The port driver service's system operations of the running program.
#pragma once

#include "installation/port_driver_service.h"

namespace installation {

IPortDriverSystem& Win32PortDriverSystem();

}  // namespace installation
