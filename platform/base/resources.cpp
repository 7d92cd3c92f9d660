#include "platform/base/resources.h"

#include <map>
#include <string>

namespace zem::platform {
namespace {

struct Registry {
    std::map<int, EmbeddedResource> byId;
    std::map<std::string, EmbeddedResource, std::less<>> byName;
};

// Function-local, so the tables' registrars may run in any order before main.
Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

std::span<const unsigned char> BytesOf(const EmbeddedResource& resource) {
    return std::span<const unsigned char>(resource.data, resource.size);
}

}  // namespace

void RegisterProgramResources(std::span<const EmbeddedResource> table) {
    for (const EmbeddedResource& resource : table) {
        if (resource.name)
            TheRegistry().byName[resource.name] = resource;
        else
            TheRegistry().byId[resource.id] = resource;
    }
}

void ClearProgramResources() {
    TheRegistry().byId.clear();
    TheRegistry().byName.clear();
}

std::optional<std::span<const unsigned char>> FindProgramResource(int id) {
    const auto found = TheRegistry().byId.find(id);
    if (found == TheRegistry().byId.end()) return std::nullopt;
    return BytesOf(found->second);
}

std::optional<std::span<const unsigned char>> FindProgramResource(std::string_view name) {
    const auto found = TheRegistry().byName.find(name);
    if (found == TheRegistry().byName.end()) return std::nullopt;
    return BytesOf(found->second);
}

}  // namespace zem::platform
