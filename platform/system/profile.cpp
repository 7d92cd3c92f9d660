#include "platform/system/profile.h"

#include "platform/base/text.h"
#include "platform/system/files.h"

#include <cstdint>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zem::platform {
namespace {

// Equal without letter case for text in the ANSI code page: ASCII letters fold,
// while a double-byte character (lead byte 0x81 and up) compares exactly, so a
// trail byte that happens to be a letter is never folded.
bool EqualsIgnoringCaseAnsi(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) return false;
    for (std::size_t index = 0; index < left.size(); ++index) {
        const auto a = static_cast<unsigned char>(left[index]);
        const auto b = static_cast<unsigned char>(right[index]);
        if (a >= 0x81) {
            if (a != b) return false;
            if (index + 1 < left.size()) {
                ++index;
                if (left[index] != right[index]) return false;
            }
            continue;
        }
        const auto fold = [](unsigned char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
        };
        if (fold(a) != fold(b)) return false;
    }
    return true;
}

std::string_view StripQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// The first CR or LF at or after `at`, or npos. Eight bytes are tested at a
// time (a word holds a CR or LF exactly when the word XOR that byte repeated
// holds a zero byte), so a long line costs a few steps rather than a call per byte.
std::size_t FindLineBreak(std::string_view bytes, std::size_t at) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    const auto holdsZero = [](std::uint64_t word) { return ((word - kOnes) & ~word & kHighs) != 0; };
    const char* data = bytes.data();
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + at, sizeof word);
        if (holdsZero(word ^ (kOnes * '\r')) || holdsZero(word ^ (kOnes * '\n'))) break;
    }
    for (; at < bytes.size(); ++at) {
        if (data[at] == '\r' || data[at] == '\n') return at;
    }
    return std::string_view::npos;
}

// Calls visit(text, ending) for each line until it returns false; a line ends
// at LF, CR LF or CR.
template <typename Visitor>
void ForEachLine(std::string_view bytes, Visitor&& visit) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = FindLineBreak(bytes, start);
        if (end == std::string_view::npos) {
            visit(bytes.substr(start), std::string_view());
            return;
        }
        std::size_t next = end + 1;
        if (bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') ++next;
        if (!visit(bytes.substr(start, end - start), bytes.substr(end, next - end))) return;
        start = next;
    }
}

// An INI file as its lines, each kept with its own line end so that a rewrite
// reproduces every untouched byte. Lines are views of the bytes the document
// was made from (which must outlive it); a changed or new line's text is kept
// by the document itself. A write thus makes no string per line.
class IniDocument {
public:
    explicit IniDocument(std::string_view bytes) {
        std::size_t count = 0;
        ForEachLine(bytes, [&count](std::string_view, std::string_view) { return ++count, true; });
        lines_.reserve(count + 2);
        ForEachLine(bytes, [this](std::string_view text, std::string_view ending) {
            lines_.push_back({text, ending});
            return true;
        });
    }

    // The value of a key found by one pass over the bytes, without building
    // a document: reads are the common call.
    static std::optional<std::string_view> LookUp(std::string_view bytes, std::string_view section,
                                                  std::string_view key) {
        enum class State { Before, Inside, Done } state = State::Before;
        std::optional<std::string_view> found;
        ForEachLine(bytes, [&](std::string_view text, std::string_view) {
            if (const auto name = SectionNameOf(text)) {
                if (state == State::Inside) state = State::Done;
                if (state == State::Before && EqualsIgnoringCaseAnsi(*name, section)) state = State::Inside;
                return state != State::Done;
            }
            if (state != State::Inside) return true;
            const auto name = KeyOf(text);
            if (name && EqualsIgnoringCaseAnsi(*name, key)) {
                found = StripQuotes(TrimBlanks(ValueOf(text)));
                return false;
            }
            return true;
        });
        return found;
    }

    std::string Serialize() const {
        std::size_t size = 0;
        for (const Line& line : lines_) size += line.text.size() + line.ending.size();
        std::string bytes;
        bytes.reserve(size);
        for (const Line& line : lines_) bytes.append(line.text).append(line.ending);
        return bytes;
    }

    std::vector<std::string> SectionNames() const {
        std::vector<std::string> names;
        for (const Line& line : lines_) {
            if (const auto name = SectionNameOf(line.text)) names.emplace_back(*name);
        }
        return names;
    }

