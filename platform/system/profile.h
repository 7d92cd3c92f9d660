// Profile strings: INI files read and written through the "A" functions of the
// desktop API. Names and values are bytes in the ANSI code page (GBK); callers
// convert UTF-8 around them.
//
// Reading: section and key names compare without letter case (ASCII letters;
// GBK double-byte characters compare exactly), blanks around names and values
// are trimmed, a value in matching quotes loses them, the first of a repeated
// section or key counts. A line ends at LF, CR LF or CR alone. A missing file,
// section or key gives the default (trailing blanks trimmed). Only a regular
// file of up to 16 MiB is read: anything else (a pipe, a device, a larger
// file) reads as missing, and a write to it is refused.
//
// Writing creates a missing file, section or key, replaces a value in place,
// keeps every other line (bytes and line end) as it was, ends new lines with
// CR LF and replaces the file atomically. A NULL value deletes the key, a NULL
// key the whole section.
#pragma once

#include "platform/base/win32_types.h"

// Copies the value (or the default) into the buffer, cut to nSize - 1 bytes and
// NUL-ended; returns the bytes copied without the NUL. With a NULL key it gives
// the section's key names, with a NULL section the section names, each
// NUL-ended and the list ended by one more NUL (cut lists return nSize - 2).
DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                               LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName);

// FALSE when the file cannot be read or replaced, or when a name or value would
// break the file's structure (a line break anywhere, "]" in a section name,
// "=" in a key or a key that is blank or starts a section or comment); the file
// is then left as it was.
BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                LPCSTR lpFileName);
