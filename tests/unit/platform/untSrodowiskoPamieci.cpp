// The conformance environment of the host stand-in with its files in memory: drive C: with the
// scratch folder, the CD-ROM drive D: with the licence file, and the in-memory registry.
#include "platform/host/untPlatformaPamieci.h"
#include "untSrodowiskoZgodnosci.h"

namespace orvala::platform::testy {

namespace {

class TSrodowiskoPamieci final : public TSrodowisko {
 public:
  TSrodowiskoPamieci() {
    platform_.AddDrive('C');
    platform_.AddDrive('D', TTypNapedu::CdRom);
    platform_.CreateDirectory("C:\\zgodnosc");
    const std::string licence = "licence";
    platform_.PutFile("D:\\UmowaPol.txt",
                      std::vector<std::uint8_t>(licence.begin(), licence.end()));
  }
  TPlatforma& Platforma() override { return platform_; }
  std::string Scratch() const override { return "C:\\zgodnosc"; }
  std::string RegistryKey() const override { return "Software\\OrvalaZgodnosc\\Test"; }
  void DeleteKey(TKorzen root, const std::string& path) override {
    platform_.DeleteKey(root, path);
  }
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override {
    return platform_.SetFileAttributes(path, attributes);
  }
  bool MakeLargeFile(const std::string&, std::uint64_t) override { return false; }
  std::string CdRoot() const override { return "D:\\"; }
  std::optional<TPlikWersji> CompiledVersionFile() override { return std::nullopt; }
  bool Names1250() const override { return true; }

 private:
  TPlatformaPamieci platform_;
};

}  // namespace

std::unique_ptr<TSrodowisko> CreateSrodowisko() {
  return std::make_unique<TSrodowiskoPamieci>();
}

}  // namespace orvala::platform::testy
