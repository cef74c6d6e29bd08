#include "platform/untPlatformaAwarie.h"

#include <utility>

namespace orvala::platform {

namespace {

// A file whose reads, writes and close are counted and may fail.
class TPlikAwarie final : public TPlikPlatformy {
 public:
  TPlikAwarie(TPlatformaAwarie& faults, std::unique_ptr<TPlikPlatformy> inner)
      : faults_(faults), inner_(std::move(inner)) {}

  bool Read(void* buffer, std::size_t count, std::size_t& got) override {
    got = 0;
    if (faults_.Count(TOperacja::Read)) {
      return false;
    }
    return inner_->Read(buffer, count, got);
  }
  bool Write(const void* buffer, std::size_t count, std::size_t& written) override {
    written = 0;
    if (!faults_.Survives()) {
      return false;
    }
    if (faults_.Count(TOperacja::Write)) {
      const std::size_t half = count / 2;
      std::size_t done = 0;
      if (half > 0) {
        inner_->Write(buffer, half, done);
      }
      written = done;
      return false;
    }
    return inner_->Write(buffer, count, written);
  }
  std::optional<std::uint64_t> Size() override { return inner_->Size(); }
  bool Close() override {
    const bool fail = faults_.Count(TOperacja::Close);
    const bool closed = inner_->Close();
    return closed && !fail;
  }

 private:
  TPlatformaAwarie& faults_;
  std::unique_ptr<TPlikPlatformy> inner_;
};

// A registry key whose writes are counted and may fail.
class TKluczAwarie final : public TKluczRejestru {
 public:
  TKluczAwarie(TPlatformaAwarie& faults, std::unique_ptr<TKluczRejestru> inner)
      : faults_(faults), inner_(std::move(inner)) {}

  bool ReadString(const std::string& name, std::string& value) override {
    return inner_->ReadString(name, value);
  }
  bool ReadInteger(const std::string& name, std::int32_t& value) override {
    return inner_->ReadInteger(name, value);
  }
  bool WriteString(const std::string& name, const std::string& value) override {
    return faults_.Survives() && !faults_.Count(TOperacja::RegistryWrite) &&
           inner_->WriteString(name, value);
  }
  bool WriteWideString(const std::string& name, const TWideString& value) override {
    return faults_.Survives() && !faults_.Count(TOperacja::RegistryWrite) &&
           inner_->WriteWideString(name, value);
  }
  bool WriteInteger(const std::string& name, std::int32_t value) override {
    return faults_.Survives() && !faults_.Count(TOperacja::RegistryWrite) &&
           inner_->WriteInteger(name, value);
  }
  bool WriteBool(const std::string& name, bool value) override {
    return faults_.Survives() && !faults_.Count(TOperacja::RegistryWrite) &&
           inner_->WriteBool(name, value);
  }
  bool DeleteValue(const std::string& name) override {
    return faults_.Survives() && !faults_.Count(TOperacja::RegistryWrite) &&
           inner_->DeleteValue(name);
  }
  std::vector<std::string> ValueNames() override { return inner_->ValueNames(); }
  bool Flush() override { return !faults_.Count(TOperacja::RegistryFlush) && inner_->Flush(); }
  bool Close() override { return inner_->Close(); }

