#include "common/TestUtil.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

namespace lexaport::test {

Bytes B(std::initializer_list<int> values) {
  Bytes out;
  out.reserve(values.size());
  for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

Bytes B(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

std::string Hex(const std::uint8_t* data, std::size_t size) {
  std::string out;
  char buffer[4];
  for (std::size_t i = 0; i < size; ++i) {
    std::snprintf(buffer, sizeof buffer, "%02x", data[i]);
    if (i != 0) out += ' ';
    out += buffer;
  }
  return out;
}

std::string Hex(const Bytes& bytes) { return Hex(bytes.data(), bytes.size()); }

Bytes ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

void WriteFileText(const std::filesystem::path& path, std::string_view text) {
  WriteFileBytes(path, B(text));
}

ProgramRun RunProgram(const std::string& commandLine, const TempDir& scratch) {
  const std::string out = scratch.File(".program-stdout");
  const std::string err = scratch.File(".program-stderr");
  const std::string command = commandLine + " >" + ShellQuote(out) + " 2>" + ShellQuote(err);
  const int raw = std::system(command.c_str());
  ProgramRun run;
  run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  const Bytes o = ReadFileBytes(out);
  const Bytes e = ReadFileBytes(err);
  run.out.assign(o.begin(), o.end());
  run.err.assign(e.begin(), e.end());
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return run;
}

std::string ShellQuote(std::string_view text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  quoted += '\'';
  return quoted;
}

TempDir::TempDir() {
  std::random_device random;
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / ("lexaport-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace lexaport::test
