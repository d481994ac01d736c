#include "display/skin_canvas.h"

#include <algorithm>
#include <vector>

#include "display/button_images.h"
#include "resources/resource_ids.h"

namespace velmora {

SkinCanvas Canvas;

namespace {

// Installed families first, as a user may have put a preferred digital font on the PC;
// then the one that ships inside the program, so the clock is never blank.
constexpr const wchar_t* kInstalledFamilies[] = {L"Digital-VLM", L"DS-Digital"};

// A resource's bytes, or an empty span.
std::pair<const void*, DWORD> ResourceBytes(int id, const wchar_t* type) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!resource) return {nullptr, 0};
    const HGLOBAL loaded = ::LoadResource(module, resource);
    return {loaded ? ::LockResource(loaded) : nullptr, ::SizeofResource(module, resource)};
}

}  // namespace

// The bitmap may read its stream for as long as it lives, so the stream and the bytes it
// holds are kept with it.
struct SkinCanvas::PngImage {
    IStream* stream = nullptr;
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    ~PngImage() {
        bitmap.reset();
        if (stream) stream->Release();
    }
};

SkinCanvas::SkinCanvas() {
    blend.BlendOp = AC_SRC_OVER;
    blend.BlendFlags = 0;
    blend.SourceConstantAlpha = 255;
    blend.AlphaFormat = AC_SRC_ALPHA;
}

// The canvas lives until the process ends; GDI+ is not shut down, as objects may still be
// released after this destructor by other static objects.
SkinCanvas::~SkinCanvas() = default;

void SkinCanvas::Initialize() {
    overlayImage = nullptr;
    backgroundImage = nullptr;
    if (initialized_) return;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr);
    ChooseFontFamily();
    stringFormat = std::make_unique<Gdiplus::StringFormat>(0, LANG_NEUTRAL);
    stringFormat->SetAlignment(Gdiplus::StringAlignmentCenter);
    stringFormat->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    shadowBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(0xFF000000));
    textBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(0xFFFFFFFF));
    screenDc_ = ::GetDC(nullptr);
    DisplayScale = ::GetDeviceCaps(screenDc_, LOGPIXELSX) / 96.0;
    initialized_ = true;
}

