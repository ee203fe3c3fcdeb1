#pragma once
// A source image decoded both ways it can be read: from memory, and from a file where it lies.
// The two must agree exactly, in the picture or in the reason for refusing it.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

#include "source_encoders.h"
#include "source_image.h"
#include "temp_folder.h"

namespace vuktest {

inline std::optional<EightBitImage> decodeFromMemoryAndFile(const Bytes& bytes, std::string& reason) {
  static const TempFolder folder;
  std::optional<EightBitImage> image =
      decodeSourceImage(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &reason);
  // A new file each time: a file truncated in place is flushed when closed, which is slow.
  std::remove(folder.file("source").c_str());
  putFile(folder.file("source"), bytes);
  std::string fileReason;
  const std::optional<EightBitImage> fromFile = readSourceImage(folder.file("source"), &fileReason);
  EXPECT_EQ(image.has_value(), fromFile.has_value()) << "from memory: " << reason << "; from a file: " << fileReason;
  if (!image) {
    EXPECT_EQ(reason, fileReason);
  } else if (fromFile) {
    EXPECT_EQ(image->width, fromFile->width);
    EXPECT_EQ(image->height, fromFile->height);
    EXPECT_EQ(image->channels, fromFile->channels);
    EXPECT_EQ(image->orientation, fromFile->orientation);
    EXPECT_TRUE(image->samples == fromFile->samples) << "the samples read from a file differ";
  }
  return image;
}

}  // namespace vuktest
