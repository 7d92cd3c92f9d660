// Blits of a main-window-sized frame and one play-list row of text, each
// beside a memcpy of the same bytes.
#include "platform/drawing/gdi.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 1067;
constexpr int kHeight = 665;
constexpr int kRowWidth = 250;
constexpr int kRowHeight = 28;

class Frame {
public:
    Frame(int width, int height) {
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateCompatibleBitmap(dc_, width, height);
        previous_ = SelectObject(dc_, bitmap_);
        RECT all{0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(RGB(0x40, 0x40, 0x40));
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Frame() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

void MemcpyOf(benchmark::State& state, std::size_t bytes) {
    std::vector<char> from(bytes, 1);
    std::vector<char> to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_MemcpyFrame(benchmark::State& state) { MemcpyOf(state, std::size_t{kWidth} * kHeight * 4); }

void BM_BitBltFrame(benchmark::State& state) {
    Frame source(kWidth, kHeight);
    Frame target(kWidth, kHeight);
    for (auto _ : state) {
        BitBlt(target.dc(), 0, 0, kWidth, kHeight, source.dc(), 0, 0, SRCCOPY);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight * 4);
}

// A stretch onto the frame from a source of a different size (a skin strip
// row stretched over the width, as the play list's middle piece is).
void BM_StretchBltFrame(benchmark::State& state) {
    Frame source(800, 500);
    Frame target(kWidth, kHeight);
    SetStretchBltMode(target.dc(), COLORONCOLOR);
    for (auto _ : state) {
        StretchBlt(target.dc(), 0, 0, kWidth, kHeight, source.dc(), 0, 0, 800, 500, SRCCOPY);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight * 4);
}

void BM_MemcpyRow(benchmark::State& state) { MemcpyOf(state, std::size_t{kRowWidth} * kRowHeight * 4); }

void BM_DrawTextRow(benchmark::State& state) {
    Frame row(kRowWidth, kRowHeight);
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "\xCB\xCE\xCC\xE5");
    HGDIOBJ previous = SelectObject(row.dc(), font);
    SetBkMode(row.dc(), TRANSPARENT);
    SetTextColor(row.dc(), RGB(0xFF, 0xFF, 0xFF));
    // "第01集 播放列表 高清" in GBK.
    const char* text = "\xB5\xDA" "01" "\xBC\xAF \xB2\xA5\xB7\xC5\xC1\xD0\xB1\xED \xB8\xDF\xC7\xE5";
    for (auto _ : state) {
        RECT rect{32, 0, kRowWidth, kRowHeight};
        DrawTextA(row.dc(), text, -1, &rect, DT_SINGLELINE | DT_VCENTER);
        benchmark::ClobberMemory();
    }
    SelectObject(row.dc(), previous);
    DeleteObject(font);
}

}  // namespace

BENCHMARK(BM_MemcpyFrame);
BENCHMARK(BM_BitBltFrame);
BENCHMARK(BM_StretchBltFrame);
BENCHMARK(BM_MemcpyRow);
BENCHMARK(BM_DrawTextRow);
