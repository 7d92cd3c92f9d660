// Blits, fills and single pixels. Every operation maps its rectangle into the
// destination bitmap, cuts it to the destination's clip and to the pixels the
// source has, and touches nothing else.
#include "platform/drawing/gdi.h"
#include "platform/drawing/gdi_objects.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

using zem::platform::Bitmap;
using zem::platform::BitmapObject;
using zem::platform::BrushObject;
using zem::platform::DeviceContext;
using zem::platform::DrawTarget;
using zem::platform::GdiTable;
using zem::platform::ObjectKind;
using zem::platform::Pixel;
using zem::platform::PixelFromColor;

namespace {

// The colour a brush value paints, or false for none (hollow or unknown).
bool BrushColor(HBRUSH brush, COLORREF& color) {
    const auto value = zem::platform::ValueFromHandle(brush);
    if (value >= 1 && value <= static_cast<std::uintptr_t>(COLOR_MENUBAR) + 1) {
        color = GetSysColor(static_cast<int>(value - 1));
        return true;
    }
    auto* object = GdiTable::Instance().FindAs<BrushObject>(brush, ObjectKind::Brush);
    if (!object || object->hollow) return false;
    color = object->color;
    return true;
}

void FillArea(DrawTarget& target, int x, int y, int width, int height, Pixel pixel) {
    const int left = x + target.origin.x;
    const int top = y + target.origin.y;
    for (int row = std::max<int>(top, target.clip.Bounds().top);
         row < std::min<int>(top + height, target.clip.Bounds().bottom); ++row) {
        Pixel* line = target.pixels->Row(row);
        target.clip.ForEachRun(row, left, left + width, [&](int a, int b) { std::fill(line + a, line + b, pixel); });
    }
}

// One axis of a stretch: for each destination pixel, the source pixel it
// takes. Nearest pixel, sampled at the destination pixel's centre; a sign
// difference between the two extents mirrors.
struct Axis {
    int destinationStart = 0;
    std::vector<int> source;  // absolute source coordinate per destination pixel
};

Axis MapAxis(int destination, int destinationExtent, int source, int sourceExtent) {
    Axis axis;
    const bool mirror = (destinationExtent < 0) != (sourceExtent < 0);
    const int destinationCount = std::abs(destinationExtent);
    const int sourceCount = std::abs(sourceExtent);
    axis.destinationStart = destinationExtent < 0 ? destination + destinationExtent + 1 : destination;
    const int sourceStart = sourceExtent < 0 ? source + sourceExtent + 1 : source;
    axis.source.resize(static_cast<std::size_t>(destinationCount));
    for (int i = 0; i < destinationCount; ++i) {
        const long long offset = (2LL * i + 1) * sourceCount / (2LL * destinationCount);
        const int index = static_cast<int>(mirror ? sourceCount - 1 - offset : offset);
        axis.source[static_cast<std::size_t>(i)] = sourceStart + index;
    }
    return axis;
}

// A stretch of an upscaled row in blocks of 8 destination pixels: every
// block takes its pixels from a window of 8 consecutive source pixels (the
// destination is at least as wide as the source), so one load of the window
// and one permutation give the block. `lanes` are the window offsets, or,
// with base < 0 (a window that would pass the row's end), the absolute
// source columns taken one at a time.
struct PermutedBlock {
    std::int32_t base = -1;
    std::int32_t lanes[8] = {};
};

std::vector<PermutedBlock> PermutedBlocks(const std::vector<int>& sourceColumns, std::size_t begin, std::size_t end,
                                          int sourceWidth) {
    std::vector<PermutedBlock> blocks;
    for (std::size_t start = begin; start + 8 <= end; start += 8) {
        PermutedBlock block;
        const auto [low, high] = std::minmax_element(sourceColumns.begin() + static_cast<std::ptrdiff_t>(start),
                                                     sourceColumns.begin() + static_cast<std::ptrdiff_t>(start + 8));
        const bool windowed = *high - *low < 8 && *low + 8 <= sourceWidth;
        block.base = windowed ? *low : -1;
        for (std::size_t lane = 0; lane < 8; ++lane)
            block.lanes[lane] = sourceColumns[start + lane] - (windowed ? *low : 0);
        blocks.push_back(block);
    }
    return blocks;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ZEM_PERMUTED_ROWS 1
__attribute__((target("avx2"))) void CopyPermutedBlocks(const Pixel* line, const std::vector<PermutedBlock>& blocks,
                                                         Pixel* out) {
    for (const PermutedBlock& block : blocks) {
        if (block.base >= 0) {
            const __m256i lanes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block.lanes));
            const __m256i window = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(line + block.base));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permutevar8x32_epi32(window, lanes));
        } else {
            for (int lane = 0; lane < 8; ++lane) out[lane] = line[block.lanes[lane]];
        }
        out += 8;
    }
}

