// Registry data taken as text: never read past the bytes returned.
#include <gtest/gtest.h>

#include <vector>

#include "registry_reader.h"

namespace {

std::vector<win::BYTE> utf16Bytes(const std::u16string& text) {
  std::vector<win::BYTE> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<win::BYTE>(c & 0xFF));
    bytes.push_back(static_cast<win::BYTE>(c >> 8));
  }
  return bytes;
}

std::u16string asText(const std::vector<win::BYTE>& bytes, std::size_t count) {
  return registryDataAsText(bytes.data(), static_cast<win::DWORD>(count));
}

TEST(RegistryDataAsText, EndsAtTheFirstZeroCodeUnit) {
  std::vector<win::BYTE> data = utf16Bytes(std::u16string(u"Ärger\0tail\0", 11));
  EXPECT_EQ(asText(data, data.size()), u"Ärger");
  // Past the first groups that are searched many units at a time.
  data = utf16Bytes(std::u16string(u"Program Files (x86)\0tail", 24));
  EXPECT_EQ(asText(data, data.size()), u"Program Files (x86)");
}

TEST(RegistryDataAsText, DataWithoutZeroIsCutAtTheBytesGiven) {
  // Guard bytes after the counted data hold no zero: reading on would show.
  std::vector<win::BYTE> data = utf16Bytes(u"ABCD");
  data.insert(data.end(), {0xBD, 0xBD, 0xBD, 0xBD});
  EXPECT_EQ(asText(data, 6), u"ABC");
  EXPECT_EQ(asText(data, 7), u"ABC") << "an odd trailing byte is no code unit";
  EXPECT_EQ(asText(data, 1), u"");
  EXPECT_EQ(asText(data, 0), u"");
}

TEST(RegistryDataAsText, TakesRawBytesWhateverTheType) {
  // A DWORD 0x00410042 in little-endian order is the code units 0x0042 0x0041.
  EXPECT_EQ(asText({0x42, 0x00, 0x41, 0x00}, 4), u"BA");
  EXPECT_EQ(asText({0x01, 0x00, 0x00, 0x00}, 4), u"\u0001");
  EXPECT_EQ(asText({0x00, 0x00, 0x01, 0x00}, 4), u"") << "a zero low word ends the text at once";
  // Surrogate pairs are copied as they are.
  EXPECT_EQ(asText(utf16Bytes(u"\U0001F600"), 4), u"\U0001F600");
}

TEST(RegistryDataAsText, ReadsAFullBufferWithoutAZero) {
  std::vector<win::BYTE> data = utf16Bytes(std::u16string(cRegistryReader::ValueBufferBytes / 2, u'x'));
  EXPECT_EQ(asText(data, data.size()).size(), cRegistryReader::ValueBufferBytes / 2);
}

}  // namespace
