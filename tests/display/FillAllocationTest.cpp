// fill runs after every solver step: it must not allocate. This executable counts every call of
// the global operator new.
#include <gtest/gtest.h>

#include "CountingNew.h"
#include "DisplayTestSupport.h"
#include "VectorField.h"

TEST(Fill, AllocatesNothingInAnyMode) {
    VectorField field(100, 100);
    field.set(50, 50, Vec2(1.0f, 2.0f));
    displaytest::HeadlessDisplay display(100, 100);
    for (int mode : {0, 1, 2, 7}) {
        display.settings.mode = static_cast<DisplayMode>(mode);
        const long before = allocationCount();
        display.fill(field, 100.0f, 100.0f);
        EXPECT_EQ(allocationCount() - before, 0) << "mode " << mode;
    }
}
