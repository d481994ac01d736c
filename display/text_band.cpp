#include "display/text_band.h"

#include <algorithm>
#include <cmath>

#include "display/skin_canvas.h"
#include "display/text_band_layout.h"

namespace velmora {

namespace {

bool useRuns = true;

// Runs are shared by every band that draws the same text over the same pixels in the same
// place: a view shown again after another. Only in the same place: the renderer's output was
// seen to differ between places with the same fraction of a pixel (world-clock rows at 144
// DPI). A handful covers the views.
struct SharedRuns {
    std::uint8_t size;
    bool shadow;
    float x, y;  // the text's centre relative to its rows, device pixels
    int left, top;  // its rows' place on the surface
    int width, height;
    std::vector<std::uint32_t> under;
    std::shared_ptr<GlyphRunCache> runs;
};
constexpr std::size_t kSharedLimit = 8;

std::vector<SharedRuns>& Shared() {
    static std::vector<SharedRuns> shared;
    return shared;
}

std::vector<std::uint32_t> Copy(PixelView view) {
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(view.width) * static_cast<std::size_t>(view.height));
    for (int y = 0; y < view.height; ++y) pixels.insert(pixels.end(), view.Row(y), view.Row(y) + view.width);
    return pixels;
}

std::shared_ptr<GlyphRunCache> RunsFor(const BandText& text, const DeviceRect& rows, PixelView under) {
    const auto x = static_cast<float>(text.x * Canvas.DisplayScale - rows.left);
    const auto y = static_cast<float>(text.y * Canvas.DisplayScale - rows.top);
    std::vector<std::uint32_t> pixels = Copy(under);
    auto& shared = Shared();
    for (const SharedRuns& s : shared)
        if (s.size == text.size && s.shadow == text.shadow && s.x == x && s.y == y && s.left == rows.left &&
            s.top == rows.top && s.width == under.width && s.height == under.height && s.under == pixels)
            return s.runs;
    auto runs = std::make_shared<GlyphRunCache>(under.width, under.height);
    if (const auto classes = Canvas.DigitClasses(text.size)) runs->SetDigitClasses(*classes);
    if (shared.size() >= kSharedLimit) shared.erase(shared.begin());
    shared.push_back({text.size, text.shadow, x, y, rows.left, rows.top, under.width, under.height, std::move(pixels), runs});
    return runs;
}

}  // namespace

void TextBand::UseRuns(bool use) { useRuns = use; }

PixelView TextBand::Under(const DeviceRect& r) {
    const int width = band_.right - band_.left;
    return {under_.data() + static_cast<std::ptrdiff_t>(r.top - band_.top) * width + (r.left - band_.left), width,
            r.right - r.left, r.bottom - r.top};
}

void TextBand::Restore(const DeviceRect& r) {
    const PixelView from = Under(r);
    const PixelView to = Canvas.Pixels(r);
    if (to.width != from.width || to.height != from.height) return;
    for (int y = 0; y < to.height; ++y) std::copy_n(from.Row(y), from.width, to.Row(y));
    Canvas.MarkChanged(r);
}

void TextBand::Capture(int x, int y, int width, int height, std::vector<BandText> texts) {
    band_ = Canvas.DeviceRectOf(x, y, width, height);
    under_ = Copy(Canvas.Pixels(band_));
    texts_ = std::move(texts);
    slots_.assign(texts_.size(), {});
    drawn_ = false;
    whole_ = false;
    std::vector<BandTextPlace> places;
    for (const BandText& text : texts_) places.push_back({text.y, text.size});
    const std::vector<RowSpan> rows = DivideBandRows(places, band_.top, band_.bottom, Canvas.DisplayScale);
    if (rows.size() != texts_.size()) {
        whole_ = true;
        return;
    }
    for (std::size_t i = 0; i < texts_.size(); ++i) {
        Slot& slot = slots_[i];
        slot.rect = {band_.left, rows[i].top, band_.right, rows[i].bottom};
        if (texts_[i].everySecond) slot.runs = RunsFor(texts_[i], slot.rect, Under(slot.rect));
    }
}

void TextBand::Invalidate() {
    drawn_ = false;
    for (Slot& slot : slots_) slot.shown.Forget();
}

void TextBand::Draw(std::initializer_list<std::wstring_view> texts) {
    if (!Captured() || texts.size() != texts_.size() || !Canvas.Pixels(band_).pixels) return;
    if (whole_ || !useRuns) {
        DrawWhole(texts);
        return;
    }
    std::size_t i = 0;
    for (const std::wstring_view text : texts) {
        Slot& slot = slots_[i];
        if (!drawn_ || slot.last != text) {
            ColumnSpan changed;
            if (slot.runs && slot.runs->Compose(text, Canvas.Pixels(slot.rect), slot.shown, changed)) {
                Canvas.MarkChanged({slot.rect.left + changed.left, slot.rect.top, slot.rect.left + changed.right,
                                    slot.rect.bottom});
            } else if (!DrawRendered(i, text)) {
                // Ink outside its rows: the texts overlap in this font. Redrawn whole from now on.
                whole_ = true;
                drawn_ = false;
                DrawWhole(texts);
                return;
            }
            slot.last = text;
        }
        ++i;
    }
    drawn_ = true;
}

