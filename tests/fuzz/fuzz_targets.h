#pragma once

#include <cstddef>
#include <cstdint>

// Each target feeds arbitrary bytes to one road by which outside bytes enter the program,
// and aborts when a property that must hold for any input fails. The fuzzers run them under
// libFuzzer; the tests replay the kept corpus through them.
int FuzzKissStream(const std::uint8_t* data, std::size_t size);
int FuzzKissCapture(const std::uint8_t* data, std::size_t size);
int FuzzSatnogsFile(const std::uint8_t* data, std::size_t size);
int FuzzConfiguration(const std::uint8_t* data, std::size_t size);
int FuzzTimeStampFrames(const std::uint8_t* data, std::size_t size);
