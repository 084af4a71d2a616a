#pragma once

// Lets an option's work, on its worker, open the windows it needs: the crop and trim editors,
// the folder chooser of "Move" and the shelf of "Float".
namespace DesktopHooks {
void install();
}
