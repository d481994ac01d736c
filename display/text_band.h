#pragma once
// A band of a clock face with the texts drawn in it (a time and its date, say), redrawn the
// way it always was, restored from what lies under the texts and drawn over, but only where a
// text changed: each text owns the rows nearest to it, and a text that changes every second
// comes from pre-rendered runs of its characters. Whenever a text's ink is found outside its
// rows, the band goes back to redrawing all of itself each time.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "display/glyph_run_cache.h"
#include "display/skin_geometry.h"

namespace velmora {

struct BandText {
    std::uint8_t size = 0;  // as DrawTextAt takes it
    float x = 0;            // logical centre
    float y = 0;
    bool shadow = false;
    bool everySecond = false;  // drawn from pre-rendered runs
};

class TextBand {
public:
    // What the surface holds now in the band (a logical rectangle) is what lies under its
    // texts; they are drawn in the order given, white, as DrawTextAt draws them.
    void Capture(int x, int y, int width, int height, std::vector<BandText> texts);
    // Draws the texts (one per BandText, in the same order) that differ from the last Draw
    // and marks what changed for the canvas's next Present.
    void Draw(std::initializer_list<std::wstring_view> texts);
    // The surface under the band was painted over: the next Draw draws every text again.
    void Invalidate();

    bool Captured() const { return !under_.empty(); }
    // Redrawing all of itself each time (a text strayed out of its rows, or no rows to share).
    bool Whole() const { return whole_; }
    // Of the text drawn from pre-rendered runs: how many times it was, and how it stands.
    GlyphRunCache::Stats RunStats() const;

    // Off: every Draw restores and redraws the whole band, as the faces were drawn before
    // (for comparing the two). Process-wide; on by default.
    static void UseRuns(bool use);

private:
    struct Slot {
        DeviceRect rect;  // the rows of the band this text owns
        std::shared_ptr<GlyphRunCache> runs;
        GlyphRunCache::Shown shown;
        std::wstring last;
    };
    PixelView Under(const DeviceRect& r);
    void Restore(const DeviceRect& r);
    void DrawWhole(std::initializer_list<std::wstring_view> texts);
    // Draws text i over what lies under it; false when its ink reached another text's rows
    // (`before`: the band as it was).
    bool RenderIn(std::size_t i, std::wstring_view text, const std::vector<std::uint32_t>& before);
    bool DrawRendered(std::size_t i, std::wstring_view text);
    // For a text of a layout not seen before: renders and learns its digits in every place.
    void Prerender(std::size_t i, std::wstring_view text, const std::vector<std::uint32_t>& before);
    void Learn(std::size_t i, std::wstring_view text);

    DeviceRect band_;
    std::vector<std::uint32_t> under_;  // the band's pixels under its texts
    std::vector<BandText> texts_;
    std::vector<Slot> slots_;
    bool drawn_ = false;
    bool whole_ = false;
};

}  // namespace velmora
