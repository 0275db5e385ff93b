#include "core/text/cp936_tables.h"

#include <gmock/gmock.h>

// Every test program's start, as the programs' own: the system's code page
// converter handed to the codec first.
int main(int argc, char** argv) {
    velnor::UseCodePageConverter(&velnor::MakeCp936Converter);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
