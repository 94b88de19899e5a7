// SPDX-License-Identifier: MIT
// Report: the one channel for the game's text output, all of it on standard
// output: fatal errors that end the process, refused calls, one-line notices.
#pragma once

class Report {
  public:
    // Writes "ERROR: <where>: <what>" as one flushed line and exits with status 1.
    [[noreturn]] void Error(const char* where, const char* what);
    // Whether Error has written its line: the exit under way then has its
    // explanation, and the bounded exit adds none.
    static bool ErrorWritten();

    // Names a refused call and its reason; deliberately silent, so that a
    // whole match prints nothing but its result line.
    void Warning(const char* where, const char* what);

    // Writes one flushed line.
    void Message(const char* text);
};
