// SPDX-License-Identifier: MIT
#include "Report.h"

#include <csignal>
#include <cstdlib>
#include <iostream>

namespace {
constexpr int FATAL_EXIT_STATUS = 1;
// Read by the bounded exit's signal handler.
volatile std::sig_atomic_t errorWritten = 0;
} // namespace

void Report::Error(const char* where, const char* what) {
    // std::endl flushes, so the line is complete even when stdout is a pipe.
    std::cout << "ERROR: " << where << ": " << what << std::endl;
    errorWritten = 1;
    std::exit(FATAL_EXIT_STATUS);
}

bool Report::ErrorWritten() { return errorWritten != 0; }

void Report::Warning(const char* /*where*/, const char* /*what*/) {}

void Report::Message(const char* text) { std::cout << text << std::endl; }