 private:
  TPlatformaAwarie& faults_;
  std::unique_ptr<TKluczRejestru> inner_;
};

}  // namespace

TPlatformaAwarie::TPlatformaAwarie(TPlatforma& inner) : inner_(inner) {}

void TPlatformaAwarie::FailNth(TOperacja operation, int n, TPrzyczynaBledu reason) {
  plans_[static_cast<std::size_t>(operation)].nth[n] = reason;
}

void TPlatformaAwarie::FailFrom(TOperacja operation, int n, TPrzyczynaBledu reason) {
  TPlan& p = plans_[static_cast<std::size_t>(operation)];
  p.from = n;
  p.fromReason = reason;
}

void TPlatformaAwarie::ClearFailures() {
  for (TPlan& p : plans_) {
    p.nth.clear();
    p.from = 0;
  }
}

void TPlatformaAwarie::ResetCounts() {
  for (TPlan& p : plans_) {
    p.calls = 0;
  }
}

void TPlatformaAwarie::KillAt(int n) {
  killAt_ = n;
}

bool TPlatformaAwarie::Survives() {
  ++changes_;
  return killAt_ == 0 || changes_ < killAt_;
}

int TPlatformaAwarie::Calls(TOperacja operation) const {
  return plans_[static_cast<std::size_t>(operation)].calls;
}

bool TPlatformaAwarie::Count(TOperacja operation) {
  TPlan& p = plans_[static_cast<std::size_t>(operation)];
  ++p.calls;
  injected_.reset();
  if (const auto it = p.nth.find(p.calls); it != p.nth.end()) {
    injected_ = it->second;
  } else if (p.from > 0 && p.calls >= p.from) {
    injected_ = p.fromReason;
  }
  return injected_.has_value();
}

TPrzyczynaBledu TPlatformaAwarie::FailureReason(const std::string& path) {
  return injected_ ? *injected_ : inner_.FailureReason(path);
}

// --- Counted operations ------------------------------------------------------------------------

bool TPlatformaAwarie::CreateDirectory(const std::string& path) {
  return Survives() && !Count(TOperacja::CreateDirectory) && inner_.CreateDirectory(path);
}
bool TPlatformaAwarie::CreateDirectoryWide(const TWideString& path) {
  return Survives() && !Count(TOperacja::CreateDirectory) && inner_.CreateDirectoryWide(path);
}
bool TPlatformaAwarie::RemoveDirectory(const std::string& path) {
  return Survives() && !Count(TOperacja::RemoveDirectory) && inner_.RemoveDirectory(path);
}
bool TPlatformaAwarie::DeleteFile(const std::string& path) {
  return Survives() && !Count(TOperacja::Delete) && inner_.DeleteFile(path);
}
bool TPlatformaAwarie::RenameFile(const std::string& from, const std::string& to) {
  return Survives() && !Count(TOperacja::Rename) && inner_.RenameFile(from, to);
}
bool TPlatformaAwarie::ReplaceFile(const std::string& replacement, const std::string& replaced) {
  return Survives() && !Count(TOperacja::Replace) && inner_.ReplaceFile(replacement, replaced);
}
bool TPlatformaAwarie::CopyFileNoOverwrite(const std::string& from, const std::string& to) {
  return Survives() && !Count(TOperacja::CopyFile) && inner_.CopyFileNoOverwrite(from, to);
}

std::unique_ptr<TPlikPlatformy> TPlatformaAwarie::OpenRead(const std::string& path) {
  if (Count(TOperacja::OpenRead)) {
    return nullptr;
  }
  std::unique_ptr<TPlikPlatformy> file = inner_.OpenRead(path);
  return file ? std::make_unique<TPlikAwarie>(*this, std::move(file)) : nullptr;
}

std::unique_ptr<TPlikPlatformy> TPlatformaAwarie::CreateWrite(const std::string& path) {
  if (!Survives() || Count(TOperacja::CreateWrite)) {
    return nullptr;
  }
  std::unique_ptr<TPlikPlatformy> file = inner_.CreateWrite(path);
  return file ? std::make_unique<TPlikAwarie>(*this, std::move(file)) : nullptr;
}

std::unique_ptr<TKluczRejestru> TPlatformaAwarie::OpenKey(TKorzen root, const std::string& path,
                                                          std::uint32_t access, bool create) {
  if ((create && !Survives()) || Count(TOperacja::RegistryOpen)) {
    return nullptr;
  }
  std::unique_ptr<TKluczRejestru> key = inner_.OpenKey(root, path, access, create);
  return key ? std::make_unique<TKluczAwarie>(*this, std::move(key)) : nullptr;
}

bool TPlatformaAwarie::CreateShellLink(const std::string& target,
                                       const std::string& workingDirectory,
                                       const TWideString& linkPath,
                                       const TWideString& description) {
  return Survives() && !Count(TOperacja::ShellLink) &&
         inner_.CreateShellLink(target, workingDirectory, linkPath, description);
}

// --- Passed through ----------------------------------------------------------------------------

bool TPlatformaAwarie::ListDirectory(const std::string& directory,
                                     std::vector<TWpisKatalogu>& entries) {
  return inner_.ListDirectory(directory, entries);
}
bool TPlatformaAwarie::RemoveKey(TKorzen root, const std::string& path) {
  return Survives() && inner_.RemoveKey(root, path);
}
bool TPlatformaAwarie::DeleteFileAtRestart(const std::string& path) {
  return Survives() && !Count(TOperacja::DeleteAtRestart) && inner_.DeleteFileAtRestart(path);
}
bool TPlatformaAwarie::SetFileAttributes(const std::string& path, std::uint32_t attributes) {
  return Survives() && inner_.SetFileAttributes(path, attributes);
}
bool TPlatformaAwarie::FlushVolume(const std::string& path) {
  return !Count(TOperacja::FlushVolume) && inner_.FlushVolume(path);
}
void TPlatformaAwarie::Pause(std::uint32_t milliseconds) {
  inner_.Pause(milliseconds);
}
std::string TPlatformaAwarie::ProcessIdentity() {
  return inner_.ProcessIdentity();
}
bool TPlatformaAwarie::ProcessAlive(const std::string& identity) {
  return inner_.ProcessAlive(identity);
}
std::optional<TWpisKatalogu> TPlatformaAwarie::FindEntry(const std::string& path) {
  return inner_.FindEntry(path);
}
bool TPlatformaAwarie::FileExists(const std::string& path) {
  return inner_.FileExists(path);
}
bool TPlatformaAwarie::DirectoryExists(const std::string& path) {
  return inner_.DirectoryExists(path);
}
std::optional<std::int64_t> TPlatformaAwarie::FreeSpace(const std::string& folder) {
  return inner_.FreeSpace(folder);
}
std::vector<std::string> TPlatformaAwarie::LogicalDrives() {
  return inner_.LogicalDrives();
}
TTypNapedu TPlatformaAwarie::DriveType(const std::string& root) {
  return inner_.DriveType(root);
}
bool TPlatformaAwarie::DirectoryExistsWide(const TWideString& path) {
  return inner_.DirectoryExistsWide(path);
}
bool TPlatformaAwarie::FileExistsWide(const TWideString& path) {
  return inner_.FileExistsWide(path);
}
TWideString TPlatformaAwarie::WidenPath(std::string_view path) {
  return inner_.WidenPath(path);
}
bool TPlatformaAwarie::NarrowPath(const TWideString& path, std::string& narrow) {
  return inner_.NarrowPath(path, narrow);
}
std::string TPlatformaAwarie::FoldPath(std::string_view path) {
  return inner_.FoldPath(path);
}
bool TPlatformaAwarie::AnsiCodePageHolds(std::string_view path) {
  return inner_.AnsiCodePageHolds(path);
}
bool TPlatformaAwarie::ServeLoggedOnUser() {
  return inner_.ServeLoggedOnUser();
}
TWideString TPlatformaAwarie::SpecialFolder(int folder) {
  return inner_.SpecialFolder(folder);
}
std::string TPlatformaAwarie::WindowsDirectory() {
  return inner_.WindowsDirectory();
}
std::string TPlatformaAwarie::SystemDirectory() {
  return inner_.SystemDirectory();
}
std::string TPlatformaAwarie::TempDirectory() {
  return inner_.TempDirectory();
}
std::string TPlatformaAwarie::ModuleFileName() {
  return inner_.ModuleFileName();
}
std::uint32_t TPlatformaAwarie::ThreadLocale() {
  return inner_.ThreadLocale();
}
bool TPlatformaAwarie::IsNtPlatform() {
  return inner_.IsNtPlatform();
}
bool TPlatformaAwarie::LoadResource(const std::string& name, std::vector<std::uint8_t>& data) {
  return inner_.LoadResource(name, data);
}
bool TPlatformaAwarie::FileVersionString(const std::string& path, std::string& version) {
  return inner_.FileVersionString(path, version);
}
std::vector<int> TPlatformaAwarie::FontCharsets(const std::string& face) {
  return inner_.FontCharsets(face);
}

}  // namespace orvala::platform
