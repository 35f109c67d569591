// The main of every window test: real windows on Qt's offscreen platform, no display needed.

#include "ui/MessageLoop.h"

#include <gtest/gtest.h>

#include <cstdlib>

// The font configuration library keeps caches for the life of the process.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    EnsureApplication(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
