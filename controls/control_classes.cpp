#include "controls/control_classes.h"

#include <memory>

#include "controls/an.h"
#include "controls/sf_playlist.h"
#include "controls/sf_vscrollbar.h"
#include "platform/forms/control_registry.h"

namespace zem::controls {
namespace {

template <class ControlClass>
void Register(const char* classId) {
    zem::forms::RegisterControlClass(classId, [](zem::forms::Container& parent, const std::string& name) {
        return std::unique_ptr<zem::forms::Control>(std::make_unique<ControlClass>(parent, name));
    });
}

}  // namespace

void RegisterControlClasses() {
    Register<SFVScrollBar>(kScrollBarClassId);
    Register<SFPlayList>(kPlayListClassId);
    Register<an>(kSwitchClassId);
}

}  // namespace zem::controls
