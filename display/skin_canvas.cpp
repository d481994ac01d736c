#include "display/skin_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "display/skin_geometry.h"
#include "framework/trace.h"
#include "resources/resource_ids.h"

namespace velmora {

SkinCanvas Canvas;

namespace {

// Installed families first, as a user may have put a preferred digital font on the PC;
// then the one that ships inside the program, so the clock is never blank.
constexpr const wchar_t* kInstalledFamilies[] = {VELMORA_DIGITAL_FONT_FAMILY, L"DS-Digital"};

// A resource's bytes, or an empty span. Resource memory lives as long as the module.
std::pair<const void*, DWORD> ResourceBytes(int id, const wchar_t* type) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!resource) return {nullptr, 0};
    const HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    return {bytes, bytes ? ::SizeofResource(module, resource) : 0};
}

// A GDI+ bitmap drawing straight into `bits` (top-down, premultiplied ARGB), so that alpha
// survives into UpdateLayeredWindow.
std::unique_ptr<Gdiplus::Bitmap> BitmapOver(std::uint32_t* bits, int width, int height) {
    return std::make_unique<Gdiplus::Bitmap>(width, height, width * 4, PixelFormat32bppPARGB,
                                             reinterpret_cast<BYTE*>(bits));
}

void PrepareGraphics(Gdiplus::Graphics& graphics, double scale) {
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    // Each image pixel covers a whole logical unit: no half-pixel shift when scaled.
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
    graphics.ScaleTransform(static_cast<Gdiplus::REAL>(scale), static_cast<Gdiplus::REAL>(scale));
}

}  // namespace

// The bitmap may read its stream for as long as it lives, so the stream and the bytes it
// holds are kept with it.
struct SkinCanvas::PngImage {
    UniqueComPtr<IStream> stream;
    std::unique_ptr<Gdiplus::Bitmap> bitmap;  // declared last: released before the stream
};

SkinCanvas::SkinCanvas() {
    blend.BlendOp = AC_SRC_OVER;
    blend.BlendFlags = 0;
    blend.SourceConstantAlpha = 255;
    blend.AlphaFormat = AC_SRC_ALPHA;
}

// GDI+ is never shut down, so its objects may be released here at the process's end.
SkinCanvas::~SkinCanvas() { ReleaseSurface(); }

void SkinCanvas::Initialize() {
    overlayImage = nullptr;
    backgroundImage = nullptr;
    if (initialized_) return;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr) != Gdiplus::Ok) Trace(L"GDI+ did not start");
    ChooseFontFamily();
    // Typographic: no padding around the text, so it is centred on the point exactly
    // (with the generic padding, Wine's GDI+ draws it a sixth of an em to the right).
    stringFormat.reset(Gdiplus::StringFormat::GenericTypographic()->Clone());
    stringFormat->SetAlignment(Gdiplus::StringAlignmentCenter);
    stringFormat->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    shadowBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(0xFF000000));
    textBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(0xFFFFFFFF));
    screenDc_.reset(::GetDC(nullptr));
    DisplayScale = ::GetDeviceCaps(screenDc_.get(), LOGPIXELSX) / 96.0;
    if (DisplayScale <= 0) DisplayScale = 1.0;
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
    // The family must be taken from the private collection's list: looking it up by name
    // there fails under Wine.
    bundledFonts_ = std::make_unique<Gdiplus::PrivateFontCollection>();
    const auto [bytes, size] = ResourceBytes(IDR_DIGITAL_FONT, RT_RCDATA);
    INT found = 0;
    Gdiplus::FontFamily families[1];
    if (bytes && bundledFonts_->AddMemoryFont(bytes, static_cast<INT>(size)) == Gdiplus::Ok &&
        bundledFonts_->GetFamilies(1, families, &found) == Gdiplus::Ok && found == 1) {
        family_.reset(families[0].Clone());
        bundledFont_ = true;
    } else {
        // Still never blank: any sans-serif face beats no text at all. (The wrapper's
        // GenericSansSerif() may give null, so ask by name.)
        Trace(L"the digital font could not be loaded");
        for (const wchar_t* fallback : {L"Tahoma", L"Arial", L"Liberation Sans", L"DejaVu Sans"}) {
            family_ = std::make_unique<Gdiplus::FontFamily>(fallback);
            if (family_->GetLastStatus() == Gdiplus::Ok && family_->IsAvailable()) break;
        }
    }
    wchar_t name[LF_FACESIZE] = {};
    family_->GetFamilyName(name);
    familyName_ = name;
}