    std::vector<std::string> KeyNames(std::string_view section) const {
        std::vector<std::string> names;
        const std::optional<std::size_t> header = FindSection(section);
        if (!header) return names;
        const std::size_t end = SectionEnd(*header);
        for (std::size_t index = *header + 1; index < end; ++index) {
            if (const auto key = KeyOf(lines_[index].text)) names.emplace_back(*key);
        }
        return names;
    }

    void SetValue(std::string_view section, std::string_view key, std::string_view value) {
        std::optional<std::size_t> header = FindSection(section);
        if (!header) {
            // Appended piece by piece: GCC 12 at -O3 takes "[" + string for an
            // overlapping copy (a false -Wrestrict).
            std::string line = "[";
            line.append(section).append("]");
            AppendLine(std::move(line));
            header = lines_.size() - 1;
        }
        if (const std::optional<std::size_t> line = FindKey(*header, key)) {
            const std::string_view text = lines_[*line].text;
            const std::size_t equals = text.find('=');
            const std::size_t valueStart = text.find_first_not_of(" \t", equals + 1);
            lines_[*line].text = Keep(std::string(text.substr(0, valueStart == std::string_view::npos ? text.size()
                                                                                                    : valueStart)) +
                                      std::string(value));
            return;
        }
        // A new key goes after the section's last non-blank line, so blank lines
        // that separate it from the next section stay where they are.
        std::size_t after = *header;
        const std::size_t end = SectionEnd(*header);
        for (std::size_t index = *header + 1; index < end; ++index) {
            if (!TrimBlanks(lines_[index].text).empty()) after = index;
        }
        InsertLine(after + 1, std::string(key) + "=" + std::string(value));
    }

    void DeleteKey(std::string_view section, std::string_view key) {
        const std::optional<std::size_t> header = FindSection(section);
        if (!header) return;
        if (const std::optional<std::size_t> line = FindKey(*header, key)) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
        }
    }

    void DeleteSection(std::string_view section) {
        const std::optional<std::size_t> header = FindSection(section);
        if (!header) return;
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(*header)));
    }

private:
    struct Line {
        std::string_view text;
        std::string_view ending;
    };

    // Keeps a line's new text for the document's lifetime.
    std::string_view Keep(std::string text) {
        owned_.push_back(std::move(text));
        return owned_.back();
    }

    static std::optional<std::string_view> SectionNameOf(std::string_view text) {
        const std::string_view trimmed = TrimBlanks(text);
        if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
        const std::size_t close = trimmed.find(']');
        return TrimBlanks(trimmed.substr(1, close == std::string_view::npos ? close : close - 1));
    }

    static std::optional<std::string_view> KeyOf(std::string_view text) {
        const std::string_view trimmed = TrimBlanks(text);
        if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos) return std::nullopt;
        return TrimBlanks(text.substr(0, equals));
    }

    static std::string_view ValueOf(std::string_view text) { return text.substr(text.find('=') + 1); }

    std::optional<std::size_t> FindSection(std::string_view section) const {
        for (std::size_t index = 0; index < lines_.size(); ++index) {
            const auto name = SectionNameOf(lines_[index].text);
            if (name && EqualsIgnoringCaseAnsi(*name, section)) return index;
        }
        return std::nullopt;
    }

    std::size_t SectionEnd(std::size_t header) const {
        std::size_t index = header + 1;
        while (index < lines_.size() && !SectionNameOf(lines_[index].text)) ++index;
        return index;
    }

    std::optional<std::size_t> FindKey(std::size_t header, std::string_view key) const {
        const std::size_t end = SectionEnd(header);
        for (std::size_t index = header + 1; index < end; ++index) {
            const auto name = KeyOf(lines_[index].text);
            if (name && EqualsIgnoringCaseAnsi(*name, key)) return index;
        }
        return std::nullopt;
    }

    void InsertLine(std::size_t position, std::string text) {
        if (position > 0 && lines_[position - 1].ending.empty()) lines_[position - 1].ending = "\r\n";
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position), Line{Keep(std::move(text)), "\r\n"});
    }

    void AppendLine(std::string text) { InsertLine(lines_.size(), std::move(text)); }

    std::vector<Line> lines_;
    std::deque<std::string> owned_;  // a deque: the views of earlier texts stay valid
};

