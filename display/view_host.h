#pragma once
// What a clock window may ask of the program around it. The hidden main window implements it
// and hands itself to each view it makes; a view made without one (a benchmark, a probe)
// draws and does nothing else. display/ includes nothing of app/.
#include <string>

namespace velmora {

class ViewHost {
public:
    virtual void StartSync(bool adjust) = 0;   // "Get"
    virtual void SendOffsetToService() = 0;    // "Adjust", "Syncronize Now"
    virtual void OpenSettings() = 0;           // "Options"
    // Replaces the current view with the one the settings' `skin` names (destroys the caller).
    virtual void ShowClockWindow() = 0;
    virtual void ShowTrayBalloon() = 0;        // a view went to the tray
    virtual void ExitApplication() = 0;        // the Windows session ends

    // What the full view shows besides the clock texts.
    virtual const std::wstring& SyncStatus() const = 0;  // the status line
    virtual bool ServerTimeIsLocalTime() const = 0;      // no difference: the server clock is the PC's
    virtual bool StartedAtLogon() const = 0;             // no guided tour then

protected:
    ~ViewHost() = default;
};

}  // namespace velmora
