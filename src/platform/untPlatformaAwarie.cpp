// The fault-injecting platform: its operations generated from the one list, the guard that
// counts, kills and fails them, and the files and keys it opens.
#include "platform/untPlatformaAwarie.h"

#include <type_traits>
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
    const bool fail = faults_.Count(TOperacja::Close).has_value();
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

std::optional<TPrzyczynaBledu> TPlatformaAwarie::Count(TOperacja operation) {
  TPlan& p = plans_[static_cast<std::size_t>(operation)];
  ++p.calls;
  if (const auto it = p.nth.find(p.calls); it != p.nth.end()) {
    return it->second;
  }
  if (p.from > 0 && p.calls >= p.from) {
    return p.fromReason;
  }
  return std::nullopt;
}

template <typename R, typename F>
R TPlatformaAwarie::Guarded(TSkutek effect, std::optional<TOperacja> counter, F&& forward) {
  std::optional<TPrzyczynaBledu> failure;
  if (effect == TSkutek::Zmienia && !Survives()) {
    failure = TPrzyczynaBledu::Inna;
  } else if (counter) {
    failure = Count(*counter);
  }
  if (!failure) {
    return forward();
  }
  if constexpr (std::is_same_v<R, bool>) {
    return false;
  } else if constexpr (std::is_constructible_v<R, TWynik>) {
    return R(TWynik::Failed(*failure));
  } else {
    return R();  // no key
  }
}

#define ORVALA_PRZEKAZANA(result, name, parameters, arguments) \
  result TPlatformaAwarie::name parameters {                   \
    return inner_.name arguments;                              \
  }
#define ORVALA_STRZEZONA(result, name, parameters, arguments, effect, counter)               \
  result TPlatformaAwarie::name parameters {                                                 \
    return Guarded<result>(TSkutek::effect, counter, [&] { return inner_.name arguments; }); \
  }
ORVALA_OPERACJE_PLATFORMY(ORVALA_PRZEKAZANA, ORVALA_STRZEZONA)
#undef ORVALA_PRZEKAZANA
#undef ORVALA_STRZEZONA

// --- The openings: what they open is wrapped ---------------------------------------------------

namespace {

TWynikPliku Wrapped(TPlatformaAwarie& faults, TWynikPliku file) {
  if (!file) {
    return file;
  }
  return std::make_unique<TPlikAwarie>(faults, std::move(file));
}

}  // namespace

TWynikPliku TPlatformaAwarie::OpenRead(const std::string& path) {
  return Guarded<TWynikPliku>(TSkutek::NieZmienia, TOperacja::OpenRead,
                              [&] { return Wrapped(*this, inner_.OpenRead(path)); });
}

TWynikPliku TPlatformaAwarie::CreateWrite(const std::string& path) {
  return Guarded<TWynikPliku>(TSkutek::Zmienia, TOperacja::CreateWrite,
                              [&] { return Wrapped(*this, inner_.CreateWrite(path)); });
}

std::unique_ptr<TKluczRejestru> TPlatformaAwarie::OpenKey(TKorzen root, const std::string& path,
                                                          std::uint32_t access, bool create) {
  return Guarded<std::unique_ptr<TKluczRejestru>>(
      create ? TSkutek::Zmienia : TSkutek::NieZmienia, TOperacja::RegistryOpen,
      [&]() -> std::unique_ptr<TKluczRejestru> {
        std::unique_ptr<TKluczRejestru> key = inner_.OpenKey(root, path, access, create);
        if (!key) {
          return nullptr;
        }
        return std::make_unique<TKluczAwarie>(*this, std::move(key));
      });
}

}  // namespace orvala::platform