// Copies a value into the caller's buffer, cut to fit, and returns the bytes copied.
DWORD CopyValue(std::string_view value, LPSTR buffer, DWORD size) {
    const std::size_t count = std::min<std::size_t>(value.size(), size - 1);
    if (count > 0) std::memcpy(buffer, value.data(), count);
    buffer[count] = '\0';
    return static_cast<DWORD>(count);
}

// Copies a list of names, each NUL-ended, plus a final NUL; a list that does
// not fit is cut at a whole name where possible and returns size - 2.
DWORD CopyList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::size_t used = 0;
    for (const std::string& name : names) {
        if (used + name.size() + 1 > size - 1) {
            // The names before may already fill the buffer up to its last two
            // bytes (or one past them): then nothing of this name fits.
            const std::size_t room = used < size - 2 ? size - 2 - used : 0;
            if (room > 0) std::memcpy(buffer + used, name.data(), room);
            buffer[size - 2] = '\0';
            buffer[size - 1] = '\0';
            return size - 2;
        }
        std::memcpy(buffer + used, name.data(), name.size());
        used += name.size();
        buffer[used++] = '\0';
    }
    buffer[used] = '\0';
    return static_cast<DWORD>(used);
}

// Far above any real settings file: a larger one, a pipe or a device reads
// as absent, so a start neither waits for a writer nor fills memory.
constexpr std::size_t kLargestProfileFile = std::size_t{16} << 20;

std::optional<std::string> ReadProfileFile(LPCSTR path, std::error_code& error) {
    return ReadRegularFileBytes(path, kLargestProfileFile, error);
}

bool BreaksLine(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace
}  // namespace zem::platform

DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                               LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName) {
    using namespace zem::platform;
    if (lpReturnedString == nullptr || nSize == 0) return 0;
    std::error_code error;
    const std::optional<std::string> bytes =
        lpFileName == nullptr ? std::nullopt : ReadProfileFile(lpFileName, error);
    // A file that cannot be read (a folder, no permission, no regular file,
    // too large) reads like a missing one.
    const std::string_view text = bytes ? std::string_view(*bytes) : std::string_view();
    if (lpAppName == nullptr) return CopyList(IniDocument(text).SectionNames(), lpReturnedString, nSize);
    const std::string_view section = TrimBlanks(lpAppName);
    if (lpKeyName == nullptr) {
        return CopyList(IniDocument(text).KeyNames(section), lpReturnedString, nSize);
    }
    if (const auto value = IniDocument::LookUp(text, section, TrimBlanks(lpKeyName))) {
        return CopyValue(*value, lpReturnedString, nSize);
    }
    std::string_view fallback = lpDefault == nullptr ? "" : lpDefault;
    fallback = fallback.substr(0, fallback.find_last_not_of(' ') + 1);
    return CopyValue(fallback, lpReturnedString, nSize);
}

BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                LPCSTR lpFileName) {
    using namespace zem::platform;
    if (lpAppName == nullptr || lpFileName == nullptr) return FALSE;
    const std::string_view section = TrimBlanks(lpAppName);
    if (BreaksLine(section) || section.find(']') != std::string_view::npos) return FALSE;
    std::optional<std::string_view> key;
    if (lpKeyName != nullptr) {
        key = TrimBlanks(lpKeyName);
        if (key->empty() || BreaksLine(*key) || key->find('=') != std::string_view::npos ||
            key->front() == '[' || key->front() == ';') {
            return FALSE;
        }
    }
    if (lpString != nullptr && BreaksLine(lpString)) return FALSE;

    std::error_code error;
    std::optional<std::string> bytes = ReadProfileFile(lpFileName, error);
    // Only a missing file starts empty; a file that exists but is not read
    // must not be replaced by one holding the new key alone.
    if (!bytes && error != std::errc::no_such_file_or_directory) return FALSE;
    const bool existed = bytes.has_value();
    const std::string_view before = existed ? std::string_view(*bytes) : std::string_view();
    IniDocument document(before);
    if (!key) {
        document.DeleteSection(section);
    } else if (lpString == nullptr) {
        document.DeleteKey(section, *key);
    } else {
        document.SetValue(section, *key, lpString);
    }
    const std::string after = document.Serialize();
    if (after == before && (existed || after.empty())) return TRUE;
    return ReplaceFileAtomically(lpFileName, after) ? TRUE : FALSE;
}
