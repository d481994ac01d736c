#include "settings/app_settings.h"

namespace velmora {

SettingsRecord AppSettings;

}  // namespace velmora
