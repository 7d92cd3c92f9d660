#include "platform/system/files.h"

#include "platform/base/text.h"
#include "platform/system/replacement_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <limits>

namespace zem::platform {
namespace {

std::optional<std::string>& ProgramFolderOverride() {
    static std::optional<std::string> folder;
    return folder;
}

std::string ExecutableFolder() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return ".";
    const std::string path(buffer, static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~FileDescriptor() {
        if (descriptor_ >= 0) close(descriptor_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return descriptor_; }

private:
    int descriptor_;
};

bool IsRegularFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool WriteAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Reads the descriptor to its end into one string, sized at first for
// `expected` bytes (one allocation, no copies, when the size was right); a file
// that grows meanwhile grows it. Nothing, with file_too_large, once more than
// `limit` bytes arrive.
std::optional<std::string> ReadToEnd(int descriptor, std::size_t expected, std::size_t limit, std::error_code& error) {
    std::string bytes(std::min(expected, limit) + 1, '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) bytes.resize(bytes.size() * 2 + 65536);
        const ssize_t count = read(descriptor, bytes.data() + filled, bytes.size() - filled);
        if (count == 0) break;
        if (count < 0) {
            if (errno == EINTR) continue;
            error = std::error_code(errno, std::generic_category());  // e.g. EISDIR
            return std::nullopt;
        }
        filled += static_cast<std::size_t>(count);
        if (filled > limit) {
            error = std::make_error_code(std::errc::file_too_large);
            return std::nullopt;
        }
    }
    bytes.resize(filled);
    return bytes;
}

}  // namespace

std::string ToPosixPath(std::string_view path) {
    std::string result(path);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

std::string ProgramFolder() {
    if (ProgramFolderOverride()) return *ProgramFolderOverride();
    return ExecutableFolder();
}

std::string ProgramPath(std::string_view relative) { return ProgramFolder() + ToPosixPath(relative); }

ScopedProgramFolder::ScopedProgramFolder(std::string folder) : previous_(ProgramFolderOverride()) {
    ProgramFolderOverride() = std::move(folder);
}

ScopedProgramFolder::~ScopedProgramFolder() { ProgramFolderOverride() = previous_; }

std::string Dir(std::string_view path) {
    const std::string posix(path);
    const std::size_t slash = posix.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : posix.substr(0, slash));
    const std::string pattern = slash == std::string::npos ? posix : posix.substr(slash + 1);
    if (pattern.empty() || pattern.front() == '.') return "";
    if (pattern.find_first_of("*?") == std::string::npos) {
        if (IsRegularFile(posix)) return pattern;
        // A program is named "x.exe" and its file here is the executable "x",
        // as the process launcher reads such a name.
        if (pattern.size() > 4 && ToLower(pattern.substr(pattern.size() - 4)) == ".exe") {
            const std::string stem = posix.substr(0, posix.size() - 4);
            if (IsRegularFile(stem) && access(stem.c_str(), X_OK) == 0) return pattern.substr(0, pattern.size() - 4);
        }
        return "";
    }
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr) return "";
    std::vector<std::string> matches;
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (name.front() == '.') continue;
        if (fnmatch(pattern.c_str(), name.c_str(), 0) != 0) continue;
        if (IsRegularFile(folder + "/" + name)) matches.push_back(name);
    }
    closedir(directory);
    if (matches.empty()) return "";
    return *std::min_element(matches.begin(), matches.end());
}

