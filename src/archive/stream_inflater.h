// Push-style raw-deflate decompression of one zip member: each chunk of
// compressed input is handed over whole and every byte of output it yields is
// delivered to a sink before the push returns.
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/input_stream.h"

// Receives decoded bytes; returns false to fail the push.
using InflateSink = bool (*)(void* context, const unsigned char* data, std::size_t length);

// Null when the decompression state cannot be made.
StreamInflater* CreateStreamInflater(InflateSink sink, void* context);
// False when the data is corrupt or the sink refused output.
bool PushToInflater(StreamInflater* inflater, const unsigned char* data, std::size_t length);
// True once the final block has been decoded.
bool InflaterReachedEnd(const StreamInflater* inflater);
// False when the inflater failed, left input unused, or never reached the
// final block's end.
bool FinishInflater(StreamInflater* inflater);
