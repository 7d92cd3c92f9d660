#include "platform/drawing/fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <map>
#include <stdexcept>
#include <tuple>

namespace zem::platform {

namespace {

struct FreeTypeLibrary {
    FT_Library library = nullptr;
    FreeTypeLibrary() {
        if (FT_Init_FreeType(&library) != 0) throw std::runtime_error("FreeType failed to start");
    }
    ~FreeTypeLibrary() { FT_Done_FreeType(library); }
};

// Without a stated height the platform's default is a 12-pixel character height.
constexpr int kDefaultPixelsPerEm = 12;

}  // namespace

class FaceFile {
public:
    FaceFile(std::shared_ptr<FreeTypeLibrary> library, std::string path, int index)
        : library_(std::move(library)), path_(std::move(path)) {
        if (FT_New_Face(library_->library, path_.c_str(), index, &face_) != 0)
            throw std::runtime_error("cannot open font file " + path_);
    }
    ~FaceFile() { FT_Done_Face(face_); }
    FaceFile(const FaceFile&) = delete;
    FaceFile& operator=(const FaceFile&) = delete;
    FT_Face Face() const { return face_; }
    const std::string& Path() const { return path_; }

private:
    std::shared_ptr<FreeTypeLibrary> library_;
    std::string path_;
    FT_Face face_ = nullptr;
};

SizedFont::SizedFont(std::shared_ptr<FaceFile> file, const FontDescription& description)
    : file_(std::move(file)), description_(description) {
    FT_Face face = file_->Face();
    FT_Size size = nullptr;
    FT_New_Size(face, &size);
    size_ = size;
    FT_Activate_Size(size);

    // Ascent and descent of the cell follow the face's OS/2 window metrics
    // where it has them, else its horizontal header.
    double ascentUnits = face->ascender;
    double descentUnits = -face->descender;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        ascentUnits = os2->usWinAscent;
        descentUnits = os2->usWinDescent;
    }
    const double unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 1000.0;
    if (description.height < 0) {
        pixelsPerEm_ = -description.height;
    } else if (description.height > 0) {
        pixelsPerEm_ = static_cast<int>(std::lround(description.height * unitsPerEm / (ascentUnits + descentUnits)));
    } else {
        pixelsPerEm_ = kDefaultPixelsPerEm;
    }
    if (pixelsPerEm_ < 1) pixelsPerEm_ = 1;
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelsPerEm_));
    ascent_ = static_cast<int>(std::lround(ascentUnits * pixelsPerEm_ / unitsPerEm));
    descent_ = static_cast<int>(std::lround(descentUnits * pixelsPerEm_ / unitsPerEm));
}

SizedFont::~SizedFont() { FT_Done_Size(static_cast<FT_Size>(size_)); }

const std::string& SizedFont::FilePath() const { return file_->Path(); }

const Glyph& SizedFont::GlyphFor(char32_t character) {
    if (auto found = glyphs_.find(character); found != glyphs_.end()) return found->second;
    Glyph glyph;
    FT_Face face = file_->Face();
    FT_Activate_Size(static_cast<FT_Size>(size_));
    const FT_UInt index = FT_Get_Char_Index(face, character);
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) == 0) {
        FT_GlyphSlot slot = face->glyph;
        int extra = 0;
        if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
            if (description_.weight >= 600) {
                // Synthetic bold: thicken the outline by about a 24th of the em.
                const FT_Pos strength = std::max<FT_Pos>(64, pixelsPerEm_ * 64 / 24);
                FT_Outline_Embolden(&slot->outline, strength);
                extra = static_cast<int>(strength / 64);
            }
            if (description_.italic) {
                FT_Matrix shear{0x10000, 0x3800, 0, 0x10000};  // slant of about 12 degrees
                FT_Outline_Transform(&slot->outline, &shear);
            }
        }
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
            const FT_Bitmap& bits = slot->bitmap;
            glyph.left = slot->bitmap_left;
            glyph.top = slot->bitmap_top;
            glyph.width = static_cast<int>(bits.width);
            glyph.height = static_cast<int>(bits.rows);
            glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * static_cast<std::size_t>(glyph.height));
            for (int row = 0; row < glyph.height; ++row) {
                const unsigned char* source = bits.buffer + static_cast<std::ptrdiff_t>(row) * bits.pitch;
                std::copy(source, source + glyph.width,
                          glyph.coverage.begin() + static_cast<std::ptrdiff_t>(row) * glyph.width);
            }
        }
        glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6) + extra;
    }
    return glyphs_.emplace(character, std::move(glyph)).first->second;
}

struct FontEngine::Impl {
    std::shared_ptr<FreeTypeLibrary> library = std::make_shared<FreeTypeLibrary>();
    FcConfig* config = nullptr;
    std::map<std::string, std::pair<std::string, int>> resolved;  // face name -> file, index
    std::map<std::pair<std::string, int>, std::weak_ptr<FaceFile>> files;
    using Key = std::tuple<std::string, int, int, bool, bool, bool>;
    std::map<Key, std::shared_ptr<SizedFont>> fonts;

    std::pair<std::string, int> Resolve(const std::string& face) {
        if (auto found = resolved.find(face); found != resolved.end()) return found->second;
        // The system's text is Chinese: every face is matched with the
        // simplified-Chinese language, so unknown names ("宋体", "微软雅黑",
        // "黑体" on this platform) land on an installed CJK face, and the same
        // one on every run.
        FcPattern* pattern = FcPatternCreate();
        if (!face.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        std::pair<std::string, int> file{"", 0};
        if (match) {
            FcChar8* path = nullptr;
            int index = 0;
            if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
                file.first = reinterpret_cast<const char*>(path);
            if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) file.second = index;
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
        if (file.first.empty()) throw std::runtime_error("no font matches \"" + face + "\"");
        return resolved.emplace(face, file).first->second;
    }

    std::shared_ptr<FaceFile> Open(const std::pair<std::string, int>& file) {
        if (auto found = files.find(file); found != files.end())
            if (auto alive = found->second.lock()) return alive;
        auto opened = std::make_shared<FaceFile>(library, file.first, file.second);
        files[file] = opened;
        return opened;
    }
};

FontEngine& FontEngine::Instance() {
    static FontEngine engine;
    return engine;
}

FontEngine::FontEngine() : impl_(std::make_unique<Impl>()) {
    impl_->config = FcInitLoadConfigAndFonts();
}

FontEngine::~FontEngine() {
    impl_->fonts.clear();
    if (impl_->config) FcConfigDestroy(impl_->config);
}

std::string FontEngine::ResolveFile(const std::string& face) { return impl_->Resolve(face).first; }

std::shared_ptr<SizedFont> FontEngine::Get(const FontDescription& description) {
    const Impl::Key key{description.face, description.height, description.weight >= 600 ? 700 : 400,
                        description.italic, false, false};
    if (auto found = impl_->fonts.find(key); found != impl_->fonts.end()) return found->second;
    auto file = impl_->Open(impl_->Resolve(description.face));
    FontDescription shaped = description;
    shaped.underline = shaped.strikeOut = false;  // drawn as lines by the text layer, not by the glyphs
    auto font = std::make_shared<SizedFont>(std::move(file), shaped);
    impl_->fonts.emplace(key, font);
    return font;
}

}  // namespace zem::platform
