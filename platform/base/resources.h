// The running program's embedded resources: bitmap resources found by numeric id,
// and the windows' design pictures found by name ("<window>.<control>", such as
// "Form1.Image16"). Each program links a generated table of its resources, which
// registers itself before main; the picture loader looks them up here.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace zem::platform {

// A resource with a name is found by its name, one without by its id.
// The bytes are a whole picture file: a 24-bit BMP for the numbered bitmaps; a
// BMP, JPEG or PNG for the design pictures.
struct EmbeddedResource {
    int id = 0;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    const char* name = nullptr;
};

// Adds a program's table; a later entry of the same id or name replaces an earlier one.
void RegisterProgramResources(std::span<const EmbeddedResource> table);

// Forgets every registered table (for tests that switch programs).
void ClearProgramResources();

// The bytes of bitmap resource `id` (a BMP file image), or nothing when the program has none.
std::optional<std::span<const unsigned char>> FindProgramResource(int id);

// The bytes of the design picture `name`, or nothing when the program has none.
std::optional<std::span<const unsigned char>> FindProgramResource(std::string_view name);

}  // namespace zem::platform
