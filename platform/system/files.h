// Files and paths. Every function here takes a POSIX path as it is: a path the
// programs build from the program folder ("\zemskin\Config.ini", "/zem.ini")
// comes from ProgramPath, which converts only the part after the folder, so a
// folder whose own name holds a backslash still names itself.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace zem::platform {

// Backslashes become forward slashes; nothing else changes. Only for a path
// the programs write themselves, never for one that holds a folder's name.
std::string ToPosixPath(std::string_view path);

// The folder of the running program's executable, without a trailing
// separator; the folder set by a live ScopedProgramFolder instead, if any.
std::string ProgramFolder();

// A path inside the program folder: the folder exactly as it is, followed by
// `relative` (a path the programs write from the folder, such as
// "\zemskin\Config.ini" or "/zem.ini") with its backslashes turned into '/'.
// Only the suffix is converted, so a folder whose name holds a blank, CJK
// characters or a backslash stays whole. Every path built from the program
// folder goes through here.
std::string ProgramPath(std::string_view relative);

// Sets the program folder for its lifetime (tests); restores the previous one.
class ScopedProgramFolder {
public:
    explicit ScopedProgramFolder(std::string folder);
    ~ScopedProgramFolder();
    ScopedProgramFolder(const ScopedProgramFolder&) = delete;
    ScopedProgramFolder& operator=(const ScopedProgramFolder&) = delete;

private:
    std::optional<std::string> previous_;
};

// The forms runtime's directory lookup with normal file attributes: the file
// name of the regular file at `path` (its last component may hold the
// wildcards * and ?, the first match in name order is taken), or "" when there
// is none. Folders and hidden files (names beginning with ".") never match.
// A plain name "x.exe" that is not there also finds the executable file "x"
// (giving "x"): programs are named with the ending, their files here without.
std::string Dir(std::string_view path);

// The whole file; nothing when it cannot be read, with `error` saying why
// (std::errc::no_such_file_or_directory when it is missing).
std::optional<std::string> ReadFileBytes(std::string_view path, std::error_code& error);

// The whole file when it is a regular file (a link to one counts) of at most
// `maxBytes`; nothing otherwise, with `error` saying why: missing
// (no_such_file_or_directory), a pipe, device or folder (invalid_argument,
// is_a_directory), or larger (file_too_large). Never waits for a pipe's writer.
std::optional<std::string> ReadRegularFileBytes(std::string_view path, std::size_t maxBytes, std::error_code& error);

// True when the file at `path` can be read and holds exactly `bytes`; reads
// through a small buffer, so a large file costs no memory of its size.
bool FileHoldsBytes(std::string_view path, std::string_view bytes);

// Replaces the file with `bytes` atomically: written to a temporary file beside
// it (replacement_file.h: unnamed while written where the filesystem allows),
// flushed to disk, then renamed over it, so a reader sees the old file or the
// new one and never a part. Temporary files of this target that an earlier
// writer left when it died ("<name>.tmp<pid>-<n>", held by no one) go first. An existing file's permissions are kept, and a
// read-only one (no write bit, or not writable by the caller) is refused. False
// when anything fails; the old file is then untouched.
bool ReplaceFileAtomically(std::string_view path, std::string_view bytes);

// Lets the file's owner, group and others run the regular file at `path`
// (those who may read it), as a downloaded program needs before it can be
// started; false when it is no regular file or its mode cannot be changed.
bool MarkExecutable(std::string_view path);

// Text files in the ANSI code page (GBK). The whole UTF-8 text is converted and
// written as it is; a caller that wants a final line break includes "\r\n".
bool WriteTextFile(std::string_view path, std::string_view utf8Text);

// Splits GBK bytes into lines: a line ends at CR or CR LF; LF alone does not end
// one and stays in the line. Text after the last line end is a last line.
std::vector<std::string> SplitTextLines(std::string_view bytes);

// GBK bytes as lines (SplitTextLines), each converted to UTF-8.
std::vector<std::string> DecodeTextLines(std::string_view bytes);

// The file's lines, each converted to UTF-8; nothing when it cannot be read.
std::optional<std::vector<std::string>> ReadTextFileLines(std::string_view path);

}  // namespace zem::platform