bool TextBand::RenderIn(std::size_t i, std::wstring_view text, const std::vector<std::uint32_t>& before) {
    const Slot& slot = slots_[i];
    const BandText& item = texts_[i];
    Restore(slot.rect);
    Canvas.DrawTextWithin({}, text, item.size, item.x, item.y, item.shadow);
    // Every row of the band outside this text's own must be as it was.
    const PixelView now = Canvas.Pixels(band_);
    for (int y = 0; y < now.height; ++y) {
        const int row = band_.top + y;
        if (row >= slot.rect.top && row < slot.rect.bottom) continue;
        if (!std::equal(now.Row(y), now.Row(y) + now.width, before.begin() + static_cast<std::ptrdiff_t>(y) * now.width))
            return false;
    }
    return true;
}

bool TextBand::DrawRendered(std::size_t i, std::wstring_view text) {
    Slot& slot = slots_[i];
    const std::vector<std::uint32_t> before = Copy(Canvas.Pixels(band_));
    const DeviceRect changedBefore = Canvas.Changed();
    if (!RenderIn(i, text, before)) return false;
    if (slot.runs) {
        const bool newLayout = !slot.runs->KnowsLayout(slot.runs->LayoutKey(text));
        Learn(i, text);
        if (newLayout) Prerender(i, text, before);
    }
    // Only the columns of its rows that came out differently go to the next Present.
    Canvas.ResetChanged(changedBefore);
    const PixelView now = Canvas.Pixels(band_);
    ColumnSpan changed;
    for (int y = slot.rect.top - band_.top; y < slot.rect.bottom - band_.top; ++y) {
        const std::uint32_t* was = before.data() + static_cast<std::ptrdiff_t>(y) * now.width;
        const std::uint32_t* is = now.Row(y);
        int left = 0;
        while (left < now.width && is[left] == was[left]) ++left;
        if (left == now.width) continue;
        int right = now.width;
        while (is[right - 1] == was[right - 1]) --right;
        changed.Add(left, right);
    }
    Canvas.MarkChanged({band_.left + changed.left, slot.rect.top, band_.left + changed.right, slot.rect.bottom});
    return true;
}

void TextBand::Prerender(std::size_t i, std::wstring_view text, const std::vector<std::uint32_t>& before) {
    Slot& slot = slots_[i];
    GlyphRunCache& runs = *slot.runs;
    // The same layout with each of the ten digits in every place of a digit of its advance:
    // the seconds to come then find their runs ready. (Digits of another advance would make
    // another layout.)
    if (!runs.HasDigitClasses()) return;
    for (wchar_t digit = L'0'; digit <= L'9'; ++digit) {
        std::wstring variant(text);
        const wchar_t digitClass = runs.DigitClass(digit);
        std::replace_if(variant.begin(), variant.end(),
                        [&](wchar_t c) { return c >= L'0' && c <= L'9' && runs.DigitClass(c) == digitClass; }, digit);
        if (variant == text) continue;
        if (!RenderIn(i, variant, before)) {
            // This digit's ink leaves the text's rows: put the band back and leave it to the
            // texts the clock really shows.
            const PixelView band = Canvas.Pixels(band_);
            for (int y = 0; y < band.height; ++y)
                std::copy_n(before.begin() + static_cast<std::ptrdiff_t>(y) * band.width, band.width, band.Row(y));
            RenderIn(i, text, before);
            Learn(i, text);
            return;
        }
        Learn(i, variant);
        if (runs.Disabled()) break;
    }
    ColumnSpan ignored;
    if (!runs.Compose(text, Canvas.Pixels(slot.rect), slot.shown, ignored)) {
        RenderIn(i, text, before);
        Learn(i, text);
    }
}

void TextBand::Learn(std::size_t i, std::wstring_view text) {
    Slot& slot = slots_[i];
    const BandText& item = texts_[i];
    GlyphRunCache& runs = *slot.runs;
    const std::wstring key = runs.LayoutKey(text);
    if (!runs.KnowsLayout(key)) {
        std::vector<int> lefts;
        for (const float left : Canvas.CharacterLefts(text, item.size, item.x, item.y))
            lefts.push_back(static_cast<int>(std::floor(left * Canvas.DisplayScale)) - slot.rect.left);
        // Without the characters' places (or for an empty text) the layout never composes.
        if (lefts.size() != text.size()) lefts.clear();
        runs.AddLayout(key, lefts);
    }
    runs.Learn(text, Canvas.Pixels(slot.rect), Under(slot.rect), slot.shown);
}

void TextBand::DrawWhole(std::initializer_list<std::wstring_view> texts) {
    if (drawn_) {
        std::size_t i = 0;
        bool same = true;
        for (const std::wstring_view text : texts) same = same && slots_[i++].last == text;
        if (same) return;
    }
    Restore(band_);
    std::size_t i = 0;
    for (const std::wstring_view text : texts) {
        const BandText& item = texts_[i];
        Canvas.DrawTextWithin(band_, text, item.size, item.x, item.y, item.shadow);
        slots_[i].last = text;
        slots_[i].shown.Forget();
        ++i;
    }
    drawn_ = true;
}

GlyphRunCache::Stats TextBand::RunStats() const {
    for (const Slot& slot : slots_)
        if (slot.runs) return slot.runs->GetStats();
    return {};
}

}  // namespace velmora
