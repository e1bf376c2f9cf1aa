#pragma once
// The text conversions, as the component layer names them.
#include "platform/WideText.h"

namespace brimview::ui {

using brimview::AnsiToWide;
using brimview::Narrow;
using brimview::Widen;
using brimview::WideToAnsi;

}  // namespace brimview::ui
