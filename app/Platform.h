#pragma once
// What the start-up needs of the operating system, one implementation per OS
// and a fake for the tests.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct TRegistryValue {
  enum class TKind { Missing, Text, InvalidType };
  TKind Kind = TKind::Missing;
  std::u16string Text;  // the value for Text; empty otherwise
};

class TPlatform {
 public:
  virtual ~TPlatform() = default;
  // The machine-wide value that names a shared data folder.
  virtual TRegistryValue ReadAllAppData() = 0;
  // The all-users application-data folder, or nothing when it cannot be found.
  virtual std::optional<std::u16string> CommonAppDataFolder() = 0;
  // Full path of the running executable.
  virtual std::u16string ExecutablePath() = 0;
  // Creates the directory with every missing parent; true when it exists afterwards.
  virtual bool CreateDirectoryPath(const std::u16string& path) = 0;
};

std::unique_ptr<TPlatform> MakeNativePlatform();

// Whether two 8-bit texts are the same when letter case is ignored, compared
// as the user's locale compares them.
bool EqualTextInUserLocale(std::string_view a, std::string_view b);
