// zolvane: the command-line side of the flowchart editor.
#include "cli/Commands.h"

#include <cstring>
#include <iostream>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "usage: zolvane COMMAND [ARGS]\n"
    "  record TYPE                           default parameter record of a block type\n"
    "  listing CHART.lcs                     the program listing of a chart\n"
    "  lint CHART.lcs                        the faults of a chart's program, block by block\n"
    "  chart [--phrases FILE] CHART.lcs      the chart items, one per line\n"
    "  export CHART.lcs OUT.png|OUT.svg|OUT.pdf\n"
    "                                        the chart as a picture or as pages\n"
    "  resave IN.lcs OUT.lcs                 open a chart and save it again\n"
    "  check LISTING.txt                     the line-check code of every line\n"
    "  pack LISTING.txt OUT.bin              the program image\n"
    "  download --port DEVICE [--timeout-ms N] LISTING.txt\n"
    "                                        send a program to the robot\n"
    "  run [--trace] [--max-steps N] [--set NAME=VALUE]... [--floor FILE] [--model FILE]\n"
    "      [--log FILE.csv] LISTING.txt      run a program on the simulated robot\n"
    "  ports                                 the serial ports the system reports\n"
    "  emulate [--once] [--save FILE] [--reject N] [--silent]\n"
    "                                        a virtual robot on a new pseudo-terminal\n";

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::cerr << kUsage;
        return cli::kUsageError;
    }
    const std::string_view command = argv[1];
    const cli::Args args(argv + 2, argv + argc);
    for (const cli::Command& c : cli::commands()) {
        if (command == c.name) {
            const int rc = c.run(args);
            if (rc == cli::kUsageError)
                std::cerr << kUsage;
            return rc;
        }
    }
    std::cerr << "zolvane: unknown command '" << command << "'\n" << kUsage;
    return cli::kUsageError;
}
