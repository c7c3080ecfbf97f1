#pragma once

#include <cstddef>

// The process-wide pseudo-random generator behind generated names.
// Same sequence as the classic C run-time rand()/srand(): a linear congruential
// generator (x = x * 214013 + 2531011) whose output is bits 16..30, 0..32767.
// One generator for the whole process; every draw depends on all earlier draws.
// Safe to call from several threads (draws are serialised).

constexpr int kProcessRandomMax = 32767;

// Restarts the sequence from `seed` (srand).
void SeedProcessRandom(unsigned int seed);

// Restarts the sequence from a seed of the system's random source, once per run: two runs, even
// in the same second, draw different numbers, so two washed copies of one torrent share none.
void SeedProcessRandomFromSystem();

// Next value of the sequence, 0..32767 (rand).
int ProcessRandom();

// The next `count` values of the sequence into `out`, as `count` calls of ProcessRandom would
// give them, taken as one run that no other thread's draw falls into. A washer draws once per
// file: one atomic step for the whole torrent instead of one per file.
void ProcessRandomRun(int* out, std::size_t count);
