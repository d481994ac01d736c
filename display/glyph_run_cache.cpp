#include "display/glyph_run_cache.h"

#include <algorithm>

namespace velmora {

namespace {

// A cache that met this many layouts is fed texts that never repeat (a locale whose digits
// are not the ASCII ones, say): it starts again rather than grow.
constexpr std::size_t kLayoutLimit = 64;

bool ColumnsEqual(PixelView a, PixelView b, int x) {
    for (int y = 0; y < a.height; ++y)
        if (a.Row(y)[x] != b.Row(y)[x]) return false;
    return true;
}

std::vector<std::uint32_t> CopyColumns(PixelView region, int left, int right) {
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(right - left) * static_cast<std::size_t>(region.height));
    for (int y = 0; y < region.height; ++y) pixels.insert(pixels.end(), region.Row(y) + left, region.Row(y) + right);
    return pixels;
}

void PasteColumns(PixelView region, int left, int right, const std::vector<std::uint32_t>& pixels) {
    const std::size_t width = static_cast<std::size_t>(right - left);
    for (int y = 0; y < region.height; ++y)
        std::copy_n(pixels.data() + static_cast<std::size_t>(y) * width, width, region.Row(y) + left);
}

}  // namespace

void ColumnSpan::Add(int l, int r) {
    if (r <= l) return;
    if (Empty()) {
        left = l;
        right = r;
        return;
    }
    left = std::min(left, l);
    right = std::max(right, r);
}

GlyphRunCache::GlyphRunCache(int width, int height, std::size_t pixelLimit)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), pixelLimit_(pixelLimit) {}

void GlyphRunCache::SetDigitsShareAdvance(bool share) {
    if (share) {
        SetDigitClasses({L'0', L'0', L'0', L'0', L'0', L'0', L'0', L'0', L'0', L'0'});
    } else {
        hasDigitClasses_ = false;
    }
}

wchar_t GlyphRunCache::DigitClass(wchar_t digit) const {
    if (!hasDigitClasses_ || digit < L'0' || digit > L'9') return digit;
    return digitClasses_[static_cast<std::size_t>(digit - L'0')];
}

std::wstring GlyphRunCache::LayoutKey(std::wstring_view text) const {
    std::wstring key(text);
    for (wchar_t& c : key) c = DigitClass(c);
    return key;
}

void GlyphRunCache::AddLayout(const std::wstring& key, const std::vector<int>& characterLefts) {
    if (disabled_ || KnowsLayout(key)) return;
    if (layouts_.size() >= kLayoutLimit) {
        layouts_.clear();
        layoutIndex_.clear();
        pixelsHeld_ = 0;
        ++generation_;
    }
    Layout layout;
    layout.characterLefts = characterLefts;
    // A text reaching outside the region, or laid out right to left, is left to the renderer:
    // its runs could not hold all of it. Such a layout has no boundaries and never composes.
    const bool inside = std::is_sorted(characterLefts.begin(), characterLefts.end()) &&
                        std::all_of(characterLefts.begin(), characterLefts.end(),
                                    [this](int left) { return left >= 0 && left < width_; });
    if (inside && !characterLefts.empty()) {
        layout.boundaries.push_back(0);
        for (std::size_t i = 1; i < characterLefts.size(); ++i)
            if (characterLefts[i] > layout.boundaries.back()) layout.boundaries.push_back(characterLefts[i]);
        layout.boundaries.push_back(width_);
        layout.runs.resize(layout.boundaries.size() - 1);
    }
    layoutIndex_.emplace(key, static_cast<int>(layouts_.size()));
    layouts_.push_back(std::move(layout));
}

std::wstring_view GlyphRunCache::RunText(const Layout& layout, std::wstring_view text, std::size_t run) {
    // Each character belongs to the run its left edge falls into.
    const auto& lefts = layout.characterLefts;
    const auto first = std::lower_bound(lefts.begin(), lefts.end(), layout.boundaries[run]) - lefts.begin();
    const auto end = std::lower_bound(lefts.begin(), lefts.end(), layout.boundaries[run + 1]) - lefts.begin();
    return text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(end - first));
}

