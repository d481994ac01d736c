// The clock windows at other display DPIs. Wine reads the DPI (LogPixels) once, when a
// process starts: each case sets it in the prefix's registry, runs display_probe.exe, and
// puts the value back as soon as the probe has started. SHARED_STATE keeps the other tests
// that create windows from starting meanwhile.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "framework/unique_handle.h"

namespace velmora {
namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixels[] = L"LogPixels";

// Sets HKCU's LogPixels until Restore (or its end) and puts back what was there, or its absence.
class LogPixelsOverride {
public:
    explicit LogPixelsOverride(DWORD dpi) {
        DWORD value = 0;
        DWORD size = sizeof value;
        if (::RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
            ERROR_SUCCESS)
            previous_ = value;
        set_ = ::RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, REG_DWORD, &dpi, sizeof dpi) ==
               ERROR_SUCCESS;
    }
    ~LogPixelsOverride() { Restore(); }
    void Restore() {
        if (!set_) return;
        set_ = false;
        if (previous_) {
            const DWORD value = *previous_;
            ::RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, REG_DWORD, &value, sizeof value);
        } else {
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels);
        }
    }
    LogPixelsOverride(const LogPixelsOverride&) = delete;
    LogPixelsOverride& operator=(const LogPixelsOverride&) = delete;
    bool Active() const { return set_; }

private:
    std::optional<DWORD> previous_;
    bool set_ = false;
};

std::wstring ProbePath() {
    wchar_t module[MAX_PATH];
    ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring path = module;
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"display_probe.exe";
}

// Runs the probe and returns its lines as name -> numbers; empty if it did not finish.
// `started` runs once the probe's first line has come, when it has read the DPI.
std::map<std::string, std::vector<double>> RunProbe(const std::function<void()>& started) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueHandle readEnd, writeEnd;
    if (!::CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0)) return {};
    ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + ProbePath() + L"\"";
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return {};
    UniqueHandle process(info.hProcess), thread(info.hThread);
    writeEnd.reset();  // the pipe ends when the probe does

    std::string output;
    char buffer[512];
    DWORD read = 0;
    bool reported = false;
    while (::ReadFile(readEnd.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        output.append(buffer, read);
        if (!reported && output.find('\n') != std::string::npos) {
            reported = true;
            started();
        }
    }
    if (::WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
        return {};
    }
    std::map<std::string, std::vector<double>> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string name;
        words >> name;
        for (double v; words >> v;) lines[name].push_back(v);
    }
    return lines;
}

using Numbers = std::vector<double>;

TEST(DisplayDpiTest, At144DpiEverySurfaceIsOneAndAHalfTimesItsArtwork) {
    LogPixelsOverride dpi(144);
    ASSERT_TRUE(dpi.Active());
    auto probe = RunProbe([&] { dpi.Restore(); });
    dpi.Restore();
    ASSERT_FALSE(probe.empty()) << "display_probe.exe did not run";
    EXPECT_EQ(probe["scale"], Numbers{1.5});
    EXPECT_EQ(probe["full-surface"], (Numbers{387, 481}));
    EXPECT_EQ(probe["full-window"], (Numbers{387, 481}));
    EXPECT_EQ(probe["compact-surface"], (Numbers{301, 229}));
    EXPECT_EQ(probe["world1-surface"], (Numbers{387, 240}));
    EXPECT_EQ(probe["world1-window"], (Numbers{387, 240}));
    EXPECT_EQ(probe["world3-surface"], (Numbers{387, 690}));
    EXPECT_EQ(probe["world3-window"], (Numbers{387, 690}));
    // Six do not fit one column of 1380 pixels on the test display's 800: two columns of three.
    ASSERT_EQ(probe["world6-work"].size(), 2u);
    if (probe["world6-work"][1] < 1380 && probe["world6-work"][0] >= 796) {
        EXPECT_EQ(probe["world6-surface"], (Numbers{796, 690}));
        EXPECT_EQ(probe["world6-window"], (Numbers{796, 690}));
    }
    // Left and top scaled first, then the image's size added and truncated.
    EXPECT_EQ(probe["adjust"], (Numbers{16, 316, 181, 365}));
    EXPECT_EQ(probe["close"], (Numbers{360, 0, 385, 27}));
    EXPECT_EQ(probe["opt"], (Numbers{243, 0, 295, 54}));
    // The artwork drawn for 1.5 times its size, not the 96-DPI images enlarged: every point
    // of the metal and of "Adjust" is the larger drawing's pixel.
    EXPECT_EQ(probe["artwork-scale"], Numbers{1.5});
    ASSERT_EQ(probe["sharp-face"].size(), 2u);
    EXPECT_GT(probe["sharp-face"][1], 100);
    EXPECT_EQ(probe["sharp-face"][0], probe["sharp-face"][1]);
    ASSERT_EQ(probe["sharp-adjust"].size(), 2u);
    EXPECT_GT(probe["sharp-adjust"][1], 500);
    EXPECT_EQ(probe["sharp-adjust"][0], probe["sharp-adjust"][1]);
    // A tray icon image of the size the system asks for, not a 16-pixel one blown up.
    ASSERT_EQ(probe["tray-icon"].size(), 3u);
    EXPECT_EQ(probe["tray-icon"][0], probe["tray-icon"][1]);
    EXPECT_EQ(probe["tray-icon"][0], 24);
    RecordProperty("DrawTimeMicroseconds", std::to_string(probe["drawtime-us"].empty() ? -1 : probe["drawtime-us"][0]));
}

TEST(DisplayDpiTest, At120DpiTheButtonsArePlacedByTheScaledLogicalRectangle) {
    LogPixelsOverride dpi(120);
    ASSERT_TRUE(dpi.Active());
    auto probe = RunProbe([&] { dpi.Restore(); });
    dpi.Restore();
    ASSERT_FALSE(probe.empty()) << "display_probe.exe did not run";
    EXPECT_EQ(probe["scale"], Numbers{1.25});
    EXPECT_EQ(probe["adjust"], (Numbers{13, 263, 150, 304}));
    EXPECT_EQ(probe["full-surface"], (Numbers{322, 401}));
    ASSERT_EQ(probe["tray-icon"].size(), 3u);
    EXPECT_EQ(probe["tray-icon"][0], 20);
    EXPECT_EQ(probe["artwork-scale"], Numbers{1.5}) << "the larger drawing, reduced";
}

// The redraw that copies pre-rendered runs must match redrawing whole at any scale: there a
// logical unit is not a whole pixel and the texts sit at fractions of one.
TEST(DisplayDpiTest, AtEveryScaleTheRedrawFromPreRenderedRunsMatchesTheWholeRedraw) {
    for (const int logPixels : {120, 144}) {
        LogPixelsOverride dpi(logPixels);
        ASSERT_TRUE(dpi.Active());
        auto probe = RunProbe([&] { dpi.Restore(); });
        dpi.Restore();
        ASSERT_FALSE(probe.empty()) << "display_probe.exe did not run at " << logPixels;
        for (const char* view : {"alike-full", "alike-compact", "alike-world"})
            EXPECT_EQ(probe[view], Numbers{1}) << view << " at " << logPixels << " DPI";
    }
}

}  // namespace
}  // namespace velmora
