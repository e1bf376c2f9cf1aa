// The Windows tests share one application object, as the program has one.
#include <gtest/gtest.h>

#include "TestApplication.h"

namespace {

brimview::ui::Application* shared = nullptr;

}  // namespace

brimview::ui::Application& brimview::test::App() {
    return *shared;
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    brimview::ui::Application app(brimview::SystemLayeredWindows());
    shared = &app;
    return RUN_ALL_TESTS();
}