void SkinCanvas::ChooseFontFamily() {
    for (const wchar_t* name : kInstalledFamilies) {
        auto family = std::make_unique<Gdiplus::FontFamily>(name);
        if (family->GetLastStatus() == Gdiplus::Ok && family->IsAvailable()) {
            family_ = std::move(family);
            familyName_ = name;
            return;
        }
    }
    bundledFonts_ = std::make_unique<Gdiplus::PrivateFontCollection>();
    const auto [bytes, size] = ResourceBytes(IDR_DIGITAL_FONT, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (bytes) bundledFonts_->AddMemoryFont(bytes, static_cast<INT>(size));
    // The family must come from the private collection, not by name from the system's.
    INT found = 0;
    Gdiplus::FontFamily families[1];
    if (bundledFonts_->GetFamilyCount() > 0 && bundledFonts_->GetFamilies(1, families, &found) == Gdiplus::Ok && found) {
        family_.reset(families[0].Clone());
        wchar_t name[LF_FACESIZE] = {};
        family_->GetFamilyName(name);
        familyName_ = name;
    } else {
        ::OutputDebugStringW(L"Velmora: no digital font available\r\n");
        family_ = std::make_unique<Gdiplus::FontFamily>(L"Tahoma");
        familyName_ = L"Tahoma";
    }
}

Gdiplus::Bitmap* SkinCanvas::LoadPngImage(int resourceId) {
    if (auto found = images_.find(resourceId); found != images_.end()) return found->second->bitmap.get();
    auto image = std::make_unique<PngImage>();
    const auto [bytes, size] = ResourceBytes(resourceId, L"PNG");
    if (bytes && size) {
        const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
        if (memory) {
            std::memcpy(::GlobalLock(memory), bytes, size);
            ::GlobalUnlock(memory);
            // The stream frees the memory when it is released.
            if (::CreateStreamOnHGlobal(memory, TRUE, &image->stream) == S_OK)
                image->bitmap.reset(Gdiplus::Bitmap::FromStream(image->stream));
            else
                ::GlobalFree(memory);
        }
    }
    if (!image->bitmap) {
        // Draws nothing, with a size of 0, like a missing image should.
        image->bitmap = std::make_unique<Gdiplus::Bitmap>(1, 1, PixelFormat32bppARGB);
        ::OutputDebugStringW((L"Velmora: PNG resource missing: " + std::to_wstring(resourceId) + L"\r\n").c_str());
    }
    return images_.emplace(resourceId, std::move(image)).first->second->bitmap.get();
}

void SkinCanvas::ReleaseSurface() {
    graphics.reset();
    surface_.reset();
    if (memoryDc_) {
        ::SelectObject(memoryDc_, previousBitmap_);
        ::DeleteDC(memoryDc_);
        memoryDc_ = nullptr;
    }
    if (bitmap_) ::DeleteObject(bitmap_);
    bitmap_ = nullptr;
    bits_ = nullptr;
}

void SkinCanvas::CreateSurface(int logicalWidth, int logicalHeight) {
    pixelWidth = static_cast<int>(logicalWidth * DisplayScale);
    pixelHeight = static_cast<int>(logicalHeight * DisplayScale);
    ReleaseSurface();
    // A top-down 32-bit DIB section: GDI+ draws premultiplied ARGB straight into the bits
    // that UpdateLayeredWindow reads, alpha included.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = std::max(pixelWidth, 1);
    info.bmiHeader.biHeight = -std::max(pixelHeight, 1);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    memoryDc_ = ::CreateCompatibleDC(nullptr);
    bitmap_ = ::CreateDIBSection(screenDc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    previousBitmap_ = ::SelectObject(memoryDc_, bitmap_);
    bits_ = static_cast<std::uint32_t*>(bits);
    if (!bits_) return;
    surface_ = std::make_unique<Gdiplus::Bitmap>(std::max(pixelWidth, 1), std::max(pixelHeight, 1),
                                                 std::max(pixelWidth, 1) * 4, PixelFormat32bppPARGB,
                                                 reinterpret_cast<BYTE*>(bits_));
    graphics = std::make_unique<Gdiplus::Graphics>(surface_.get());
    graphics->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    graphics->ScaleTransform(static_cast<Gdiplus::REAL>(DisplayScale), static_cast<Gdiplus::REAL>(DisplayScale));
}

void SkinCanvas::RestoreRegion(int x, int y, int width, int height) {
    if (!graphics) return;
    graphics->FillRectangle(shadowBrush.get(), x, y, width, height);
    for (Gdiplus::Bitmap* image : {backgroundImage, overlayImage})
        if (image) graphics->DrawImage(image, x, y, x, y, width, height, Gdiplus::UnitPixel);
}

void SkinCanvas::DrawTextAt(const std::wstring& text, std::uint8_t size, float x, float y, bool shadow,
                            const Gdiplus::Brush* brush) {
    if (!graphics) return;
    if (!brush) brush = textBrush.get();
    Gdiplus::Font* font = GetFont(size);
    const int length = static_cast<int>(text.size());
    if (shadow)
        graphics->DrawString(text.c_str(), length, font, Gdiplus::PointF(x + 1, y - 1), stringFormat.get(),
                             shadowBrush.get());
    graphics->DrawString(text.c_str(), length, font, Gdiplus::PointF(x, y), stringFormat.get(), brush);
}

Gdiplus::Font* SkinCanvas::GetFont(std::uint8_t size) {
    auto& font = fonts_[size];
    if (!font)
        font = std::make_unique<Gdiplus::Font>(family_.get(), static_cast<Gdiplus::REAL>(size), Gdiplus::FontStyleRegular,
                                               Gdiplus::UnitPixel);
    return font.get();
}

Gdiplus::Bitmap* SkinCanvas::GetButtonImage(int controlId, int state) {
    const int resourceId = ButtonImageFor(controlId, state);
    return resourceId ? LoadPngImage(resourceId) : nullptr;
}

void SkinCanvas::Present(HWND window) { Present(window, pixelWidth, pixelHeight); }

void SkinCanvas::Present(HWND window, int width, int height) {
    if (!memoryDc_ || !window) return;
    if (graphics) graphics->Flush(Gdiplus::FlushIntentionSync);
    SIZE size{width, height};
    POINT source{0, 0};
    ::UpdateLayeredWindow(window, nullptr, nullptr, &size, memoryDc_, &source, 0, &blend, ULW_ALPHA);
}

std::uint32_t SkinCanvas::PixelAt(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= pixelWidth || y >= pixelHeight) return 0;
    if (graphics) graphics->Flush(Gdiplus::FlushIntentionSync);
    return bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(pixelWidth) + static_cast<std::size_t>(x)];
}

}  // namespace velmora
