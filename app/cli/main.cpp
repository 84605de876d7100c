#include "app/cli/CliTool.h"
#include "resources/EmbeddedData.h"

#include <iostream>

int main(int argc, char** argv) {
    skyfetch::register_embedded_resources();
    std::vector<std::string> args(argv + 1, argv + argc);
    skyfetch::CliTool tool(std::cout, std::cerr);
    return tool.run(args);
}
