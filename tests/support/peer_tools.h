// Running the peer tools (ImageMagick, netpbm, zip, sharutils, ...) that
// integration tests take as oracles.
#pragma once

#include <gtest/gtest.h>

#include <string>

// True when `tool` is on the PATH.
bool HavePeerTool(const std::string& tool);

// Runs a shell command; returns its exit status (-1 when it could not run).
int RunCommand(const std::string& command);

// Runs a shell command and returns what it printed on standard output.
std::string CommandOutput(const std::string& command);

// Quotes a word for the shell.
std::string ShellQuote(const std::string& word);

// Skips the test when a peer tool is missing: CI installs them all, so a skip
// only happens on a developer machine without scripts/bootstrap.
#define REQUIRE_PEER_TOOL(tool)                                          \
  do {                                                                   \
    if (!HavePeerTool(tool)) GTEST_SKIP() << "peer tool missing: " tool; \
  } while (0)
