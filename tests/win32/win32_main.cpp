// The Windows tests share one application object, as the program has one.
#include <gtest/gtest.h>

#include "ui/Application.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    brimview::ui::Application app;
    return RUN_ALL_TESTS();
}