Gdiplus::Bitmap* SkinCanvas::LoadPngImage(int resourceId) {
    if (auto found = images_.find(resourceId); found != images_.end()) return found->second->bitmap.get();
    Gdiplus::Bitmap* bitmap = LoadResourceImage(resourceId);
    ids_[bitmap] = resourceId;
    return bitmap;
}

Gdiplus::Bitmap* SkinCanvas::SharperImage(Gdiplus::Bitmap* image, double* scale) {
    *scale = NearestArtworkScale(DisplayScale);
    if (*scale == 1.0) return nullptr;
    const auto id = ids_.find(image);
    if (id == ids_.end()) return nullptr;  // not one of the artwork's images
    const int scaledId = ScaledArtworkId(id->second, *scale);
    auto found = images_.find(scaledId);
    Gdiplus::Bitmap* sharper = found != images_.end() ? found->second->bitmap.get() : LoadResourceImage(scaledId);
    // A drawing that is missing or of another size than it should be is not used.
    const auto fits = [&](UINT drawn, UINT natural) {
        return drawn == static_cast<UINT>(std::ceil(natural * *scale - 1e-9));
    };
    if (!fits(sharper->GetWidth(), image->GetWidth()) || !fits(sharper->GetHeight(), image->GetHeight())) return nullptr;
    return sharper;
}

void SkinCanvas::DrawArtwork(Gdiplus::Graphics& target, Gdiplus::Bitmap* image, int x, int y, int width, int height) {
    if (!image) return;
    const INT naturalWidth = static_cast<INT>(image->GetWidth());
    const INT naturalHeight = static_cast<INT>(image->GetHeight());
    double scale = 1.0;
    Gdiplus::Bitmap* sharper = SharperImage(image, &scale);
    if (!sharper) {
        // Always with the pixel size: a PNG's own resolution must not change how large it draws.
        target.DrawImage(image, Gdiplus::Rect(x, y, width, height), 0, 0, naturalWidth, naturalHeight, Gdiplus::UnitPixel);
        return;
    }
    // The drawing made for this scale, in device pixels from a whole pixel (where the
    // buttons' windows stand too): pixel for pixel at its own scale, not resampled.
    const Gdiplus::GraphicsState state = target.Save();
    target.ResetTransform();
    const auto s = static_cast<Gdiplus::REAL>(DisplayScale);
    const auto k = static_cast<Gdiplus::REAL>(scale);
    target.DrawImage(sharper,
                     Gdiplus::RectF(static_cast<Gdiplus::REAL>(ScaledLength(x, DisplayScale)),
                                    static_cast<Gdiplus::REAL>(ScaledLength(y, DisplayScale)), width * s, height * s),
                     0, 0, naturalWidth * k, naturalHeight * k, Gdiplus::UnitPixel);
    target.Restore(state);
}

Gdiplus::Bitmap* SkinCanvas::LoadResourceImage(int resourceId) {
    auto image = std::make_unique<PngImage>();
    const auto [bytes, size] = ResourceBytes(resourceId, L"PNG");
    if (bytes) {
        if (const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size)) {
            if (void* copy = ::GlobalLock(memory)) {
                std::memcpy(copy, bytes, size);
                ::GlobalUnlock(memory);
            }
            // The stream frees the memory when it is released, after the bitmap.
            if (::CreateStreamOnHGlobal(memory, TRUE, image->stream.put()) == S_OK) {
                image->bitmap.reset(Gdiplus::Bitmap::FromStream(image->stream.get()));
                if (image->bitmap && image->bitmap->GetLastStatus() != Gdiplus::Ok) image->bitmap.reset();
            } else {
                ::GlobalFree(memory);
            }
        }
    }
    if (!image->bitmap) {
        Trace(L"PNG resource " + std::to_wstring(resourceId) + L" is missing or unreadable");
        // Size 0 draws nothing, as a missing image should.
        image->bitmap = std::make_unique<Gdiplus::Bitmap>(0, 0, PixelFormat32bppARGB);
    }
    return images_.emplace(resourceId, std::move(image)).first->second->bitmap.get();
}

