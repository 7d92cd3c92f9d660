#include "player/play_schemes.h"

#include "platform/base/text.h"

namespace zem::player {

using platform::FindText;
using platform::ReplaceAll;
using platform::ToLower;

bool HasScheme(std::string_view url, std::string_view scheme) {
    return FindText(ToLower(url), scheme) != std::string::npos;
}

bool IsPlayUrl(std::string_view url) {
    const std::string lowered = ToLower(url);
    for (std::string_view scheme : PlaySchemes) {
        if (FindText(lowered, scheme) != std::string::npos) return true;
    }
    return false;
}

std::string GetPlayScheme(std::string_view url) {
    const std::string lowered = ToLower(url);
    std::string found;
    for (std::string_view scheme : PlaySchemes) {
        if (FindText(lowered, scheme) != std::string::npos) found = scheme;
    }
    return found;
}

std::string ConvertPlayUrl(std::string_view url, std::string_view baseAddress) {
    std::string converted(url);
    for (std::string_view scheme : PlaySchemes) converted = ReplaceAll(ToLower(converted), scheme, baseAddress);
    return converted;
}

}  // namespace zem::player
