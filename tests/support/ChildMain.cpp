// The main of a Windows test program that runs as its own child (ChildProcess.h).
#include "ChildProcess.h"

#include "putil/ProcessSetup.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // From the wide command line: a role's arguments may name folders in any script.
    const std::vector<std::string> args = skyfetch::program_arguments(argc, argv);
    if (args.size() >= 2 && args[0] == "--child") {
        const skyfetch::test::ChildRole role = skyfetch::test::find_child_role(args[1]);
        return role ? role({args.begin() + 2, args.end()}) : 125;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
