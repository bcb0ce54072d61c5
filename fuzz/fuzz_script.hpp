#pragma once
// What the fuzz targets share: how a fuzz input becomes the chunks that standard input delivers,
// what the input stream must have asked of the system by the time the input has ended, and how
// a broken expectation is reported.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console/input_stream.hpp"
#include "tests/virtual_system.hpp"

namespace pokerhilfe::fuzzing {

// Stops the run with a message; libFuzzer keeps the input that got here as a crash artifact.
inline void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken expectation: %s\n", what);
  std::abort();
}

// Standard input as a list of chunks, each delivered by one read of the system.
//
// Layout of the fuzz input: the first byte's low three bits give a count n (0 to 7) of chunks
// with a length of their own, and its upper five bits are options for the target; the next n
// bytes are those lengths (1 to 256); what follows is the text, cut into the n chunks in order
// and a last chunk with the rest. So the fuzzer can put the boundary between two reads
// anywhere: inside a number, between a carriage return and its line feed, right after Ctrl+Z.
struct FuzzScript {
  std::vector<std::string> chunks;  // none empty, none longer than a read of the system takes
  std::uint8_t options = 0;         // five bits, for the target to use as it likes

  std::size_t totalBytes() const {
    std::size_t total = 0;
    for (const std::string& chunk : chunks) total += chunk.size();
    return total;
  }
};

inline FuzzScript splitIntoChunks(const std::uint8_t* data, std::size_t size) {
  FuzzScript script;
  if (size == 0) return script;
  const std::size_t sizedChunks = std::min<std::size_t>(data[0] & 0x07u, size - 1);
  script.options = static_cast<std::uint8_t>(data[0] >> 3);
  const std::uint8_t* const lengths = data + 1;
  const char* text = reinterpret_cast<const char*>(lengths + sizedChunks);
  const char* const end = reinterpret_cast<const char*>(data + size);

  // An empty chunk would be a read that delivers nothing, which is the end of the input: the
  // targets keep that for after the last chunk. Longer chunks are cut to what one read takes, so
  // that each chunk is exactly one read.
  auto addChunk = [&](std::size_t length) {
    length = std::min(length, static_cast<std::size_t>(end - text));
    if (length == 0) return;
    script.chunks.emplace_back(text, length);
    text += length;
  };
  for (std::size_t i = 0; i < sizedChunks; ++i) addChunk(std::size_t{lengths[i]} + 1);
  while (text != end) addChunk(InputStream::kChunkSize);
  return script;
}

// The input stream asks the system for bytes until a read delivers a Ctrl+Z, or until the system
// reports the end once; after either, never again. Checked once the input stream has ended.
inline void requireReadsUpToTheEnd(const FuzzScript& script, const testing::ScriptedInput& input) {
  const auto withEndOfFile = std::find_if(
      script.chunks.begin(), script.chunks.end(),
      [](const std::string& chunk) { return chunk.find('\x1A') != std::string::npos; });
  if (withEndOfFile != script.chunks.end()) {
    const auto readsUpToEndOfFile = withEndOfFile - script.chunks.begin() + 1;
    require(input.reads() == readsUpToEndOfFile,
            "the system is read up to the chunk with Ctrl+Z, and no further");
    require(input.readsAtEnd() == 0, "after a Ctrl+Z the system is not asked again");
  } else {
    require(input.exhausted(), "every chunk is read before the input ends");
    require(input.readsAtEnd() == 1, "the system is asked exactly once after its last chunk");
  }
}

}  // namespace pokerhilfe::fuzzing
