#pragma once
// Every setting of the settings file, declared once: its section and key, the member of
// the options value it is bound to (whose initial value is its default), who reads it and
// with which default, and when the options dialog's OK writes it. Reading at start-up, the
// paint's reading, the options dialog's filling and its OK all go through this table.
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>

#include "monitor/LowSpace.h"
#include "settings/MemIniFile.h"

namespace brimview {

// The options the settings file holds, each at its default.
struct WindowOptions {
    std::int32_t timerInterval = 3000;   // milliseconds; 0 or less stops the timer
    bool intervalSeconds = true;         // the options dialog counts the interval in seconds
    bool intervalMinutes = false;        // or in minutes
    bool minimized = false;              // start minimised; taken at start-up only
    bool stayOnTop = false;              // the window's style, which re-creates it when changed
    bool alphaBlend = false;             // translucent
    std::int32_t alphaBlendValue = 255;  // its opacity as stored: the window takes the low 8 bits
    bool skinEnabled = true;
    std::string skinFile = "bg.bmp";
    bool panelTransparent = false;  // the skin shows through the readout panel
    LowSpaceAlert alert;
    bool forecastEnabled = false;  // when the drive will be full, from its history
    bool taskbarProgress = false;  // the used share on the taskbar button
    friend bool operator==(const WindowOptions&, const WindowOptions&) = default;
};

// How a reader takes a setting: not at all, with the value it has now as the default (so
// that an absent key keeps it), or with the setting's own default.
enum class Default : std::uint8_t { None, Present, Own };
struct ReadBy {
    Default startup = Default::None;
    Default paint = Default::None;
    Default dialog = Default::None;
};

// When the options dialog's OK writes a setting.
enum class Written : std::uint8_t {
    Never,     // the close writes it, or nobody
    Always,    //
    WithUnit,  // while a unit of the interval is selected
    OnceSet,   // once its section is in the file or one of the section's flags is on
};

struct SettingKey {
    std::string_view section;
    std::string_view key;
};

// A setting of type T (bool, std::int32_t or std::string) and, for an option, its member.
template <class T>
struct Setting : SettingKey {
    T& (*field)(WindowOptions&) = nullptr;
    ReadBy readBy{};
    Written written = Written::Never;
    void (*clamp)(WindowOptions&) = nullptr;  // run on every reading of the setting
};

// A member of the options, or a member of one of their members.
template <auto member>
constexpr auto& Member(WindowOptions& options) {
    return options.*member;
}
template <auto group, auto member>
constexpr auto& Member(WindowOptions& options) {
    return (options.*group).*member;
}

// Anything but the three known units turns the warning off, as a negative count does.
void ClampAlertUnit(WindowOptions& options);

// Each option: its section and key, its member, how the start-up, the paint and the options
// dialog read it, and when the dialog's OK writes it.
namespace setting {
using enum Default;
// The options dialog reads the interval and its unit buttons by rules of their own.
inline constexpr Setting<std::int32_t> Interval{
    {"General", "Interval"}, Member<&WindowOptions::timerInterval>, {Present, None, None}, Written::WithUnit};
inline constexpr Setting<bool> Interval_s{
    {"General", "Interval_s"}, Member<&WindowOptions::intervalSeconds>, {None, None, None}, Written::Always};
inline constexpr Setting<bool> Interval_m{
    {"General", "Interval_m"}, Member<&WindowOptions::intervalMinutes>, {None, None, None}, Written::Always};
inline constexpr Setting<bool> Minimized{
    {"Display", "Minimized"}, Member<&WindowOptions::minimized>, {Own, None, Present}, Written::Always};
inline constexpr Setting<bool> On_Top{
    {"Display", "On_Top"}, Member<&WindowOptions::stayOnTop>, {None, Own, Present}, Written::Always};
inline constexpr Setting<bool> Transparency{
    {"Display", "Transparency"}, Member<&WindowOptions::alphaBlend>, {Present, None, Present}, Written::Always};
inline constexpr Setting<std::int32_t> Transparent_Position{{"Display", "Transparent_Position"},
                                                            Member<&WindowOptions::alphaBlendValue>,
                                                            {Present, None, Present},
                                                            Written::Always};
inline constexpr Setting<bool> Skin{
    {"Display", "Skin"}, Member<&WindowOptions::skinEnabled>, {Own, Own, Present}, Written::Always};
inline constexpr Setting<std::string> Skin_File{
    {"Display", "Skin_File"}, Member<&WindowOptions::skinFile>, {Own, Own, Own}, Written::Always};
inline constexpr Setting<bool> PanelTransparent{{"Display", "PanelTransparent"},
                                                Member<&WindowOptions::panelTransparent>,
                                                {Present, None, Present},
                                                Written::Always};
inline constexpr Setting<bool> Alert_Enabled{{"Alert", "Enabled"},
                                             Member<&WindowOptions::alert, &LowSpaceAlert::enabled>,
                                             {Present, None, Present},
                                             Written::OnceSet};
inline constexpr Setting<std::int32_t> Free_Below{{"Alert", "Free_Below"},
                                                  Member<&WindowOptions::alert, &LowSpaceAlert::freeBelow>,
                                                  {Present, None, Present},
                                                  Written::OnceSet};
inline constexpr Setting<std::int32_t> Alert_Unit{{"Alert", "Unit"},
                                                  Member<&WindowOptions::alert, &LowSpaceAlert::unit>,
                                                  {Present, None, Present},
                                                  Written::OnceSet,
                                                  ClampAlertUnit};
inline constexpr Setting<bool> Forecast_Enabled{
    {"Forecast", "Enabled"}, Member<&WindowOptions::forecastEnabled>, {Present, None, Present}, Written::OnceSet};
inline constexpr Setting<bool> Taskbar_Progress{
    {"Taskbar", "Progress"}, Member<&WindowOptions::taskbarProgress>, {Present, None, Present}, Written::OnceSet};
// The window's place, which the start-up reads and the close writes.
inline constexpr Setting<std::int32_t> Top{{"Window", "Top"}};
inline constexpr Setting<std::int32_t> Left{{"Window", "Left"}};
inline constexpr Setting<std::string> Drive{{"Window", "Drive"}};
}  // namespace setting

// The options in the order the dialog's OK writes them, which is the file's.
inline constexpr std::tuple kOptions{
    &setting::Interval,   &setting::Interval_s,       &setting::Interval_m,           &setting::Minimized,
    &setting::On_Top,     &setting::Transparency,     &setting::Transparent_Position, &setting::Skin,
    &setting::Skin_File,  &setting::PanelTransparent, &setting::Alert_Enabled,        &setting::Free_Below,
    &setting::Alert_Unit, &setting::Forecast_Enabled, &setting::Taskbar_Progress,
};

template <class F>
void ForEachOption(F&& f) {
    std::apply([&](const auto*... setting) { (f(*setting), ...); }, kOptions);
}

inline bool Read(const TMemIniFile& ini, const Setting<bool>& s, bool fallback) {
    return ini.GetFlag(s.section, s.key, fallback);
}
inline std::int32_t Read(const TMemIniFile& ini, const Setting<std::int32_t>& s, std::int32_t fallback) {
    return ini.GetInteger(s.section, s.key, fallback);
}
inline std::string Read(const TMemIniFile& ini, const Setting<std::string>& s, std::string_view fallback) {
    return ini.GetText(s.section, s.key, fallback);
}

inline void Write(TMemIniFile& ini, const Setting<bool>& s, bool value) {
    ini.PutFlag(s.section, s.key, value);
}
inline void Write(TMemIniFile& ini, const Setting<std::int32_t>& s, std::int32_t value) {
    ini.PutInteger(s.section, s.key, value);
}
inline void Write(TMemIniFile& ini, const Setting<std::string>& s, std::string_view value) {
    ini.PutText(s.section, s.key, value);
}
inline void Remove(TMemIniFile& ini, const SettingKey& s) {
    ini.RemoveKey(s.section, s.key);
}

// The options a reader takes from the document: those the table names for it, each with the
// default the table gives, clamped; the others as in present.
WindowOptions ReadOptions(const TMemIniFile& ini, const WindowOptions& present, Default ReadBy::*reader);

// Writes every option the dialog's OK writes, as the table says when.
void WriteOptions(TMemIniFile& ini, const WindowOptions& options);

}  // namespace brimview
