#include "platform/system/replacement_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <random>

namespace zem::platform {
namespace {

constexpr int kNameAttempts = 100;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// "<name><infix><digits>-<digits>".
bool OfPattern(std::string_view entry, std::string_view prefix) {
    if (!entry.starts_with(prefix)) return false;
    const std::string_view rest = entry.substr(prefix.size());
    const std::size_t dash = rest.find('-');
    return dash != std::string_view::npos && AllDigits(rest.substr(0, dash)) && AllDigits(rest.substr(dash + 1));
}

std::uint64_t NextNumber() {
    static std::atomic<std::uint64_t> next{[] {
        std::random_device device;
        return (static_cast<std::uint64_t>(device()) << 32 | device()) >> 1;
    }()};
    return next++;
}

}  // namespace

ReplacementFile::ReplacementFile(std::string target, std::string_view infix, unsigned mode)
    : target_(std::move(target)), infix_(infix) {
    if (!OpenUnnamed(mode)) OpenNamed(mode);
}

ReplacementFile::~ReplacementFile() {
    if (descriptor_ < 0) return;
    if (!name_.empty()) unlink(name_.c_str());
    close(descriptor_);
}

std::string ReplacementFile::NextName() const {
    return target_ + infix_ + std::to_string(getpid()) + "-" + std::to_string(NextNumber());
}

bool ReplacementFile::OpenUnnamed(unsigned mode) {
    const int descriptor = open(FolderOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (descriptor < 0) return false;  // not on this filesystem: a named file instead
    flock(descriptor, LOCK_EX);        // a fresh file nobody else can reach
    descriptor_ = descriptor;
    return true;
}

bool ReplacementFile::OpenNamed(unsigned mode) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = NextName();
        const int descriptor = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (descriptor < 0) {
            if (errno == EEXIST) continue;
            error_ = errno;
            return false;
        }
        // Another process's cleaning may have taken the file between its
        // creation and this lock: it is then unlinked, and a new one is made.
        struct stat status {};
        if (flock(descriptor, LOCK_EX) == 0 && fstat(descriptor, &status) == 0 && status.st_nlink > 0) {
            descriptor_ = descriptor;
            name_ = name;
            return true;
        }
        close(descriptor);
    }
    error_ = EEXIST;
    return false;
}

// Links the unnamed file under a name of the pattern, still locked.
bool ReplacementFile::GiveName() {
    if (!name_.empty()) return true;
    const std::string self = "/proc/self/fd/" + std::to_string(descriptor_);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = NextName();
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            (errno == ENOENT && linkat(descriptor_, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0)) {
            name_ = name;
            return true;
        }
        if (errno != EEXIST) break;
    }
    error_ = errno;
    return false;
}

bool ReplacementFile::Commit() {
    if (descriptor_ < 0) return false;
    if (!GiveName()) return false;
    // The lock lives on in a duplicate until the rename is done, so that no
    // cleaning takes the file between its close and its rename; the close
    // itself reports a failed write-back.
    const int held = dup(descriptor_);
    const bool closed = close(descriptor_) == 0;
    descriptor_ = -1;
    const bool renamed = closed && rename(name_.c_str(), target_.c_str()) == 0;
    if (!closed || !renamed) {
        error_ = errno;
        unlink(name_.c_str());
    }
    if (held >= 0) close(held);
    return renamed;
}

void RemoveAbandonedFiles(std::string_view target, std::string_view infix) {
    const std::string path(target);
    const std::string folder = FolderOf(path);
    const std::string prefix = FileNameOf(path) + std::string(infix);
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr) return;
    while (const dirent* entry = readdir(directory)) {
        if (!OfPattern(entry->d_name, prefix)) continue;
        const std::string candidate = folder + "/" + entry->d_name;
        const int descriptor = open(candidate.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (descriptor < 0) continue;
        struct stat opened {};
        struct stat named {};
        // Locked here means no writer holds it. The name must still be the
        // file that was locked (a writer may have renamed it over its target).
        if (fstat(descriptor, &opened) == 0 && S_ISREG(opened.st_mode) && flock(descriptor, LOCK_EX | LOCK_NB) == 0 &&
            lstat(candidate.c_str(), &named) == 0 && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
            unlink(candidate.c_str());
        }
        close(descriptor);
    }
    closedir(directory);
}

}  // namespace zem::platform
