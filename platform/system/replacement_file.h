// A file written to take a target's place (a download's part file, the
// temporary file of an atomic replacement), and the removal of such files that
// a writer left behind when it died.
//
// While it is written, the file has no name where the filesystem allows it
// (O_TMPFILE): a writer that ends in any way, a signal, SIGKILL or a power cut
// included, leaves nothing in the folder. Where the filesystem does not, and
// for the moment between naming it and renaming it over the target, it is
// "<target><infix><pid>-<n>", and the writer holds an exclusive lock (flock) on
// it for as long as it lives. The kernel drops that lock with the writer,
// however it ends, so a file of the pattern that nobody holds locked is
// abandoned. The lock, not the process id in the name, tells a live writer's
// file: a process id says nothing across process namespaces (two updaters of
// one folder in different ones) and may belong to a new process after a
// restart, while the lock is exact in both cases.
#pragma once

#include <string>
#include <string_view>

namespace zem::platform {

class ReplacementFile {
public:
    // Makes the file beside `target` with `mode` (less the umask).
    ReplacementFile(std::string target, std::string_view infix, unsigned mode);
    // An uncommitted file goes: closed, and its name, if it had one, removed.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // The descriptor to write to; -1 when the file could not be made.
    int Descriptor() const { return descriptor_; }
    // The errno of the last failure (making the file, or Commit).
    int Error() const { return error_; }

    // Closes the file and puts it in the target's place (renamed over it);
    // false, with Error, when that fails, and the file is then gone.
    bool Commit();

private:
    bool OpenUnnamed(unsigned mode);
    bool OpenNamed(unsigned mode);
    bool GiveName();
    std::string NextName() const;

    std::string target_;
    std::string infix_;
    std::string name_;  // empty while the file has no name
    int descriptor_ = -1;
    int error_ = 0;
};

// Removes the files beside `target` named "<target's name><infix><digits>-<digits>"
// that no live writer holds (see above). Other names, and files in other
// folders, are never touched.
void RemoveAbandonedFiles(std::string_view target, std::string_view infix);

}  // namespace zem::platform
