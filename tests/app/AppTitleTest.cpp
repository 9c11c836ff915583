#include <gtest/gtest.h>

#include "app/AppTitle.h"

namespace qr {
namespace {

TEST(AppTitle, DerivedFromTheExecutableName) {
    const struct {
        const char* path;
        const char* title;
    } cases[] = {
        {"LOGGERTOOL.EXE", "Loggertool"},
        {"x.y.exe", "x"},
        {"LoggerTool.exe", "Loggertool"},
        {"/usr/local/bin/quendarix-reader", "quendarix-reader"},  // first character as it is
        {"/opt/my.tools/QR.Reader.bin", "Qr"},  // a dot in a folder name does not count
        {"a", "a"},
    };
    for (const auto& c : cases) EXPECT_EQ(applicationTitle(c.path), c.title) << c.path;
}

}  // namespace
}  // namespace qr
