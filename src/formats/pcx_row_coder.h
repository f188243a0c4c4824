// The PCX writer's run-length coder, one row at a time.
#pragma once

#include <cstdint>
#include <vector>

// Replaces `out` with the coded row: runs of at most 63 equal bytes as a count
// byte (0xC0 + length) and the value; a single byte below 0xC0 stands alone.
void EncodePcxRow(const std::uint8_t* row, int count, std::vector<std::uint8_t>& out);
