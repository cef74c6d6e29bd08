// The conformance environment of the host stand-in: a temporary host folder mapped as drive C:,
// another as the CD-ROM drive D:, and the in-memory registry.
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/host/untPlatformaHost.h"
#include "untKatalogTymczasowy.h"
#include "untSrodowiskoZgodnosci.h"

namespace orvala::platform::testy {

namespace fs = std::filesystem;

namespace {

class TSrodowiskoHost final : public TSrodowisko {
 public:
  TSrodowiskoHost() {
    fs::create_directories(root_ / "c" / "zgodnosc");
    fs::create_directories(root_ / "cd");
    std::ofstream(root_ / "cd" / "UmowaPol.txt") << "licence";
    platform_.MapDrive('C', root_ / "c");
    platform_.MapDrive('D', root_ / "cd", TTypNapedu::CdRom);
  }
  TPlatforma& Platforma() override { return platform_; }
  std::string Scratch() const override { return "C:\\zgodnosc"; }
  std::string RegistryKey() const override { return "Software\\OrvalaZgodnosc\\Test"; }
  void DeleteKey(TKorzen root, const std::string& path) override {
    platform_.DeleteKey(root, path);
  }
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override {
    if (!platform_.FindEntry(path)) {
      return false;
    }
    platform_.SetAttributes(path, attributes);
    return true;
  }
  bool MakeLargeFile(const std::string& path, std::uint64_t size) override {
    const std::optional<fs::path> host = platform_.HostPath(path);
    if (!host) {
      return false;
    }
    std::ofstream(*host).close();
    std::error_code ec;
    fs::resize_file(*host, size, ec);
    return !ec;
  }
  std::string CdRoot() const override { return "D:\\"; }
  std::optional<TPlikWersji> CompiledVersionFile() override {
#ifdef _WIN32
    // The resource compiler's DLL lies in the test's working directory (see CMakeLists.txt).
    std::error_code ec;
    const fs::path dir = fs::current_path(ec);
    if (!ec && fs::exists(dir / "orvala_test_wersja.dll")) {
      platform_.MapDrive('E', dir);
      return TPlikWersji{"E:\\orvala_test_wersja.dll", "4.72.3110.1"};
    }
#endif
    return std::nullopt;
  }
  bool Names1250() const override {
    return true;
  }

 private:
  TKatalogTymczasowy folder_{"orvala-zg"};
  const fs::path& root_ = folder_.Path();
  TPlatformaHost platform_;
};

}  // namespace

std::unique_ptr<TSrodowisko> CreateSrodowisko() {
  return std::make_unique<TSrodowiskoHost>();
}

}  // namespace orvala::platform::testy
