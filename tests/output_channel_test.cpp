#include "console/output_channel.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/texts.hpp"
#include "tests/virtual_system.hpp"

namespace pokerhilfe {
namespace {

using Writes = std::vector<std::string>;
using testing::RecordingOutput;

// The bytes as they leave the process: every line feed preceded by a carriage return.
std::string withCrLf(std::string_view text) {
  std::string expanded;
  for (const char byte : text) {
    if (byte == '\n') expanded += '\r';
    expanded += byte;
  }
  return expanded;
}

// The first menu of the program, text by text, up to the prompt for the choice.
const std::vector<std::string_view> kFirstMenu = {
    texts::kMenu0,   texts::kMenu1,     texts::kMenu2,        texts::kMenu3,
    texts::kMenuGap, texts::kAllInHint, texts::kChoicePrompt,
};

std::string joined(const std::vector<std::string_view>& parts) {
  std::string whole;
  for (const std::string_view part : parts) whole += part;
  return whole;
}

// ---- A character device: every byte at once ----

struct OutputChannelUnbuffered : ::testing::Test {
  RecordingOutput console{/*characterDevice=*/true};
  OutputChannel channel{console};
};

TEST_F(OutputChannelUnbuffered, WritesEachByteByItselfAndEachLineFeedAsCrLf) {
  ASSERT_FALSE(channel.isBuffered());
  channel.write("ab\r\nc\n");
  EXPECT_EQ(console.writes(), (Writes{"a", "b", "\r", "\r\n", "c", "\r\n"}));
}

TEST_F(OutputChannelUnbuffered, LeavesCodePage850BytesAsTheyAre) {
  channel.write(texts::kMenu1);
  EXPECT_EQ(console.bytes(), "(1) Niemand hat erh\x94ht\r\n\r\n");
  EXPECT_EQ(console.writes().size(), std::string_view("(1) Niemand hat erh\x94ht").size() + 2);
}

TEST_F(OutputChannelUnbuffered, FlushAndEmptyTextWriteNothing) {
  channel.write("Auswahl: ");
  const std::size_t writesBefore = console.writes().size();
  channel.write("");
  channel.flush();
  EXPECT_EQ(console.writes().size(), writesBefore);
}

// A console that fails to take a byte: the byte counts as written, the rest still goes out, and
// the channel never falls silent.
TEST_F(OutputChannelUnbuffered, ByteTheSystemFailsToTakeCountsAsWritten) {
  console.failAfter(2);
  channel.write("abc\nd");
  EXPECT_EQ(console.writes(), (Writes{"a", "b", "c", "\r\n", "d"}));
  EXPECT_EQ(console.bytes(), "ab");
  EXPECT_FALSE(channel.hasFailed());

  console.failAfter(100);
  channel.write("ef");
  EXPECT_EQ(console.bytes(), "abef");
  EXPECT_FALSE(channel.hasFailed());
}

// ---- A file or a pipe: bytes wait in the buffer ----

struct OutputChannelBuffered : ::testing::Test {
  RecordingOutput file{/*characterDevice=*/false};
  OutputChannel channel{file};
};

TEST_F(OutputChannelBuffered, HandsOverNothingBeforeFlushNotEvenAtALineEnd) {
  ASSERT_TRUE(channel.isBuffered());
  channel.write("Big Blind: \n");
  channel.write("2\n\n");
  EXPECT_TRUE(file.writes().empty());
}

TEST_F(OutputChannelBuffered, FlushHandsOverEverythingInOneWriteWithCrLf) {
  channel.write("a\nb");
  channel.write("\r\n\n");
  channel.flush();
  EXPECT_EQ(file.writes(), (Writes{"a\r\nb\r\r\n\r\n"}));

  channel.flush();  // nothing is pending any more
  EXPECT_EQ(file.writes().size(), 1u);
}

TEST_F(OutputChannelBuffered, EmptyTextWritesNothing) {
  channel.write("");
  channel.flush();
  EXPECT_TRUE(file.writes().empty());
}

// Redirected, the whole menu up to the prompt reaches the file at once, when the choice is read.
TEST_F(OutputChannelBuffered, WholeMenuLeavesInOneHandOver) {
  for (const std::string_view text : kFirstMenu) channel.write(text);
  EXPECT_TRUE(file.writes().empty());
  channel.flush();
  EXPECT_EQ(file.writes(), (Writes{withCrLf(joined(kFirstMenu))}));
}

// A full buffer is handed over when the next byte arrives, not before.
TEST_F(OutputChannelBuffered, FullBufferIsHandedOverWhenTheNextByteComes) {
  const std::string fullBuffer(OutputChannel::kBufferSize, 'x');
  channel.write(fullBuffer);
  EXPECT_TRUE(file.writes().empty());

  channel.write("y");
  EXPECT_EQ(file.writes(), (Writes{fullBuffer}));
  channel.flush();
  EXPECT_EQ(file.writes(), (Writes{fullBuffer, "y"}));
}

// With one byte free, a line feed, which leaves as two bytes, goes into the next hand-over whole:
// a carriage return and its line feed are never split between two writes.
TEST_F(OutputChannelBuffered, LineEndThatDoesNotFitGoesWholeIntoTheNextHandOver) {
  const std::string allButOne(OutputChannel::kBufferSize - 1, 'x');
  channel.write(allButOne);
  channel.write("\n");
  EXPECT_EQ(file.writes(), (Writes{allButOne}));
  channel.flush();
  EXPECT_EQ(file.writes(), (Writes{allButOne, "\r\n"}));
}

TEST_F(OutputChannelBuffered, LineEndThatFitsExactlyFillsTheBuffer) {
  const std::string allButTwo(OutputChannel::kBufferSize - 2, 'x');
  channel.write(allButTwo + "\n");
  EXPECT_TRUE(file.writes().empty());
  channel.write("z");
  EXPECT_EQ(file.writes(), (Writes{allButTwo + "\r\n"}));
}

TEST_F(OutputChannelBuffered, TextLongerThanTheBufferLeavesInBufferSizedPieces) {
  std::string text;
  for (int line = 0; line < 1000; ++line) text += "Erh\x94he auf: " + std::to_string(line) + "\n";
  channel.write(text);
  channel.flush();

  std::string handedOver;
  for (const std::string& write : file.writes()) {
    EXPECT_LE(write.size(), OutputChannel::kBufferSize);
    handedOver += write;
  }
  EXPECT_EQ(handedOver, withCrLf(text));
  EXPECT_EQ(file.writes().size(), withCrLf(text).size() / OutputChannel::kBufferSize + 1);
}

// ---- A hand-over the system takes only in part: a full disk, a pipe without reader ----

TEST_F(OutputChannelBuffered, ShortWriteLosesTheHandOverAndSilencesTheChannel) {
  file.failAfter(3);
  channel.write("Auswahl: ");
  channel.flush();
  EXPECT_EQ(file.writes(), (Writes{"Auswahl: "}));
  EXPECT_EQ(file.bytes(), "Aus");
  EXPECT_TRUE(channel.hasFailed());

  file.failAfter(1000);  // even a system that would take bytes again gets none
  channel.write("Big Blind: \n");
  channel.flush();
  EXPECT_EQ(file.writes().size(), 1u);
  EXPECT_TRUE(channel.hasFailed());
}

TEST_F(OutputChannelBuffered, WriteThatTakesNothingAlsoSilencesTheChannel) {
  file.failAfter(0);
  channel.write("x");
  channel.flush();
  EXPECT_TRUE(channel.hasFailed());
  channel.write("y");
  channel.flush();
  EXPECT_EQ(file.writes(), (Writes{"x"}));
}

// Exactly the bytes asked for, down to the last one, is not a failure.
TEST_F(OutputChannelBuffered, SystemTakingExactlyTheBytesIsNoFailure) {
  file.failAfter(std::string_view("a\r\nb").size());
  channel.write("a\nb");
  channel.flush();
  EXPECT_FALSE(channel.hasFailed());
  EXPECT_EQ(file.bytes(), "a\r\nb");
}

// A hand-over that fails because the buffer is full stops the write that filled it: the rest of
// that text is not kept for a later flush.
TEST_F(OutputChannelBuffered, ShortWriteOfAFullBufferStopsTheWriteInProgress) {
  file.failAfter(10);
  channel.write(std::string(OutputChannel::kBufferSize + 100, 'x'));
  EXPECT_EQ(file.writes().size(), 1u);
  EXPECT_TRUE(channel.hasFailed());

  channel.flush();
  EXPECT_EQ(file.writes().size(), 1u);
}

}  // namespace
}  // namespace pokerhilfe
