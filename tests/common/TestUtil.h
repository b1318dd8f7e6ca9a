#pragma once
// Small helpers shared by the test suites.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace lexaport::test {

using Bytes = std::vector<std::uint8_t>;

// Bytes from a mix of numbers: B({18, 1, 'b', 'o'}).
Bytes B(std::initializer_list<int> values);
// The bytes of a text.
Bytes B(std::string_view text);
// Concatenation.
Bytes Cat(std::initializer_list<Bytes> parts);
// "12 01 62 6f" for diagnostics.
std::string Hex(const std::uint8_t* data, std::size_t size);
std::string Hex(const Bytes& bytes);

Bytes ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes);
void WriteFileText(const std::filesystem::path& path, std::string_view text);

// What a program run through the shell did.
struct ProgramRun {
  int status = -1;  // exit status, -1 when it did not exit normally
  std::string out;
  std::string err;
};

class TempDir;
// Runs `commandLine` through the shell, its output captured in files of `scratch`.
ProgramRun RunProgram(const std::string& commandLine, const TempDir& scratch);

// `text` in single quotes for the shell.
std::string ShellQuote(std::string_view text);

// A fresh directory under the system's temporary directory, removed with its content when the
// object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::string File(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace lexaport::test
