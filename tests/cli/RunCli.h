#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Commands.h"

namespace tavlor::cli {

// One run of the tool in-process: its exit code and what it printed on both streams.
struct TRun {
    int Code;
    std::string Out;
    std::string Err;
};

inline TRun RunCli(std::vector<std::string_view> args) {
    std::ostringstream out, err;
    const int code = RunCommandLine(args, out, err);
    return {code, out.str(), err.str()};
}

}  // namespace tavlor::cli
