#include "resources/embedded_source.h"

#include <map>
#include <sstream>

namespace zem::artwork {
namespace {

void WriteArray(std::ostringstream& out, const std::string& name, const FileBytes& bytes) {
    out << "const unsigned char " << name << "[] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i % 24 == 0) out << "\n   ";
        out << ' ' << static_cast<unsigned>(bytes[i]) << ',';
    }
    out << "\n};\n";
}

}  // namespace

FileBytes EncodeDesign(const DesignPicture& design) {
    switch (design.format) {
        case FileFormat::Bmp24: return EncodeBmp24(design.picture);
        case FileFormat::Jpeg: return EncodeJpeg(design.picture);
        case FileFormat::Png: return EncodePng(design.picture);
    }
    return {};
}

std::string EmbeddedSource(const Artwork& artwork, Program program) {
    std::ostringstream arrays, table;
    int next = 0;
    for (const BitmapResource& bitmap : artwork.bitmaps) {
        if (bitmap.program != program) continue;
        const std::string array = "kBitmap" + std::to_string(bitmap.id);
        WriteArray(arrays, array, EncodeBmp24(bitmap.picture));
        table << "    {.id = " << bitmap.id << ", .data = " << array << ", .size = sizeof " << array << "},\n";
    }
    std::map<std::string, std::string> arrayOfName;
    for (const DesignPicture& design : artwork.designs) {
        if (design.program != program || !design.sameAs.empty()) continue;
        const std::string array = "kDesign" + std::to_string(next++);
        WriteArray(arrays, array, EncodeDesign(design));
        arrayOfName[design.name] = array;
    }
    for (const DesignPicture& design : artwork.designs) {
        if (design.program != program) continue;
        const std::string& array = arrayOfName.at(design.sameAs.empty() ? design.name : design.sameAs);
        table << "    {.data = " << array << ", .size = sizeof " << array << ", .name = \"" << design.name << "\"},\n";
    }
    for (const DesignIcon& icon : artwork.icons) {
        if (icon.program != program) continue;
        const std::string array = "kDesign" + std::to_string(next++);
        WriteArray(arrays, array, EncodeIcon(icon.images));
        table << "    {.data = " << array << ", .size = sizeof " << array << ", .name = \"" << icon.name << "\"},\n";
    }
    std::ostringstream out;
    out << "// Made by zem_draw_artwork: the program's bitmap resources, design pictures and icons.\n"
           "#include \"platform/base/resources.h\"\n\nnamespace {\n\n"
        << arrays.str() << "\nconst zem::platform::EmbeddedResource kResources[] = {\n" << table.str()
        << "};\n\nstruct Registrar {\n    Registrar() { zem::platform::RegisterProgramResources(kResources); }\n"
           "} const kRegistrar;\n\n}  // namespace\n";
    return out.str();
}

}  // namespace zem::artwork
