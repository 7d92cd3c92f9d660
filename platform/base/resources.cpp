#include "platform/base/resources.h"

#include <map>

namespace zem::platform {
namespace {

std::map<int, EmbeddedResource>& Registry() {
    static std::map<int, EmbeddedResource> registry;
    return registry;
}

}  // namespace

void RegisterProgramResources(std::span<const EmbeddedResource> table) {
    for (const EmbeddedResource& resource : table) Registry()[resource.id] = resource;
}

void ClearProgramResources() { Registry().clear(); }

std::optional<std::span<const unsigned char>> FindProgramResource(int id) {
    const auto found = Registry().find(id);
    if (found == Registry().end()) return std::nullopt;
    return std::span<const unsigned char>(found->second.data, found->second.size);
}

}  // namespace zem::platform