void SkinCanvas::ReleaseSurface() {
    graphics.reset();
    surface_.reset();
    selection_.Reset();
    memoryDc_.reset();
    bitmap_.reset();
    bits_ = nullptr;
    changed_ = {};
    backdrop_.clear();
    backdropValid_ = false;
}

void SkinCanvas::CreateSurface(int logicalWidth, int logicalHeight) {
    ReleaseSurface();
    pixelWidth = ScaledLength(logicalWidth, DisplayScale);
    pixelHeight = ScaledLength(logicalHeight, DisplayScale);
    // A top-down 32-bit DIB section: GDI+ draws premultiplied ARGB straight into the bits
    // that UpdateLayeredWindow reads, alpha included. It starts all zero: transparent.
    const int width = std::max(pixelWidth, 1);
    const int height = std::max(pixelHeight, 1);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(::CreateDIBSection(screenDc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    memoryDc_.reset(::CreateCompatibleDC(nullptr));
    if (!bitmap_ || !bits || !memoryDc_) {
        TraceLastError(L"making the drawing surface");
        ReleaseSurface();
        return;
    }
    selection_.Select(memoryDc_.get(), bitmap_.get());
    bits_ = static_cast<std::uint32_t*>(bits);
    surface_ = BitmapOver(bits_, width, height);
    graphics = std::make_unique<Gdiplus::Graphics>(surface_.get());
    PrepareGraphics(*graphics, DisplayScale);
    // A new window's first Present hands over all of it.
    changed_ = {0, 0, width, height};
}

void SkinCanvas::ClearSurface() {
    if (!bits_) return;
    graphics->Flush(Gdiplus::FlushIntentionSync);
    std::fill_n(bits_, static_cast<std::size_t>(std::max(pixelWidth, 1)) * std::max(pixelHeight, 1), 0u);
    MarkChanged({0, 0, pixelWidth, pixelHeight});
}

void SkinCanvas::PrepareBackdrop() {
    if (backdropValid_ && backdropBackground_ == backgroundImage && backdropOverlay_ == overlayImage) return;
    backdrop_.assign(static_cast<std::size_t>(pixelWidth) * static_cast<std::size_t>(pixelHeight), 0u);
    if (!backdrop_.empty()) {
        const auto bitmap = BitmapOver(backdrop_.data(), pixelWidth, pixelHeight);
        Gdiplus::Graphics drawing(bitmap.get());
        PrepareGraphics(drawing, DisplayScale);
        for (Gdiplus::Bitmap* image : {backgroundImage, overlayImage})
            if (image)
                DrawArtwork(drawing, image, 0, 0, static_cast<int>(image->GetWidth()), static_cast<int>(image->GetHeight()));
        drawing.Flush(Gdiplus::FlushIntentionSync);
    }
    backdropBackground_ = backgroundImage;
    backdropOverlay_ = overlayImage;
    backdropValid_ = true;
}

void SkinCanvas::RestoreRegion(int x, int y, int width, int height) {
    if (!bits_) return;
    PrepareBackdrop();
    graphics->Flush(Gdiplus::FlushIntentionSync);
    // Copied, not blended: the band goes back to exactly what the artwork has there,
    // transparent rows included.
    const DeviceRect r = CoveringDeviceRect(x, y, width, height, DisplayScale, pixelWidth, pixelHeight);
    const std::size_t stride = static_cast<std::size_t>(pixelWidth);
    for (int row = r.top; row < r.bottom; ++row) {
        const std::size_t at = static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(r.left);
        std::copy_n(backdrop_.data() + at, r.right - r.left, bits_ + at);
    }
    MarkChanged(r);
}

void SkinCanvas::DrawTextAt(const std::wstring& text, std::uint8_t size, float x, float y, bool shadow,
                            const Gdiplus::Brush* brush) {
    if (!graphics || text.empty()) return;
    if (!brush) brush = textBrush.get();
    Gdiplus::Font* font = GetFont(size);
    const int length = static_cast<int>(text.size());
    if (shadow)
        graphics->DrawString(text.c_str(), length, font, Gdiplus::PointF(x + 1, y - 1), stringFormat.get(),
                             shadowBrush.get());
    graphics->DrawString(text.c_str(), length, font, Gdiplus::PointF(x, y), stringFormat.get(), brush);
    // Where the ink went is not known here: all of the surface goes to the next Present.
    MarkChanged({0, 0, pixelWidth, pixelHeight});
}

void SkinCanvas::DrawTextWithin(const DeviceRect& changed, std::wstring_view text, std::uint8_t size, float x,
                                float y, bool shadow) {
    if (!graphics || text.empty()) return;
    Gdiplus::Font* font = GetFont(size);
    const int length = static_cast<int>(text.size());
    if (shadow)
        graphics->DrawString(text.data(), length, font, Gdiplus::PointF(x + 1, y - 1), stringFormat.get(),
                             shadowBrush.get());
    graphics->DrawString(text.data(), length, font, Gdiplus::PointF(x, y), stringFormat.get(), textBrush.get());
    MarkChanged(changed);
}

std::vector<float> SkinCanvas::CharacterLefts(std::wstring_view text, std::uint8_t size, float x, float y) {
    // GDI+ measures at most 32 ranges at a time.
    constexpr std::size_t kMaxRanges = 32;
    if (!graphics || text.empty() || text.size() > kMaxRanges) return {};
    std::vector<Gdiplus::CharacterRange> ranges;
    for (std::size_t i = 0; i < text.size(); ++i) ranges.emplace_back(static_cast<INT>(i), 1);
    Gdiplus::StringFormat format(stringFormat.get());
    if (format.SetMeasurableCharacterRanges(static_cast<INT>(ranges.size()), ranges.data()) != Gdiplus::Ok) return {};
    std::vector<Gdiplus::Region> regions(ranges.size());
    if (graphics->MeasureCharacterRanges(text.data(), static_cast<INT>(text.size()), GetFont(size),
                                         Gdiplus::RectF(x, y, 0, 0), &format, static_cast<INT>(regions.size()),
                                         regions.data()) != Gdiplus::Ok)
        return {};
    std::vector<float> lefts;
    for (Gdiplus::Region& region : regions) {
        Gdiplus::RectF bounds;
        if (region.GetBounds(&bounds, graphics.get()) != Gdiplus::Ok || bounds.Width <= 0) return {};
        lefts.push_back(bounds.X);
    }
    return lefts;
}

std::optional<std::array<wchar_t, 10>> SkinCanvas::DigitClasses(std::uint8_t size) {
    if (const auto found = digitClasses_.find(size); found != digitClasses_.end()) return found->second;
    std::optional<std::array<wchar_t, 10>> classes;
    if (graphics) {
        std::array<Gdiplus::REAL, 10> advance{};
        bool measured = true;
        for (int d = 0; measured && d < 10; ++d) {
            const wchar_t digit = static_cast<wchar_t>(L'0' + d);
            Gdiplus::RectF box;
            measured = graphics->MeasureString(&digit, 1, GetFont(size), Gdiplus::PointF(0, 0), stringFormat.get(),
                                               &box) == Gdiplus::Ok &&
                       box.Width > 0;
            advance[static_cast<std::size_t>(d)] = box.Width;
        }
        if (measured) {
            classes.emplace();
            for (int d = 0; d < 10; ++d) {
                int first = 0;
                while (advance[static_cast<std::size_t>(first)] != advance[static_cast<std::size_t>(d)]) ++first;
                (*classes)[static_cast<std::size_t>(d)] = static_cast<wchar_t>(L'0' + first);
            }
        }
    }
    return digitClasses_[size] = classes;
}

Gdiplus::Font* SkinCanvas::GetFont(std::uint8_t size) {
    auto& font = fonts_[size];
    if (!font)
        font = std::make_unique<Gdiplus::Font>(family_.get(), static_cast<Gdiplus::REAL>(size),
                                               Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    return font.get();
}

double SkinCanvas::TextWidth(const std::wstring& text, std::uint8_t size) {
    if (!graphics || text.empty()) return 0;
    Gdiplus::RectF box;
    graphics->MeasureString(text.c_str(), static_cast<INT>(text.size()), GetFont(size), Gdiplus::PointF(0, 0),
                            stringFormat.get(), &box);
    return box.Width;
}

Gdiplus::Bitmap* SkinCanvas::GetButtonImage(int controlId, int state) {
    const int resourceId = ButtonImageFor(controlId, state);
    return resourceId ? LoadPngImage(resourceId) : nullptr;
}

void SkinCanvas::DrawImage(Gdiplus::Bitmap* image, int x, int y) {
    if (!graphics || !image) return;
    const int width = static_cast<int>(image->GetWidth());
    const int height = static_cast<int>(image->GetHeight());
    DrawArtwork(*graphics, image, x, y, width, height);
    MarkChanged(DeviceRectOf(x, y, width, height));
}

void SkinCanvas::DrawImage(Gdiplus::Bitmap* image, int x, int y, int width, int height) {
    if (!graphics || !image) return;
    DrawArtwork(*graphics, image, x, y, width, height);
    MarkChanged(DeviceRectOf(x, y, width, height));
}

void SkinCanvas::FillRect(const Gdiplus::Brush* brush, int x, int y, int width, int height) {
    if (!graphics || !brush) return;
    graphics->FillRectangle(brush, x, y, width, height);
    MarkChanged(DeviceRectOf(x, y, width, height));
}

DeviceRect SkinCanvas::DeviceRectOf(int x, int y, int width, int height) const {
    return CoveringDeviceRect(x, y, width, height, DisplayScale, pixelWidth, pixelHeight);
}

void SkinCanvas::MarkChanged(const DeviceRect& r) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    if (changed_.right <= changed_.left || changed_.bottom <= changed_.top) {
        changed_ = r;
        return;
    }
    changed_ = {std::min(changed_.left, r.left), std::min(changed_.top, r.top), std::max(changed_.right, r.right),
                std::max(changed_.bottom, r.bottom)};
}

PixelView SkinCanvas::Pixels(const DeviceRect& r) {
    if (!bits_) return {};
    graphics->Flush(Gdiplus::FlushIntentionSync);
    const DeviceRect c = CoveringDeviceRect(r.left, r.top, r.right - r.left, r.bottom - r.top, 1.0, pixelWidth,
                                            pixelHeight);
    return {bits_ + static_cast<std::ptrdiff_t>(c.top) * pixelWidth + c.left, pixelWidth, c.right - c.left,
            c.bottom - c.top};
}

void SkinCanvas::DrawRect(const Gdiplus::Pen* pen, int x, int y, int width, int height) {
    // Half a unit in: a line one unit wide then covers whole pixels at 96 DPI.
    if (!graphics || !pen) return;
    graphics->DrawRectangle(pen, Gdiplus::RectF(static_cast<Gdiplus::REAL>(x) + 0.5f, static_cast<Gdiplus::REAL>(y) + 0.5f,
                                                static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height)));
    MarkChanged(DeviceRectOf(x, y, width + 1, height + 1));
}

void SkinCanvas::Present(HWND window) { Present(window, pixelWidth, pixelHeight); }

void SkinCanvas::Present(HWND window, int width, int height) {
    if (!memoryDc_ || !window) return;
    SIZE size{std::min(width, pixelWidth), std::min(height, pixelHeight)};
    RECT dirty{std::max(changed_.left, 0), std::max(changed_.top, 0), std::min<LONG>(changed_.right, size.cx),
               std::min<LONG>(changed_.bottom, size.cy)};
    if (dirty.right <= dirty.left || dirty.bottom <= dirty.top) return;
    graphics->Flush(Gdiplus::FlushIntentionSync);
    POINT source{0, 0};
    UPDATELAYEREDWINDOWINFO info{};
    info.cbSize = sizeof info;
    info.psize = &size;
    info.hdcSrc = memoryDc_.get();
    info.pptSrc = &source;
    info.pblend = &blend;
    info.dwFlags = ULW_ALPHA;
    const bool whole = dirty.left == 0 && dirty.top == 0 && dirty.right == size.cx && dirty.bottom == size.cy;
    info.prcDirty = whole ? nullptr : &dirty;
    const auto update = [&] {
        return updateLayeredWindow ? updateLayeredWindow(window, info) : ::UpdateLayeredWindowIndirect(window, &info);
    };
    bool shown = update();
    if (!shown && info.prcDirty) {
        // Refused a partial update: the whole surface, as a layered window always accepts.
        info.prcDirty = nullptr;
        shown = update();
    }
    if (shown) {
        changed_ = {};
    } else if (!presentFailureTraced_) {
        // Kept for the next Present; said once, not every second.
        TraceLastError(L"showing the clock face");
        presentFailureTraced_ = true;
    }
}

std::uint32_t SkinCanvas::PixelAt(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= pixelWidth || y >= pixelHeight) return 0;
    graphics->Flush(Gdiplus::FlushIntentionSync);
    return bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(pixelWidth) + static_cast<std::size_t>(x)];
}

}  // namespace velmora
