// The running program's embedded bitmap resources, found by numeric id.
// Each program links a generated table of its resources, which registers itself
// before main; the picture loader looks ids up here.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

namespace zem::platform {

struct EmbeddedResource {
    int id = 0;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// Adds a program's table; a later table's id replaces an earlier one of the same id.
void RegisterProgramResources(std::span<const EmbeddedResource> table);

// Forgets every registered table (for tests that switch programs).
void ClearProgramResources();

// The bytes of resource `id` (a BMP file image), or nothing when the program has none.
std::optional<std::span<const unsigned char>> FindProgramResource(int id);

}  // namespace zem::platform
