#pragma once
// The application object the Windows tests share, as the program has one: the root that the
// tests' forms and components are owned by. Made by the tests' main.
#include "ui/Application.h"

namespace brimview::test {

ui::Application& App();

}  // namespace brimview::test
