#include "cli/cli.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    const int status = RunCli({argv + 1, argv + argc}, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