bool PermutedRowsAvailable() {
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}
#else
void CopyPermutedBlocks(const Pixel*, const std::vector<PermutedBlock>&, Pixel*) {}
bool PermutedRowsAvailable() { return false; }
#endif

// A stretched copy of source into destination; `keep` says which source
// pixels are drawn (all of them, or those that are not the key colour). With
// CopyAll (every pixel kept) a destination row that takes the same source row
// as the row just drawn, under a rectangular clip, is a copy of that row.
template <bool CopyAll, typename Keep>
void StretchCopy(DrawTarget& destination, int x, int y, int width, int height, const DrawTarget& source,
                 int sourceX, int sourceY, int sourceWidth, int sourceHeight, Keep keep) {
    const Axis columns = MapAxis(x + destination.origin.x, width, sourceX + source.origin.x, sourceWidth);
    const Axis rows = MapAxis(y + destination.origin.y, height, sourceY + source.origin.y, sourceHeight);
    const Bitmap& from = *source.pixels;
    Bitmap& to = *destination.pixels;
    // Reading and writing the same bitmap: read from a copy.
    Bitmap copy;
    const Bitmap* read = &from;
    if (&from == &to) {
        copy = from;
        read = &copy;
    }
    // The mapping is monotonic, so the destination columns whose source
    // column exists are one span: the row loop then needs no bounds checks.
    const int count = static_cast<int>(columns.source.size());
    const auto exists = [&](int index) {
        const int column = columns.source[static_cast<std::size_t>(index)];
        return column >= 0 && column < read->Width();
    };
    int spanBegin = 0;
    int spanEnd = count;
    while (spanBegin < count && !exists(spanBegin)) ++spanBegin;
    while (spanEnd > spanBegin && !exists(spanEnd - 1)) --spanEnd;
    const int first = columns.destinationStart;
    const RECT& bounds = destination.clip.Bounds();
    const int copyLeft = std::max<int>(first + spanBegin, bounds.left);
    const int copyRight = std::min<int>(first + spanEnd, bounds.right);
    const bool rectangle = destination.clip.IsRectangle();
    // An upscaled row under a rectangular clip goes in permuted blocks; the
    // columns past the last whole block one at a time.
    std::vector<PermutedBlock> blocks;
    const bool permuted = CopyAll && rectangle && copyRight > copyLeft && std::abs(width) >= std::abs(sourceWidth) &&
                          PermutedRowsAvailable();
    if (permuted)
        blocks = PermutedBlocks(columns.source, static_cast<std::size_t>(copyLeft - first),
                                static_cast<std::size_t>(copyRight - first), read->Width());
    const int blockedRight = copyLeft + 8 * static_cast<int>(blocks.size());

    int previousSource = -1;
    const Pixel* previousLine = nullptr;
    for (std::size_t r = 0; r < rows.source.size(); ++r) {
        const int destinationRow = rows.destinationStart + static_cast<int>(r);
        const int sourceRow = rows.source[r];
        if (sourceRow < 0 || sourceRow >= read->Height() || destinationRow < bounds.top ||
            destinationRow >= bounds.bottom) {
            previousLine = nullptr;
            continue;
        }
        Pixel* destinationLine = to.Row(destinationRow);
        if (CopyAll && rectangle && previousLine != nullptr && sourceRow == previousSource) {
            if (copyRight > copyLeft)
                std::memcpy(destinationLine + copyLeft, previousLine + copyLeft,
                            static_cast<std::size_t>(copyRight - copyLeft) * sizeof(Pixel));
            continue;
        }
        const Pixel* sourceLine = read->Row(sourceRow);
        int plainLeft = first + spanBegin;
        if (permuted) {
            CopyPermutedBlocks(sourceLine, blocks, destinationLine + copyLeft);
            plainLeft = blockedRight;
        }
        destination.clip.ForEachRun(destinationRow, plainLeft, first + spanEnd, [&](int a, int b) {
            const int* index = columns.source.data() + (a - first);
            Pixel* out = destinationLine + a;
            for (int n = b - a; n > 0; --n, ++index, ++out) {
                const Pixel pixel = sourceLine[*index];
                if (keep(pixel)) *out = pixel;
            }
        });
        previousSource = sourceRow;
        previousLine = destinationLine;
    }
}

}  // namespace

