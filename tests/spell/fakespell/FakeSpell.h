// The scripting and log interface of the recording spelling library used by the engine tests.
// The library exports the sixteen CSAPI entry points; each call is written to a log, one
// line per call with its arguments and the contents of the records it was given, and the
// answers come from a script that the test sets through the functions below.
#pragma once
#include <cstdint>

extern "C" {
// Forgets the log and the script.
typedef void(__cdecl* TFakeReset)();
// The log so far: one line per call, each ended by '\n'.
typedef const char*(__cdecl* TFakeLog)();
// The next call of Entry (a CSAPI entry point name) returns Status.
typedef void(__cdecl* TFakeFailNext)(const char* Entry, uint32_t Status);
// Queues the answer to the next text check: status code, error position and length, and
// the string put first into the string area (may be empty).
typedef void(__cdecl* TFakeQueueCheck)(uint16_t Code, uint16_t Pos, uint16_t Len, const char* Replacement);
// Queues one batch of suggestions: zero-separated strings ended by an empty one. The first
// suggestion command answers with the first batch, each further one with the next; with
// no batch left the status is 8.
typedef void(__cdecl* TFakeQueueSuggestions)(const char* Batch);
}
