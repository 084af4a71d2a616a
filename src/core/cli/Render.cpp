#include "core/cli/Render.h"

namespace CLI {

int renderWheel(WheelMode, const std::string&, const std::vector<std::string>&)
{
    // No wheel view is built into this program yet, so no bitmap can be made.
    return 1;
}

}
