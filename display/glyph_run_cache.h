#pragma once
// Pre-rendered runs of a text that changes every second (a clock's time), so that a redraw
// copies a few small blocks of pixels instead of rendering the text again. Pixels are
// whatever the renderer produced over the unchanging pixels under the text, so a composed
// text is identical to a rendered one as long as each run's pixels depend only on its own
// characters; the cache checks that on every text it learns and switches itself off when it
// does not hold. No Windows here: pixels are 32-bit values in plain memory.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmora {

// A rectangle of 32-bit pixels inside a larger buffer.
struct PixelView {
    std::uint32_t* pixels = nullptr;  // the rectangle's top-left pixel
    int stride = 0;                   // pixels from one row to the next
    int width = 0;
    int height = 0;
    std::uint32_t* Row(int y) const { return pixels + static_cast<std::ptrdiff_t>(y) * stride; }
};

// Columns of a region, [left, right), that a composed text changed.
struct ColumnSpan {
    int left = 0;
    int right = 0;
    bool Empty() const { return right <= left; }
    void Add(int l, int r);
};

class GlyphRunCache {
public:
    // What a region currently shows, as far as the cache knows (one per place the text is drawn).
    struct Shown {
        int layout = -1;
        std::uint64_t generation = 0;
        std::vector<const std::vector<std::uint32_t>*> runs;
        void Forget() {
            layout = -1;
            runs.clear();
        }
    };
    struct Stats {
        std::size_t composed = 0;  // texts drawn from the cache
        std::size_t learned = 0;   // texts rendered and taken apart into runs
        std::size_t runs = 0;      // runs held
        bool disabled = false;
    };

    // A region of `width` x `height` pixels; `pixelLimit` bounds what the runs may hold.
    GlyphRunCache(int width, int height, std::size_t pixelLimit = std::size_t{1} << 19);

    // Digits of the same advance, each named by the first digit of its class ("0" for all
    // where every digit has the same advance; a narrow "1" of its own in a digital face):
    // texts that differ only in digits of the same class are laid out alike (a clock's usual
    // case) and share one layout. Without classes every text has a layout of its own.
    using DigitClasses = std::array<wchar_t, 10>;
    void SetDigitClasses(const DigitClasses& classes) {
        digitClasses_ = classes;
        hasDigitClasses_ = true;
    }
    // Kept for a font whose digits all share their advance.
    void SetDigitsShareAdvance(bool share);
    bool HasDigitClasses() const { return hasDigitClasses_; }
    // The class of a digit (itself when there are no classes).
    wchar_t DigitClass(wchar_t digit) const;
    std::wstring LayoutKey(std::wstring_view text) const;
    bool KnowsLayout(const std::wstring& key) const { return layoutIndex_.contains(key); }
    // Where the renderer puts each character of a text with this layout: the left edge of
    // each one in region pixels, in text order.
    void AddLayout(const std::wstring& key, const std::vector<int>& characterLefts);

    // Writes `text` into `region` from cached runs, only the runs that differ from what
    // `shown` says the region holds, and adds their columns to `changed`. False, with the
    // region untouched, when some run of the text is not cached: render it, then Learn.
    bool Compose(std::wstring_view text, PixelView region, Shown& shown, ColumnSpan& changed);
    // Takes apart `text` as the renderer has just drawn it into `region` over `under` (the
    // region's unchanging pixels). Afterwards `shown` describes the region.
    void Learn(std::wstring_view text, PixelView region, PixelView under, Shown& shown);

    bool Disabled() const { return disabled_; }
    Stats GetStats() const;
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    struct Layout {
        std::vector<int> characterLefts;
        std::vector<int> boundaries;  // run edges: 0, the inner edges, width
        // Per run, its pixels by the characters it holds.
        std::vector<std::unordered_map<std::wstring, std::vector<std::uint32_t>>> runs;
    };
    // The characters of `text` that fall into run `run`.
    static std::wstring_view RunText(const Layout& layout, std::wstring_view text, std::size_t run);
    void ResetRuns(Layout& layout);
    void Forget();

    int width_;
    int height_;
    std::size_t pixelLimit_;
    std::size_t pixelsHeld_ = 0;
    bool hasDigitClasses_ = false;
    DigitClasses digitClasses_{};
    bool disabled_ = false;
    std::uint64_t generation_ = 1;  // moves on whenever held runs are dropped
    std::vector<Layout> layouts_;
    std::unordered_map<std::wstring, int> layoutIndex_;
    std::size_t composed_ = 0;
    std::size_t learned_ = 0;
};

}  // namespace velmora
