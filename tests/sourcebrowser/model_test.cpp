#include "sourcebrowser/sourcebrowserroot.h"
#include <gtest/gtest.h>
TEST(Placeholder, Builds) { SourceBrowserRoot r; }
