// Fonts: a description in the terms of CreateFontA, resolved through
// fontconfig to an installed face and rendered by FreeType. Faces, sizes and
// rendered glyphs are cached, so drawing a row of text only blends coverage.
#pragma once

#include "platform/base/win32_types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace zem::platform {

struct FontDescription {
    int height = 0;  // logical units: negative = character height, positive = cell height, 0 = default
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    DWORD charSet = 1;
    std::string face;  // UTF-8
};

struct Glyph {
    int advance = 0;  // pixels to the next pen position
    int left = 0;     // from the pen position to the coverage's first column
    int top = 0;      // from the baseline up to the coverage's first row
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;  // width x height, 0 to 255
};

class FaceFile;

// One face at one pixel size with its rendered glyphs.
class SizedFont {
public:
    SizedFont(std::shared_ptr<FaceFile> file, const FontDescription& description);
    ~SizedFont();
    SizedFont(const SizedFont&) = delete;
    SizedFont& operator=(const SizedFont&) = delete;

    int Ascent() const { return ascent_; }
    int Descent() const { return descent_; }
    int Height() const { return ascent_ + descent_; }
    int PixelsPerEm() const { return pixelsPerEm_; }
    const FontDescription& Description() const { return description_; }
    // The path of the face file this font renders from.
    const std::string& FilePath() const;

    const Glyph& GlyphFor(char32_t character);

private:
    std::shared_ptr<FaceFile> file_;
    FontDescription description_;
    void* size_ = nullptr;  // the FreeType size object of this font
    int pixelsPerEm_ = 0;
    int ascent_ = 0;
    int descent_ = 0;
    std::unordered_map<char32_t, Glyph> glyphs_;
};

// Finds faces and keeps them loaded. One per process.
class FontEngine {
public:
    static FontEngine& Instance();
    ~FontEngine();

    // The font for a description; equal descriptions share one SizedFont.
    std::shared_ptr<SizedFont> Get(const FontDescription& description);
    // The face file a face name resolves to (for tests and diagnostics).
    std::string ResolveFile(const std::string& face);

private:
    FontEngine();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zem::platform
