// Message boxes and pop-up menus a person answers, as windows of the display.
#include "platform/display/display.h"

namespace zem::platform {

void InstallDisplayPresenter() {}
void RemoveDisplayPresenter() {}

}  // namespace zem::platform
