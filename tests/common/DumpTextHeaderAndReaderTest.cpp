// The dump's text header and the dump reader.
#include <gtest/gtest.h>

#include <cstring>

#include "common/DumpFileReader.h"
#include "common/DumpTextHeader.h"
#include "support/TempDir.h"

namespace velk {
namespace {

using test::TempDir;

TEST(TextHeader, BuildAndParse) {
  const TDateTime t = *EncodeDateTime({2024, 5, 6, 7, 8, 9});
  // 1970-01-01 00:00:00 is 5 hours after the zero of the read time.
  EXPECT_EQ(ReadTimeSeconds(*EncodeDate(1970, 1, 1)), 5 * 3600);
  const std::string text = BuildTextHeader(53, 12345, t);
  EXPECT_EQ(text, "Vers 53\r\nSN 12345\r\nReadTime " + std::to_string(ReadTimeSeconds(t)));
  std::vector<std::uint8_t> image(text.begin(), text.end());
  image.resize(300, 0);
  const TTextHeader header = ParseTextHeader(image);
  EXPECT_EQ(header.Version, 53);
  EXPECT_EQ(header.Serial, 12345);
  ASSERT_TRUE(header.ReadTime);
  EXPECT_NEAR(*header.ReadTime, t, 0.5 * OneSecond);
}

// Searches stop at position 127: a value whose characters run up to it is not taken.
TEST(TextHeader, ValuesRunningToPosition127AreNotTaken) {
  const std::string head = "Vers 12\r\nSN 42\r\nReadTime ";
  std::vector<std::uint8_t> image(128, 0);
  std::copy(head.begin(), head.end(), image.begin() + 100);  // "ReadTime " ends at 124
  image[125] = '7';
  image[126] = '\r';
  TTextHeader header = ParseTextHeader(image);
  EXPECT_EQ(header.Version, 12);
  EXPECT_EQ(header.Serial, 42);
  ASSERT_TRUE(header.ReadTime);
  EXPECT_NEAR(*header.ReadTime, *EncodeDateTime({1969, 12, 31, 19, 0, 7}), 1e-9);

  std::fill(image.begin(), image.end(), 0);
  std::copy(head.begin(), head.end(), image.begin() + 101);  // the digit now sits at 126
  image[126] = '7';
  image[127] = '\r';
  header = ParseTextHeader(image);
  EXPECT_EQ(header.Serial, 42);
  EXPECT_FALSE(header.ReadTime);

  std::vector<std::uint8_t> versionOnly(128, 'x');
  std::memcpy(versionOnly.data(), "Vers 5", 6);
  header = ParseTextHeader(versionOnly);
  EXPECT_FALSE(header.Version);
  EXPECT_FALSE(header.Serial);
}

TEST(TextHeader, MissingOrBrokenParts) {
  EXPECT_FALSE(ParseTextHeader(std::vector<std::uint8_t>(128, 0)).Version);
  const std::string text = "Vers ab\r\nSN 70000\r\n";
  std::vector<std::uint8_t> image(text.begin(), text.end());
  const TTextHeader header = ParseTextHeader(image);
  EXPECT_FALSE(header.Version);
  EXPECT_EQ(header.Serial, static_cast<std::uint16_t>(70000));
  EXPECT_FALSE(header.ReadTime);
}

TEST(ReadDumpFile, LoadsAndZeroesTheRest) {
  TempDir dir;
  TDumpImage image;
  image.DumpImage.fill(0x77);
  test::WriteBytes(dir / "a.dat", {1, 2, 3});
  DirectUserInterface ui;
  ASSERT_TRUE(ReadDumpFile(image, (dir / "a.dat").string(), ui));
  EXPECT_EQ(image.DumpLength, 3);
  EXPECT_EQ(image.DumpImage[2], 3);
  EXPECT_EQ(image.DumpImage[3], 0);
  EXPECT_EQ(image.DumpImage[DumpCapacity - 1], 0);
  EXPECT_TRUE(ui.Messages.empty());
}

TEST(ReadDumpFile, FullCapacityIsAcceptedOneMoreByteIsRefused) {
  TempDir dir;
  TDumpImage image;
  DirectUserInterface ui;
  std::vector<std::uint8_t> bytes(DumpCapacity, 0x42);
  test::WriteBytes(dir / "full.dat", bytes);
  ASSERT_TRUE(ReadDumpFile(image, (dir / "full.dat").string(), ui));
  EXPECT_EQ(image.DumpLength, DumpCapacity);

  bytes.push_back(0x43);
  test::WriteBytes(dir / "long.dat", bytes);
  image.DumpImage[0] = 0x99;
  const std::string path = (dir / "long.dat").string();
  EXPECT_FALSE(ReadDumpFile(image, path, ui));
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_NE(ui.Messages[0].find(path), std::string::npos);
  EXPECT_NE(ui.Messages[0].find("100001"), std::string::npos);
  EXPECT_EQ(image.DumpLength, DumpCapacity);  // the image is left as it was
  EXPECT_EQ(image.DumpImage[0], 0x99);
}

TEST(ReadDumpFile, OpenFailures) {
  TempDir dir;
  TDumpImage image;
  DirectUserInterface ui;
  const std::string missing = (dir / "none.dat").string();
  EXPECT_FALSE(ReadDumpFile(image, missing, ui));
  EXPECT_FALSE(ReadDumpFile(image, dir.Text(), ui));
  ASSERT_EQ(ui.Messages.size(), 2u);
  EXPECT_EQ(ui.Messages[0], "Ошибка открытия Файла " + missing);
  EXPECT_EQ(ui.Messages[1], "Ошибка открытия Файла " + dir.Text());
}

}  // namespace
}  // namespace velk
