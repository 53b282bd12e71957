// Windows itself keeps the state: nothing of ours can fail at start-up.
#include "platform/diagnostics.h"

std::string platform::startupError() { return std::string(); }
