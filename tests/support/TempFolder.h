#pragma once
// A fresh, empty folder of a test's own below the system's temporary folder,
// removed with everything in it when the object goes.

#include <filesystem>
#include <string_view>

class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& below) const {
    return path_ / below;
  }

  // Writes a file below the folder as bytes, creating the folders above it.
  void Write(const std::filesystem::path& below, std::string_view content) const;
  // The bytes of a file below the folder; empty when it cannot be read.
  std::string Read(const std::filesystem::path& below) const;

 private:
  std::filesystem::path path_;
};
