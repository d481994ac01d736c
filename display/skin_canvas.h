#pragma once
// The one drawing surface of the clock windows: a 32-bit premultiplied-alpha bitmap drawn
// with GDI+ in logical units (96 DPI pixels) and handed to a layered window in one call.
// User-interface thread only: query results reach it through the hidden window's messages.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "display/button_images.h"
#include "display/glyph_run_cache.h"
#include "display/skin_geometry.h"
#include "framework/unique_handle.h"

namespace velmora {

struct MemoryDcTraits {
    using Value = HDC;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { ::DeleteDC(h); }
};
using UniqueMemoryDc = UniqueResource<MemoryDcTraits>;

struct ScreenDcTraits {
    using Value = HDC;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { ::ReleaseDC(nullptr, h); }
};
using UniqueScreenDc = UniqueResource<ScreenDcTraits>;

using UniqueBitmap = UniqueResource<GdiObjectTraits<HBITMAP>>;

// Selects an object into a DC and puts back what the DC held before when it goes.
class ScopedSelection {
public:
    ScopedSelection() = default;
    ~ScopedSelection() { Reset(); }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;
    void Select(HDC dc, HGDIOBJ object) {
        Reset();
        dc_ = dc;
        previous_ = ::SelectObject(dc, object);
    }
    void Reset() {
        if (dc_) ::SelectObject(dc_, previous_);
        dc_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

class SkinCanvas {
public:
    SkinCanvas();
    ~SkinCanvas();
    SkinCanvas(const SkinCanvas&) = delete;
    SkinCanvas& operator=(const SkinCanvas&) = delete;

    // The screen's DPI / 96.
    double DisplayScale = 1.0;
    BLENDFUNCTION blend{};
    std::unique_ptr<Gdiplus::SolidBrush> shadowBrush;
    std::unique_ptr<Gdiplus::SolidBrush> textBrush;
    std::unique_ptr<Gdiplus::SolidBrush> menuBrush;
    std::unique_ptr<Gdiplus::StringFormat> stringFormat;
    std::unique_ptr<Gdiplus::Graphics> graphics;
    int pixelWidth = 0;
    int pixelHeight = 0;
    // What RestoreRegion repaints from: the background, and the overlay drawn over it.
    Gdiplus::Bitmap* overlayImage = nullptr;
    Gdiplus::Bitmap* backgroundImage = nullptr;

    // First thing in each clock window's initialisation: clears the window's images; the
    // first call also starts GDI+ and makes the brushes, the font family and the scale.
    void Initialize();
    // The image of a "PNG" resource, loaded once and kept, with its bytes, for the run.
    // A missing resource gives an empty image that draws nothing. Its size is its logical
    // size; at 144 and 192 DPI it is drawn from the copy of it drawn at 1.5 or 2 times
    // that size (SharperImage).
    Gdiplus::Bitmap* LoadPngImage(int resourceId);
    // The drawing of `image` at the artwork scale nearest DisplayScale, and that scale;
    // null at 96 DPI, or when there is none.
    Gdiplus::Bitmap* SharperImage(Gdiplus::Bitmap* image, double* scale);
    // A surface of trunc(width x scale) by trunc(height x scale) device pixels, transparent.
    void CreateSurface(int logicalWidth, int logicalHeight);
    // Makes the whole surface fully transparent.
    void ClearSurface();
    // Repaints a rectangle from the background (and overlay) image, transparent where they are.
    void RestoreRegion(int x, int y, int width, int height);
    // Text centred on (x, y); with a black shadow one unit right and one up.
    void DrawTextAt(const std::wstring& text, std::uint8_t size, float x, float y, bool shadow,
                    const Gdiplus::Brush* brush = nullptr);
    // The same in white, for a caller that knows the text's ink lies within `changed`.
    void DrawTextWithin(const DeviceRect& changed, std::wstring_view text, std::uint8_t size, float x, float y,
                        bool shadow);
    // Where the renderer puts each character of a text drawn as DrawTextAt does: their left
    // edges in logical units; empty when it cannot say.
    std::vector<float> CharacterLefts(std::wstring_view text, std::uint8_t size, float x, float y);
    // Whether the font gives the ten decimal digits one advance at this size.
    // The digits grouped by their advance in the digital font at `size` (each named by the
    // first digit of its group); nothing when they cannot be measured.
    std::optional<std::array<wchar_t, 10>> DigitClasses(std::uint8_t size);
    Gdiplus::Font* GetFont(std::uint8_t size);
    // How wide `text` draws at `size`, in logical units.
    double TextWidth(const std::wstring& text, std::uint8_t size);
    // The image of a button's look; null for a control id without images (a text button).
    Gdiplus::Bitmap* GetButtonImage(int controlId, int state);
    // An image at its natural size (one logical unit per image pixel), or stretched.
    void DrawImage(Gdiplus::Bitmap* image, int x, int y);
    void DrawImage(Gdiplus::Bitmap* image, int x, int y, int width, int height);
    void FillRect(const Gdiplus::Brush* brush, int x, int y, int width, int height);
    void DrawRect(const Gdiplus::Pen* pen, int x, int y, int width, int height);
    // Shows what was drawn since the last Present on the layered window (which takes the
    // surface's size, or width x height): only the changed rectangle is handed over, or the
    // whole surface where the system refuses a partial update. Nothing changed, no call.
    void Present(HWND window);
    void Present(HWND window, int width, int height);
    // What the last drawing changed and the next Present hands over, in device pixels.
    DeviceRect Changed() const { return changed_; }
    void MarkChanged(const DeviceRect& r);
    // Puts back what Changed() said before, for a caller that works out itself what changed.
    void ResetChanged(const DeviceRect& r) { changed_ = r; }
    // The system's UpdateLayeredWindowIndirect; tests put a stand-in here.
    std::function<BOOL(HWND, const UPDATELAYEREDWINDOWINFO&)> updateLayeredWindow;

    // Device pixels of a logical rectangle (covering it), clipped to the surface.
    DeviceRect DeviceRectOf(int x, int y, int width, int height) const;
    // The surface's pixels in a device rectangle, to read and write directly (after any
    // pending drawing); empty without a surface.
    PixelView Pixels(const DeviceRect& r);

    bool Initialized() const { return initialized_; }
    // The digital font's family name and whether it is the copy inside the program.
    const std::wstring& FontFamilyName() const { return familyName_; }
    bool UsesBundledFont() const { return bundledFont_; }
    // The surface's pixel as premultiplied ARGB (0 outside the surface).
    std::uint32_t PixelAt(int x, int y) const;

private:
    void ReleaseSurface();
    void ChooseFontFamily();
    void PrepareBackdrop();
    Gdiplus::Bitmap* LoadResourceImage(int resourceId);
    // `image` into the logical rectangle, from its sharper drawing when there is one.
    void DrawArtwork(Gdiplus::Graphics& target, Gdiplus::Bitmap* image, int x, int y, int width, int height);

    bool initialized_ = false;
    ULONG_PTR gdiplusToken_ = 0;
    UniqueScreenDc screenDc_;
    // Released in reverse order: the selection undone, then the DC, then the bitmap.
    UniqueBitmap bitmap_;
    UniqueMemoryDc memoryDc_;
    ScopedSelection selection_;
    std::uint32_t* bits_ = nullptr;
    DeviceRect changed_;
    bool presentFailureTraced_ = false;
    std::map<std::uint8_t, std::optional<std::array<wchar_t, 10>>> digitClasses_;
    std::unique_ptr<Gdiplus::Bitmap> surface_;
    std::wstring familyName_;
    bool bundledFont_ = false;
    std::unique_ptr<Gdiplus::PrivateFontCollection> bundledFonts_;
    std::unique_ptr<Gdiplus::FontFamily> family_;
    std::map<std::uint8_t, std::unique_ptr<Gdiplus::Font>> fonts_;
    struct PngImage;
    std::map<int, std::unique_ptr<PngImage>> images_;
    std::map<const Gdiplus::Bitmap*, int> ids_;  // the images loaded by their own id
    // The background and overlay drawn once at the surface's scale; RestoreRegion copies
    // from it, which repaints a band exactly, whatever the scale.
    std::vector<std::uint32_t> backdrop_;
    const Gdiplus::Bitmap* backdropBackground_ = nullptr;
    const Gdiplus::Bitmap* backdropOverlay_ = nullptr;
    bool backdropValid_ = false;
};

// The process-wide canvas.
extern SkinCanvas Canvas;

}  // namespace velmora
