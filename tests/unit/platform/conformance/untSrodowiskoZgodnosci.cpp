#include "untSrodowiskoZgodnosci.h"

namespace orvala::platform::testy {

void TZgodnosc::SetUp() {
  env_ = CreateSrodowisko();
}

void TZgodnosc::TearDown() {
  env_.reset();
}

std::string TZgodnosc::In(const std::string& name) const {
  return env_->Scratch() + "\\" + name;
}

void TZgodnosc::Write(const std::string& path, const std::string& content) {
  std::unique_ptr<TPlikPlatformy> file = P().CreateWrite(path);
  ASSERT_NE(file, nullptr) << path;
  std::size_t written = 0;
  ASSERT_TRUE(file->Write(content.data(), content.size(), written)) << path;
  ASSERT_EQ(written, content.size());
  ASSERT_TRUE(file->Close()) << path;
}

std::optional<std::string> TZgodnosc::Read(const std::string& path) {
  std::unique_ptr<TPlikPlatformy> file = P().OpenRead(path);
  if (!file) {
    return std::nullopt;
  }
  std::string content;
  char block[4096];
  for (;;) {
    std::size_t got = 0;
    if (!file->Read(block, sizeof block, got)) {
      return std::nullopt;
    }
    if (got == 0) {
      break;
    }
    content.append(block, got);
  }
  if (!file->Close()) {
    return std::nullopt;
  }
  return content;
}

std::optional<std::vector<TWpisKatalogu>> TZgodnosc::Names(const std::string& directory) {
  std::vector<TWpisKatalogu> entries;
  if (!P().ListDirectory(directory, entries)) {
    return std::nullopt;
  }
  std::vector<TWpisKatalogu> out;
  for (const TWpisKatalogu& e : entries) {
    if (e.name != "." && e.name != "..") {
      out.push_back(e);
    }
  }
  return out;
}

}  // namespace orvala::platform::testy
