#include <gtest/gtest.h>

#include "logger/TrackListFormat.h"

namespace qr {
namespace {

TEST(TrackListFormat, LongTimeWithoutTimeZone) {
    const struct {
        const char* format;
        const char* expected;
    } cases[] = {
        {"HH:mm:ss t", "HH:mm:ss"},
        {"HH:mm:ss", "HH:mm:ss"},
        {"h:mm:ss AP t", "h:mm:ss AP"},
        {"h:mm:ss t AP", "h:mm:ss AP"},
        {"t HH:mm:ss", "HH:mm:ss"},
        {"HH:mm:ss tttt", "HH:mm:ss"},
        {"HH 'Uhr' mm:ss t", "HH 'Uhr' mm:ss"},
        {"HH:mm:ss 'Zeit' t", "HH:mm:ss 'Zeit'"},  // a quoted t stays
    };
    for (const auto& c : cases)
        EXPECT_EQ(withoutTimeZone(c.format).toStdString(), c.expected) << c.format;
}

}  // namespace
}  // namespace qr
