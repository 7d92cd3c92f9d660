// The updater's two string routines, which build the path the package is
// saved under: modules ModAddString and ModGetFileNameInPath.
#pragma once

#include <string>
#include <string_view>

namespace ModAddString {

// `source` unchanged when it already ends in `suffix` (compared lower-cased,
// character by character) or the suffix is empty; otherwise source + suffix.
std::string AddString(std::string_view source, std::string_view suffix);

}  // namespace ModAddString

namespace ModGetFileNameInPath {

// The last component of the path (after its last "\", or when there is none
// its last "/"), without its extension when bNoExt is true; "" when the path
// holds neither separator or ends in one.
std::string GetFileNameInPath(std::string_view path, bool bNoExt);

}  // namespace ModGetFileNameInPath