std::optional<std::string> ReadFileBytes(std::string_view path, std::error_code& error) {
    error.clear();
    FileDescriptor file(open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        error = std::error_code(errno, std::generic_category());
        return std::nullopt;
    }
    // A file that has no size (a pipe) grows the string as it is read.
    struct stat status {};
    std::size_t expected = 0;
    if (fstat(file.Get(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0)
        expected = static_cast<std::size_t>(status.st_size);
    return ReadToEnd(file.Get(), expected, std::numeric_limits<std::size_t>::max(), error);
}

std::optional<std::string> ReadRegularFileBytes(std::string_view path, std::size_t maxBytes, std::error_code& error) {
    error.clear();
    // Opened without blocking, so a pipe with no writer is refused at once
    // instead of holding the caller until one comes.
    FileDescriptor file(open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat status {};
    if (file.Get() < 0 || fstat(file.Get(), &status) != 0) {
        error = std::error_code(errno, std::generic_category());
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode)) {
        error = std::make_error_code(S_ISDIR(status.st_mode) ? std::errc::is_a_directory : std::errc::invalid_argument);
        return std::nullopt;
    }
    if (static_cast<std::uintmax_t>(status.st_size) > maxBytes) {
        error = std::make_error_code(std::errc::file_too_large);
        return std::nullopt;
    }
    return ReadToEnd(file.Get(), static_cast<std::size_t>(status.st_size), maxBytes, error);
}

bool FileHoldsBytes(std::string_view path, std::string_view bytes) {
    FileDescriptor file(open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (file.Get() < 0 || fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::size_t>(status.st_size) != bytes.size())
        return false;
    char buffer[65536];
    std::size_t compared = 0;
    for (;;) {
        const ssize_t count = read(file.Get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return false;
        if (count == 0) return compared == bytes.size();
        const auto length = static_cast<std::size_t>(count);
        if (length > bytes.size() - compared || std::memcmp(buffer, bytes.data() + compared, length) != 0) return false;
        compared += length;
    }
}

bool ReplaceFileAtomically(std::string_view path, std::string_view bytes) {
    const std::string target(path);
    mode_t mode = 0644;
    struct stat status {};
    if (stat(target.c_str(), &status) == 0) {
        // The rename replaces the entry in the folder and would pass over a
        // read-only file (and root passes every permission check anyway).
        if (!S_ISREG(status.st_mode) || (status.st_mode & S_IWUSR) == 0) return false;
        mode = status.st_mode & 07777;
        // A read-only file stays as it is, for every user: the rename below
        // would otherwise replace it (the folder's permission is all it needs).
        if ((mode & 0222) == 0 || access(target.c_str(), W_OK) != 0) return false;
    }
    // Temporary files of earlier writes that were cut short (a SIGKILL, a
    // power cut) go first: nothing else ever removes them.
    RemoveAbandonedFiles(target, ".tmp");
    ReplacementFile file(target, ".tmp", mode);
    if (file.Descriptor() < 0) return false;
    return fchmod(file.Descriptor(), mode) == 0 && WriteAll(file.Descriptor(), bytes) &&
           fsync(file.Descriptor()) == 0 && file.Commit();
}

bool MarkExecutable(std::string_view path) {
    const std::string target = ToPosixPath(path);
    struct stat status {};
    if (stat(target.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    const mode_t readable = status.st_mode & 0444;
    return chmod(target.c_str(), (status.st_mode & 07777) | (readable >> 2)) == 0;
}

bool WriteTextFile(std::string_view path, std::string_view utf8Text) {
    return ReplaceFileAtomically(path, Utf8ToGbk(utf8Text));
}

std::vector<std::string> SplitTextLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t position = 0; position < bytes.size(); ++position) {
        if (bytes[position] != '\r') continue;
        lines.emplace_back(bytes.substr(start, position - start));
        if (position + 1 < bytes.size() && bytes[position + 1] == '\n') ++position;
        start = position + 1;
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
    return lines;
}

std::vector<std::string> DecodeTextLines(std::string_view bytes) {
    std::vector<std::string> lines = SplitTextLines(bytes);
    for (std::string& line : lines) line = GbkToUtf8(line);
    return lines;
}

std::optional<std::vector<std::string>> ReadTextFileLines(std::string_view path) {
    std::error_code error;
    const std::optional<std::string> bytes = ReadFileBytes(path, error);
    if (!bytes) return std::nullopt;
    return DecodeTextLines(*bytes);
}

}  // namespace zem::platform
