// SPDX-License-Identifier: MIT
#include "Report.h"

#include <cstdlib>
#include <iostream>

namespace {
constexpr int FATAL_EXIT_STATUS = 1;
}

void Report::Error(const char* where, const char* what) {
    // std::endl flushes, so the line is complete even when stdout is a pipe.
    std::cout << "ERROR: " << where << ": " << what << std::endl;
    std::exit(FATAL_EXIT_STATUS);
}

void Report::Warning(const char* /*where*/, const char* /*what*/) {}

void Report::Message(const char* text) { std::cout << text << std::endl; }
