// The conformance suite of the platform layer: one set of tests that every implementation must
// pass (the host stand-in natively and under Wine, the Win32 one under Wine), so that the
// stand-in cannot drift from the real thing.
//
// Each test executable links these sources with one environment (untSrodowisko*.cpp) that
// defines CreateSrodowisko(): the platform under test, an empty scratch folder, a scratch
// registry key, and the few things that only the environment can arrange (attributes, a large
// sparse file, a CD-ROM drive, a file built by the resource compiler).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/untPlatforma.h"

namespace orvala::platform::testy {

class TSrodowisko {
 public:
  virtual ~TSrodowisko() = default;
  virtual TPlatforma& Platforma() = 0;
  // An empty folder of this test, in Windows form without a trailing backslash; removed
  // with the environment.
  virtual std::string Scratch() const = 0;
  // A key of this test under HKEY_CURRENT_USER (it does not exist yet); removed afterwards.
  virtual std::string RegistryKey() const = 0;
  // Deletes a key with its subkeys behind the platform's back.
  virtual void DeleteKey(TKorzen root, const std::string& path) = 0;
  // Gives an existing entry the attribute bits (hidden, system, read-only).
  virtual bool SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // Makes `path` a file of `size` bytes without writing them; false where that is not possible.
  virtual bool MakeLargeFile(const std::string& path, std::uint64_t size) = 0;
  // The root of a CD-ROM drive ("D:\"), or empty when none is configured.
  virtual std::string CdRoot() const = 0;
  // A program file with a version resource made by the resource compiler, and its
  // FileVersion; nullopt in builds without one.
  struct TPlikWersji {
    std::string path;
    std::string fileVersion;
  };
  virtual std::optional<TPlikWersji> CompiledVersionFile() = 0;
  // Whether the system's ANSI code page is Windows-1250 (what the target check holds).
  virtual bool Names1250() const = 0;
};

std::unique_ptr<TSrodowisko> CreateSrodowisko();

// The base of the conformance tests.
class TZgodnosc : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  TPlatforma& P() { return env_->Platforma(); }
  TSrodowisko& Env() { return *env_; }
  // Scratch() + "\" + name.
  std::string In(const std::string& name) const;
  // Writes a whole file through the platform (asserting every step).
  void Write(const std::string& path, const std::string& content);
  // Reads a whole file through the platform; nullopt when it cannot be opened or read.
  std::optional<std::string> Read(const std::string& path);
  // The listing of a folder without "." and "..", or nullopt.
  std::optional<std::vector<TWpisKatalogu>> Names(const std::string& directory);

 private:
  std::unique_ptr<TSrodowisko> env_;
};

}  // namespace orvala::platform::testy
