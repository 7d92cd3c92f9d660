#include "updater/string_routines.h"

#include "platform/base/text.h"

namespace ModAddString {

std::string AddString(std::string_view source, std::string_view suffix) {
    const std::size_t suffixLength = zem::platform::CountCharacters(suffix);
    if (suffixLength == 0) return std::string(source);
    const std::size_t sourceLength = zem::platform::CountCharacters(source);
    const std::size_t tailStart = sourceLength > suffixLength ? sourceLength - suffixLength : 0;
    const std::string_view tail = zem::platform::SubstringCharacters(source, tailStart, suffixLength);
    if (zem::platform::ToLower(tail) == zem::platform::ToLower(suffix)) return std::string(source);
    std::string joined(source);
    joined.append(suffix);
    return joined;
}

}  // namespace ModAddString

namespace ModGetFileNameInPath {

std::string GetFileNameInPath(std::string_view path, bool bNoExt) {
    const std::string_view trimmed = zem::platform::TrimBlanks(path);
    std::size_t separator = trimmed.rfind('\\');
    if (separator == std::string_view::npos) separator = trimmed.rfind('/');
    if (separator == std::string_view::npos) return "";
    const std::string_view name = trimmed.substr(separator + 1);
    if (name.empty()) return "";
    const std::size_t dot = name.rfind('.');
    // A name without a dot is still the file's name: it comes back whole
    // (with or without bNoExt), so that a caller never gets the folder
    // itself as the place to write to.
    if (dot == std::string_view::npos) return std::string(name);
    return std::string(bNoExt ? name.substr(0, dot) : name);
}

}  // namespace ModGetFileNameInPath
