#include "statmon/printer/parallel_port.h"

namespace statmon {

int g_nPlatform = 0;
std::uint16_t g_wStatusPort = 0;
std::string g_strPortKey;

}  // namespace statmon
