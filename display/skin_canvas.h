#pragma once
// The one drawing surface of the clock windows: a 32-bit premultiplied-alpha bitmap drawn
// with GDI+ in logical units (96 DPI pixels) and handed to a layered window in one call.
// User-interface thread only: query results reach it through the hidden window's messages.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace velmora {

enum ButtonState { Normal = 0, Hover = 1, Pressed = 2 };

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
    Gdiplus::Bitmap* overlayImage = nullptr;
    Gdiplus::Bitmap* backgroundImage = nullptr;

    // First thing in each clock window's initialisation: clears the window's images; the
    // first call also starts GDI+ and makes the brushes, the font family and the scale.
    void Initialize();
    // The image of a "PNG" resource, loaded once and kept (with its bytes) for the run.
    Gdiplus::Bitmap* LoadPngImage(int resourceId);
    // A surface of trunc(width x scale) by trunc(height x scale) device pixels.
    void CreateSurface(int logicalWidth, int logicalHeight);
    // Repaints a rectangle from the background (and overlay) image.
    void RestoreRegion(int x, int y, int width, int height);
    // Text centred on (x, y); with a black shadow one unit right and one up.
    void DrawTextAt(const std::wstring& text, std::uint8_t size, float x, float y, bool shadow,
                    const Gdiplus::Brush* brush = nullptr);
    Gdiplus::Font* GetFont(std::uint8_t size);
    // The image of a button's look; null for a control id without images (a text button).
    Gdiplus::Bitmap* GetButtonImage(int controlId, int state);
    // Shows the whole surface on the layered window (or `width` x `height` pixels of it).
    void Present(HWND window);
    void Present(HWND window, int width, int height);

    bool Initialized() const { return initialized_; }
    const std::wstring& FontFamilyName() const { return familyName_; }
    // The surface's pixel (premultiplied ARGB), for tests.
    std::uint32_t PixelAt(int x, int y) const;

private:
    void ReleaseSurface();
    void ChooseFontFamily();

    bool initialized_ = false;
    ULONG_PTR gdiplusToken_ = 0;
    HDC screenDc_ = nullptr;
    HDC memoryDc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    std::unique_ptr<Gdiplus::Bitmap> surface_;
    std::wstring familyName_;
    std::unique_ptr<Gdiplus::PrivateFontCollection> bundledFonts_;
    std::unique_ptr<Gdiplus::FontFamily> family_;
    std::map<std::uint8_t, std::unique_ptr<Gdiplus::Font>> fonts_;
    struct PngImage;
    std::map<int, std::unique_ptr<PngImage>> images_;
};

// The process-wide canvas.
extern SkinCanvas Canvas;

}  // namespace velmora
