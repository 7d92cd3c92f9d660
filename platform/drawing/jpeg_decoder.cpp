// JPEG through libjpeg-turbo. Its errors leave by longjmp; the jump lands in
// DecodeInto, whose frame holds no object with a destructor, and the error
// becomes a PictureError there.
#include "platform/drawing/picture_decoders.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace zem::platform {
namespace {

// More scans than any encoder writes: a progressive file of thousands of
// tiny scans would otherwise cost minutes of work for a few kilobytes.
constexpr int kLargestScanCount = 500;
// What the decoder may take beside the pixels (whole-picture coefficient
// buffers of a progressive file); far more than a 64-megapixel picture needs.
constexpr long kLargestWorkingMemory = 1L << 30;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void LeaveOnError(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings (corrupt data the decoder works around) are not printed.
void IgnoreMessage(j_common_ptr) {}

void LimitScans(j_common_ptr info) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kLargestScanCount) {
        auto* errors = reinterpret_cast<ErrorManager*>(info->err);
        std::snprintf(errors->message, sizeof errors->message, "more than %d scans", kLargestScanCount);
        std::longjmp(errors->jump, 1);
    }
}

// Adobe's CMYK JPEGs store the inks inverted: each value is 255 - ink.
void CmykRowToPixels(const unsigned char* cmyk, std::uint32_t* out, int width) {
    for (int x = 0; x < width; ++x, cmyk += 4) {
        const unsigned k = cmyk[3];
        auto channel = [&](unsigned value) { return (value * k + 127) / 255; };
        out[x] = 0xFF000000u | (channel(cmyk[0]) << 16) | (channel(cmyk[1]) << 8) | channel(cmyk[2]);
    }
}

// Whether the first scan has every Huffman table it decodes with. The decoder
// would put its standard tables in for missing ones (as motion-picture frames
// expect); a picture file always carries its own, so one without is refused.
bool FirstScanHasItsTables(const jpeg_decompress_struct& info) {
    if (info.arith_code) return true;
    for (int i = 0; i < info.comps_in_scan; ++i) {
        const jpeg_component_info* component = info.cur_comp_info[i];
        if (component->dc_tbl_no < 0 || component->dc_tbl_no >= NUM_HUFF_TBLS || component->ac_tbl_no < 0 ||
            component->ac_tbl_no >= NUM_HUFF_TBLS)
            return false;
        if (info.Ss == 0 && info.Ah == 0 && info.dc_huff_tbl_ptrs[component->dc_tbl_no] == nullptr) return false;
        if (info.Se > 0 && info.ac_huff_tbl_ptrs[component->ac_tbl_no] == nullptr) return false;
    }
    return true;
}

// Fills `picture` or returns false with the decoder's message in `errors`.
bool DecodeInto(std::span<const unsigned char> bytes, const PictureLimits& limits, DecodedPicture& picture,
                ErrorManager& errors, std::vector<unsigned char>& cmykRow, bool& tooLarge) {
    jpeg_decompress_struct info{};
    jpeg_progress_mgr progress{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = LeaveOnError;
    errors.base.output_message = IgnoreMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kLargestWorkingMemory;
    progress.progress_monitor = LimitScans;
    info.progress = &progress;
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    const std::uint64_t area = std::uint64_t{info.image_width} * info.image_height;
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > unsigned(limits.largestSide) ||
        info.image_height > unsigned(limits.largestSide) || area > limits.largestArea) {
        tooLarge = true;
        picture.width = static_cast<int>(info.image_width);
        picture.height = static_cast<int>(info.image_height);
        jpeg_destroy_decompress(&info);
        return false;
    }
    if (!FirstScanHasItsTables(info)) {
        std::snprintf(errors.message, sizeof errors.message, "no Huffman table");
        jpeg_destroy_decompress(&info);
        return false;
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    picture.width = static_cast<int>(info.output_width);
    picture.height = static_cast<int>(info.output_height);
    picture.pixels.resize(static_cast<std::size_t>(area));
    if (cmyk) cmykRow.resize(std::size_t{info.output_width} * 4);
    while (info.output_scanline < info.output_height) {
        std::uint32_t* out = picture.pixels.data() + std::size_t{info.output_scanline} * info.output_width;
        JSAMPROW row = cmyk ? cmykRow.data() : reinterpret_cast<JSAMPROW>(out);
        if (jpeg_read_scanlines(&info, &row, 1) != 1) break;
        if (cmyk) CmykRowToPixels(cmykRow.data(), out, picture.width);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

DecodedPicture DecodeJpeg(std::span<const unsigned char> bytes, const PictureLimits& limits) {
    DecodedPicture picture;
    ErrorManager errors{};
    std::vector<unsigned char> cmykRow;
    bool tooLarge = false;
    if (DecodeInto(bytes, limits, picture, errors, cmykRow, tooLarge)) return picture;
    if (tooLarge) CheckPictureSize(picture.width, picture.height, limits);
    throw PictureError(std::string("broken JPEG picture (") + errors.message + ")");
}

}  // namespace zem::platform
