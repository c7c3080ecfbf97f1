#pragma once

#include <cstddef>
#include <cstdint>

// The SHA-1 block function: compresses whole 64-byte blocks into the five chaining words.
// Two engines do the work: the x86 SHA extensions where the processor has them, and a
// portable one everywhere else. The engine is chosen once, at the first use; tests may force
// either one. Neither engine writes to the input.

enum class Sha1Engine { Portable, ShaExtensions };

// Compresses `blocks` blocks starting at `data`. `workspace` receives the message schedule of
// the portable engine (the SHA extensions keep it in registers).
void Sha1Compress(std::uint32_t state[5], std::uint32_t workspace[16], const unsigned char* data, std::size_t blocks);

// The engine in use.
Sha1Engine ActiveSha1Engine();

// Switches to `engine`; false (and no change) when this processor cannot run it.
bool SelectSha1Engine(Sha1Engine engine);

// The two engines, for the dispatcher above.
void Sha1CompressPortable(
    std::uint32_t state[5], std::uint32_t workspace[16], const unsigned char* data, std::size_t blocks);
bool CpuHasShaExtensions();
void Sha1CompressShaExtensions(std::uint32_t state[5], const unsigned char* data, std::size_t blocks);
