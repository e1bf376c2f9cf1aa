#include "settings/SettingsKeys.h"

#include <type_traits>

namespace brimview {
namespace {

// Whether one of the section's flags is on in the options.
bool AFlagIsOn(std::string_view section, WindowOptions options) {
    bool on = false;
    ForEachOption([&](const auto& s) {
        if constexpr (std::is_same_v<decltype(s), const Setting<bool>&>)
            on = on || (s.section == section && s.field(options));
    });
    return on;
}

}  // namespace

void ClampAlertUnit(WindowOptions& options) {
    if (options.alert.unit < LowSpaceAlert::Percent || options.alert.unit > LowSpaceAlert::GB)
        options.alert.enabled = false;
}

WindowOptions ReadOptions(const TMemIniFile& ini, const WindowOptions& present, Default ReadBy::*reader) {
    WindowOptions own;
    WindowOptions read = present;
    ForEachOption([&](const auto& s) {
        const Default fallback = s.readBy.*reader;
        if (fallback == Default::None) return;
        auto& value = s.field(read);
        value = Read(ini, s, fallback == Default::Own ? s.field(own) : value);
        if (s.clamp) s.clamp(read);
    });
    return read;
}

void WriteOptions(TMemIniFile& ini, const WindowOptions& options) {
    WindowOptions written = options;
    ForEachOption([&](const auto& s) {
        switch (s.written) {
            case Written::Never:
                return;
            case Written::Always:
                break;
            case Written::WithUnit:
                if (!options.intervalSeconds && !options.intervalMinutes) return;
                break;
            case Written::OnceSet:
                if (!ini.HasSection(s.section) && !AFlagIsOn(s.section, options)) return;
                break;
        }
        Write(ini, s, s.field(written));
    });
}

}  // namespace brimview