BOOL BitBlt(HDC destinationDC, int x, int y, int width, int height, HDC sourceDC, int sourceX, int sourceY,
            DWORD rop) {
    auto& table = GdiTable::Instance();
    DrawTarget destination;
    if (!table.Resolve(destinationDC, destination)) return FALSE;
    if (width <= 0 || height <= 0) return TRUE;
    if (rop == BLACKNESS || rop == WHITENESS || rop == PATCOPY) {
        COLORREF color = rop == WHITENESS ? 0xFFFFFF : 0;
        if (rop == PATCOPY && !BrushColor(static_cast<HBRUSH>(table.FindDC(destinationDC)->brush), color)) return TRUE;
        FillArea(destination, x, y, width, height, PixelFromColor(color));
        return TRUE;
    }
    if (rop != SRCCOPY) return FALSE;
    DrawTarget source;
    if (!table.Resolve(sourceDC, source)) return FALSE;

    // The rectangle in destination-bitmap coordinates, cut to the clip
    // bounds and to what the source bitmap holds.
    const int offsetX = (sourceX + source.origin.x) - (x + destination.origin.x);
    const int offsetY = (sourceY + source.origin.y) - (y + destination.origin.y);
    RECT area{x + destination.origin.x, y + destination.origin.y, x + destination.origin.x + width,
              y + destination.origin.y + height};
    area = zem::platform::IntersectRects(area, destination.clip.Bounds());
    area = zem::platform::IntersectRects(
        area, RECT{-offsetX, -offsetY, source.pixels->Width() - offsetX, source.pixels->Height() - offsetY});
    if (area.right <= area.left || area.bottom <= area.top) return TRUE;

    Bitmap& to = *destination.pixels;
    const Bitmap& from = *source.pixels;
    const bool same = &to == &from;
    // Overlapping copies within one bitmap go bottom-up when moving down.
    const bool upward = same && offsetY < 0;
    for (int i = 0; i < area.bottom - area.top; ++i) {
        const int row = upward ? area.bottom - 1 - i : area.top + i;
        Pixel* destinationLine = to.Row(row);
        const Pixel* sourceLine = from.Row(row + offsetY) + offsetX;
        destination.clip.ForEachRun(row, area.left, area.right, [&](int a, int b) {
            std::memmove(destinationLine + a, sourceLine + a, static_cast<std::size_t>(b - a) * sizeof(Pixel));
        });
    }
    return TRUE;
}

BOOL StretchBlt(HDC destinationDC, int x, int y, int width, int height, HDC sourceDC, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, DWORD rop) {
    if (width == sourceWidth && height == sourceHeight && width > 0 && height > 0)
        return BitBlt(destinationDC, x, y, width, height, sourceDC, sourceX, sourceY, rop);
    if (rop != SRCCOPY) return FALSE;
    auto& table = GdiTable::Instance();
    DrawTarget destination;
    DrawTarget source;
    if (!table.Resolve(destinationDC, destination) || !table.Resolve(sourceDC, source)) return FALSE;
    if (width == 0 || height == 0 || sourceWidth == 0 || sourceHeight == 0) return TRUE;
    StretchCopy<true>(destination, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight,
                      [](Pixel) { return true; });
    return TRUE;
}

BOOL TransparentBlt(HDC destinationDC, int x, int y, int width, int height, HDC sourceDC, int sourceX,
                    int sourceY, int sourceWidth, int sourceHeight, UINT transparentColor) {
    auto& table = GdiTable::Instance();
    DrawTarget destination;
    DrawTarget source;
    if (!table.Resolve(destinationDC, destination) || !table.Resolve(sourceDC, source)) return FALSE;
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return FALSE;
    const Pixel key = PixelFromColor(transparentColor);
    StretchCopy<false>(destination, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight,
                       [key](Pixel pixel) { return (pixel & 0xFFFFFF) != key; });
    return TRUE;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    DrawTarget target;
    if (!rect || !GdiTable::Instance().Resolve(dc, target)) return 0;
    COLORREF color = 0;
    if (!BrushColor(brush, color)) return 0;
    FillArea(target, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
             PixelFromColor(color));
    return 1;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    DrawTarget target;
    if (!GdiTable::Instance().Resolve(dc, target)) return CLR_INVALID;
    const int column = x + target.origin.x;
    const int row = y + target.origin.y;
    if (!target.clip.Contains(column, row)) return CLR_INVALID;
    target.pixels->Set(column, row, PixelFromColor(color));
    return color & 0xFFFFFF;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    DrawTarget target;
    if (!GdiTable::Instance().Resolve(dc, target)) return CLR_INVALID;
    const int column = x + target.origin.x;
    const int row = y + target.origin.y;
    if (!target.pixels->Contains(column, row)) return CLR_INVALID;
    return zem::platform::ColorFromPixel(target.pixels->At(column, row));
}
