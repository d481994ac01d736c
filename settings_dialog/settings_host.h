#pragma once
// What the settings dialog asks of the program when it applies: the hidden main window
// implements it. settings_dialog/ includes nothing of app/.
namespace velmora {

class SettingsHost {
public:
    // Brings automatic synchronisation in line with the applied settings.
    virtual void ApplyAutoSyncSetting() = 0;
    // Rebuilds the current view from the applied settings (the world clocks changed).
    virtual void ShowClockWindow() = 0;

protected:
    ~SettingsHost() = default;
};

}  // namespace velmora