void GlyphRunCache::ResetRuns(Layout& layout) {
    for (auto& byText : layout.runs)
        for (auto& [text, pixels] : byText) pixelsHeld_ -= pixels.size();
    layout.runs.assign(layout.boundaries.empty() ? 0 : layout.boundaries.size() - 1, {});
    ++generation_;
}

void GlyphRunCache::Forget() {
    for (Layout& layout : layouts_) ResetRuns(layout);
    pixelsHeld_ = 0;
}

bool GlyphRunCache::Compose(std::wstring_view text, PixelView region, Shown& shown, ColumnSpan& changed) {
    if (disabled_ || region.width != width_ || region.height != height_) return false;
    const auto found = layoutIndex_.find(LayoutKey(text));
    if (found == layoutIndex_.end()) return false;
    const Layout& layout = layouts_[static_cast<std::size_t>(found->second)];
    if (layout.runs.empty() || text.size() != layout.characterLefts.size()) return false;
    std::vector<const std::vector<std::uint32_t>*> runs(layout.runs.size());
    for (std::size_t run = 0; run < layout.runs.size(); ++run) {
        const auto pixels = layout.runs[run].find(std::wstring(RunText(layout, text, run)));
        if (pixels == layout.runs[run].end()) return false;
        runs[run] = &pixels->second;
    }
    const bool known = shown.layout == found->second && shown.generation == generation_ && shown.runs.size() == runs.size();
    for (std::size_t run = 0; run < runs.size(); ++run) {
        if (known && shown.runs[run] == runs[run]) continue;
        PasteColumns(region, layout.boundaries[run], layout.boundaries[run + 1], *runs[run]);
        changed.Add(layout.boundaries[run], layout.boundaries[run + 1]);
    }
    shown.layout = found->second;
    shown.generation = generation_;
    shown.runs = std::move(runs);
    ++composed_;
    return true;
}

void GlyphRunCache::Learn(std::wstring_view text, PixelView region, PixelView under, Shown& shown) {
    shown.Forget();
    if (disabled_ || region.width != width_ || region.height != height_ || under.width != width_ ||
        under.height != height_)
        return;
    const auto found = layoutIndex_.find(LayoutKey(text));
    if (found == layoutIndex_.end()) return;
    Layout& layout = layouts_[static_cast<std::size_t>(found->second)];
    if (layout.runs.empty() || text.size() != layout.characterLefts.size()) return;
    ++learned_;

    // An edge with ink on it joins its two runs: their characters touch in this font.
    bool merged = false;
    for (std::size_t i = 1; i + 1 < layout.boundaries.size();) {
        if (ColumnsEqual(region, under, layout.boundaries[i])) {
            ++i;
        } else {
            layout.boundaries.erase(layout.boundaries.begin() + static_cast<std::ptrdiff_t>(i));
            merged = true;
        }
    }
    if (merged) ResetRuns(layout);

    std::vector<std::vector<std::uint32_t>> pieces(layout.runs.size());
    std::size_t newPixels = 0;
    for (std::size_t run = 0; run < layout.runs.size(); ++run) {
        pieces[run] = CopyColumns(region, layout.boundaries[run], layout.boundaries[run + 1]);
        const auto held = layout.runs[run].find(std::wstring(RunText(layout, text, run)));
        if (held == layout.runs[run].end()) {
            newPixels += pieces[run].size();
        } else if (held->second != pieces[run]) {
            // The same characters in the same place came out differently: the runs are not
            // independent of each other in this font or renderer. The renderer draws from now on.
            disabled_ = true;
            Forget();
            return;
        }
    }
    if (pixelsHeld_ + newPixels > pixelLimit_) Forget();

    shown.layout = found->second;
    shown.runs.resize(layout.runs.size());
    for (std::size_t run = 0; run < layout.runs.size(); ++run) {
        auto [at, added] = layout.runs[run].try_emplace(std::wstring(RunText(layout, text, run)), std::move(pieces[run]));
        if (added) pixelsHeld_ += at->second.size();
        shown.runs[run] = &at->second;
    }
    shown.generation = generation_;
}

GlyphRunCache::Stats GlyphRunCache::GetStats() const {
    Stats stats;
    stats.composed = composed_;
    stats.learned = learned_;
    for (const Layout& layout : layouts_)
        for (const auto& byText : layout.runs) stats.runs += byText.size();
    stats.disabled = disabled_;
    return stats;
}

}  // namespace velmora
