#include "tests/support/TempFolder.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

TTempFolder::TTempFolder() {
  // Created exclusively: a name another test program (or a crashed earlier
  // run) holds is never shared, whatever its process id.
  static std::mt19937_64 names{std::random_device{}()};
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = base / ("kolvane-test-" + std::to_string(names()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      path_ = std::move(candidate);
      return;
    }
  }
  throw std::runtime_error("no temporary folder could be made below " + base.string());
}

TTempFolder::~TTempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void TTempFolder::Write(const fs::path& below, std::string_view content) const {
  const fs::path file = path_ / below;
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary)
      .write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string TTempFolder::Read(const fs::path& below) const {
  std::ifstream in(path_ / below, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
