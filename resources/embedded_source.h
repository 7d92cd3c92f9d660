// Writes a program's bitmap resources, design pictures and design icons as a C++ source file of
// byte arrays whose static registrar hands the table to the resource registry
// before main runs.
#pragma once

#include "resources/artwork_catalog.h"
#include "resources/image_codecs.h"

#include <string>

namespace zem::artwork {

// The file image a design picture is kept as.
FileBytes EncodeDesign(const DesignPicture& design);

std::string EmbeddedSource(const Artwork& artwork, Program program);

}  // namespace zem::artwork
