// Text in the code is UTF-8. This header converts it to and from the ANSI code
// page of simplified Chinese (GBK) used at every "A" boundary, and holds the
// few string operations the programs use, with their exact semantics.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zem::platform {

// UTF-8 to GBK. A character GBK cannot hold, and each byte of malformed UTF-8,
// becomes "?".
std::string Utf8ToGbk(std::string_view utf8);

// GBK to UTF-8, decoded as GB18030 (the superset, so four-byte sequences are
// understood too), with the single byte 0x80 as the euro sign, which is what
// Utf8ToGbk gives for it. A byte that starts no valid character becomes U+FFFD; an
// incomplete character at the very end (a value cut inside a character) is
// dropped, so a cut never yields garbage.
std::string GbkToUtf8(std::string_view gbk);

// GbkToUtf8 of a piece of a longer text, appended to `utf8`: the characters
// the piece holds whole. Returns the bytes they take; a character cut at the
// piece's end is left for the next piece (at the text's end GbkToUtf8 drops it).
// Pieces taken in turn from the last return convert as the whole text does.
std::size_t AppendGbkAsUtf8(std::string_view piece, std::string& utf8);

// A byte position in [at - reach, at] where GbkToUtf8 of the
// whole text starts a character, whatever came before: the position after a
// byte that no multi-byte character holds other than last (0x00-0x2F,
// 0x3A-0x80, 0xFF), or 0, the nearest to `at`; npos when there is none in reach.
// Reading GBK backwards is ambiguous otherwise: a byte 0x81-0xFE may be a
// lead or a trail, a digit the second or last byte of a four-byte character.
std::size_t GbkStartBefore(std::string_view gbk, std::size_t at, std::size_t reach);

// Characters are Unicode code points; a malformed UTF-8 byte counts as one.
std::size_t CountCharacters(std::string_view utf8);

// Up to `count` characters starting at character `first` (0-based); fewer when
// the text ends sooner, "" when `first` lies beyond it.
std::string_view SubstringCharacters(std::string_view utf8, std::size_t first,
                                     std::size_t count = std::string_view::npos);

// Lower-cases every letter (full Unicode simple case mapping).
std::string ToLower(std::string_view utf8);

// Byte offset of the first occurrence of `sought` at or after byte `from`, by
// exact comparison; npos when absent. An empty `sought` is found at `from`.
// UTF-8 is self-synchronising, so a hit always starts on a character.
std::size_t FindText(std::string_view text, std::string_view sought, std::size_t from = 0);

// Replaces every occurrence of `sought`, scanning left to right without
// overlaps and without rescanning replaced text. An empty `sought` changes nothing.
std::string ReplaceAll(std::string_view text, std::string_view sought,
                       std::string_view replacement);

// Splits at every `separator`, no limit, empty fields kept ("a##b" on "#" gives
// "a", "", "b"). An empty text gives no fields; an empty separator gives the
// whole text as the one field.
std::vector<std::string> Split(std::string_view text, std::string_view separator);

// Ordinal comparison: character codes from the left, the first difference
// decides, a prefix is the lesser. Negative, zero or positive.
int CompareOrdinal(std::string_view left, std::string_view right);

// A text taken as a truth value: "True" and "False" in any letter case, or a
// number (0 is false, any other number true), blanks around it allowed.
// Anything else, the empty text included, has no truth value.
std::optional<bool> TextToBoolean(std::string_view text);

// Blanks (spaces and tabs) removed from both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace zem::platform
