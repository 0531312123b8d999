// Which processor a Windows program or library is built for: a program loads only libraries of
// its own kind, so a registration must name one.
#pragma once
#include <cstdint>
#include <string>

namespace regspell {

// The machine field of the file's image header (0x14C for x86, 0x8664 for x64); 0 when the
// file cannot be read or is no Windows image.
uint16_t ImageMachine(const std::string& Path);

// The machine this program is built for.
uint16_t OwnMachine();

// "32-bit x86", "64-bit x64" or the number, for messages.
std::string MachineName(uint16_t Machine);

} // namespace regspell
