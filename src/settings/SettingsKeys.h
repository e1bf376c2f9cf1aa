#pragma once
// Every setting of the settings file, named once: its section, its key and its default.
// Where a reader passes a default of its own, it is the present state of what the
// setting controls, so that an absent key leaves that state as it is.
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/MemIniFile.h"

namespace brimview {

struct SettingKey {
    std::string_view section;
    std::string_view key;
};

template <class T>
struct Setting : SettingKey {
    T fallback{};
};

namespace setting {
inline constexpr Setting<std::int32_t> Interval{{"General", "Interval"}};  // milliseconds
inline constexpr Setting<bool> Interval_s{{"General", "Interval_s"}};
inline constexpr Setting<bool> Interval_m{{"General", "Interval_m"}};
inline constexpr Setting<bool> Minimized{{"Display", "Minimized"}, false};
inline constexpr Setting<bool> On_Top{{"Display", "On_Top"}, false};
inline constexpr Setting<bool> Transparency{{"Display", "Transparency"}};
inline constexpr Setting<std::int32_t> Transparent_Position{{"Display", "Transparent_Position"}};
inline constexpr Setting<bool> Skin{{"Display", "Skin"}, true};
inline constexpr Setting<std::string_view> Skin_File{{"Display", "Skin_File"}, "bg.bmp"};
inline constexpr Setting<bool> PanelTransparent{{"Display", "PanelTransparent"}};
// The low-space warning; only the options dialog writes its section.
inline constexpr Setting<bool> Alert_Enabled{{"Alert", "Enabled"}};
inline constexpr Setting<std::int32_t> Free_Below{{"Alert", "Free_Below"}};
inline constexpr Setting<std::int32_t> Alert_Unit{{"Alert", "Unit"}};  // 0 %, 1 MB, 2 GB
inline constexpr Setting<std::int32_t> Top{{"Window", "Top"}};
inline constexpr Setting<std::int32_t> Left{{"Window", "Left"}};
inline constexpr Setting<std::string_view> Drive{{"Window", "Drive"}};
}  // namespace setting

// All of them, in the order the options dialog writes the file, then the window's.
inline constexpr SettingKey kAllSettings[] = {
    setting::Interval,
    setting::Interval_s,
    setting::Interval_m,
    setting::Minimized,
    setting::On_Top,
    setting::Transparency,
    setting::Transparent_Position,
    setting::Skin,
    setting::Skin_File,
    setting::PanelTransparent,
    setting::Alert_Enabled,
    setting::Free_Below,
    setting::Alert_Unit,
    setting::Top,
    setting::Left,
    setting::Drive,
};

inline bool Read(const TMemIniFile& ini, const Setting<bool>& s, bool fallback) {
    return ini.GetFlag(s.section, s.key, fallback);
}
inline std::int32_t Read(const TMemIniFile& ini, const Setting<std::int32_t>& s, std::int32_t fallback) {
    return ini.GetInteger(s.section, s.key, fallback);
}
inline std::string Read(const TMemIniFile& ini, const Setting<std::string_view>& s, std::string_view fallback) {
    return ini.GetText(s.section, s.key, fallback);
}
// With the setting's own default.
template <class T>
auto Read(const TMemIniFile& ini, const Setting<T>& s) {
    return Read(ini, s, s.fallback);
}

inline void Write(TMemIniFile& ini, const Setting<bool>& s, bool value) {
    ini.PutFlag(s.section, s.key, value);
}
inline void Write(TMemIniFile& ini, const Setting<std::int32_t>& s, std::int32_t value) {
    ini.PutInteger(s.section, s.key, value);
}
inline void Write(TMemIniFile& ini, const Setting<std::string_view>& s, std::string_view value) {
    ini.PutText(s.section, s.key, value);
}
inline void Remove(TMemIniFile& ini, const SettingKey& s) {
    ini.RemoveKey(s.section, s.key);
}

}  // namespace brimview
