// A host folder for one test: made empty under the temporary directory, removed with its
// contents when the object goes.
#pragma once

#include <atomic>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace orvala::platform::testy {

class TKatalogTymczasowy {
 public:
  explicit TKatalogTymczasowy(const std::string& prefix) {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            (prefix + "-" + std::to_string(random()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(path_);
  }
  ~TKatalogTymczasowy() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TKatalogTymczasowy(const TKatalogTymczasowy&) = delete;
  TKatalogTymczasowy& operator=(const TKatalogTymczasowy&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace orvala::platform::testy
