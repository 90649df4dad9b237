#include "app/version.h"

namespace parcelo {

const char* const kParceloVersion = PARCELO_VERSION;

} // namespace parcelo
