#pragma once

#include "model/codec/stream_codec.h"

// LC_LZ2 (Lunar Compress's name): the graphics compression of Super Mario
// World, Yoshi's Island and other first-party Super NES games. A stream is a
// run of commands ended by the byte 0xFF; each command starts with CCCLLLLL
// (command C, length L+1 from 1 to 32), or for C = 7 with the two bytes
// 111CCCLL LLLLLLLL (length L+1 from 1 to 1024). Commands: 0 copies the L+1
// bytes that follow, 1 repeats one byte, 2 alternates two bytes, 3 repeats
// one byte adding 1 after each (wrapping), 4 copies from the output so far
// at the absolute position given in the next two bytes, high byte first
// (byte by byte, so it may repeat bytes it is writing). Commands 5 and 6 do
// not exist, nor 7 in the long form.
//
// The stream declares no size; output can grow past 64 KiB (the buffer a
// game unpacks into sets its own limit), but repeats reach only its first
// 64 KiB. A stream that makes no bytes at all is refused, so the 0xFF
// filling empty ROM space does not read as streams.
extern const StreamCodec LcLz2Codec;
