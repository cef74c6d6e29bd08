// The host stand-in's registry: keys by canonical path, values by folded name, and handles that
// honour their access mask.
#include "platform/host/untRejestrHost.h"

#include <algorithm>
#include <utility>

#include "textutil/untKodowanie.h"
#include "textutil/untUtils.h"

namespace orvala::platform::host {

namespace {

constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeySetValue = 0x0002;

// An open key: it finds its key again at every call, so that a key deleted while open fails
// every later access (ERROR_KEY_DELETED on Windows).
class TKluczHost final : public TKluczRejestru {
 public:
  TKluczHost(TRejestrPamieci& registry, TKorzen root, std::string path, std::uint32_t access)
      : registry_(registry), root_(root), path_(std::move(path)), access_(access) {}

  bool ReadString(const std::string& name, std::string& value) override {
    const TWartoscRejestru* v = Value(name);
    if (v == nullptr || v->type != TWartoscRejestru::TTyp::String) {
      return false;
    }
    value = v->text;
    return true;
  }
  bool ReadInteger(const std::string& name, std::int32_t& value) override {
    const TWartoscRejestru* v = Value(name);
    if (v == nullptr || v->type != TWartoscRejestru::TTyp::Dword) {
      return false;
    }
    value = v->number;
    return true;
  }
  bool WriteString(const std::string& name, const std::string& value) override {
    TWartoscRejestru v{TWartoscRejestru::TTyp::String, value, 0};
    return Store(name, std::move(v));
  }
  bool WriteWideString(const std::string& name, const TWideString& value) override {
    const std::string utf8 = Utf16ToUtf8(value);
    TWartoscRejestru v{TWartoscRejestru::TTyp::String, utf8, 0};
    return Store(name, std::move(v));
  }
  bool WriteInteger(const std::string& name, std::int32_t value) override {
    return Store(name, TWartoscRejestru{TWartoscRejestru::TTyp::Dword, {}, value});
  }
  bool WriteBool(const std::string& name, bool value) override {
    return WriteInteger(name, value ? 1 : 0);
  }
  bool DeleteValue(const std::string& name) override {
    TRejestrPamieci::TKlucz* key = (access_ & kKeySetValue) != 0 ? Key() : nullptr;
    return key != nullptr && key->values.erase(LowerText1250(name)) != 0;
  }
  std::vector<std::string> ValueNames() override {
    std::vector<std::string> names;
    if (const TRejestrPamieci::TKlucz* key = (access_ & kKeyQueryValue) != 0 ? Key() : nullptr) {
      for (const auto& [folded, entry] : key->values) {
        names.push_back(entry.name);
      }
    }
    return names;
  }
  bool Flush() override {
    if (Key() == nullptr) {
      return false;
    }
    registry_.Flushed();
    return true;
  }
  bool Close() override {
    const bool was = open_;
    open_ = false;
    return was;
  }

 private:
  TRejestrPamieci::TKlucz* Key() { return open_ ? registry_.Find(root_, path_) : nullptr; }
  const TWartoscRejestru* Value(const std::string& name) {
    TRejestrPamieci::TKlucz* key = (access_ & kKeyQueryValue) != 0 ? Key() : nullptr;
    if (key == nullptr) {
      return nullptr;
    }
    const auto it = key->values.find(LowerText1250(name));
    return it == key->values.end() ? nullptr : &it->second.value;
  }
  bool Store(const std::string& name, TWartoscRejestru value) {
    TRejestrPamieci::TKlucz* key = (access_ & kKeySetValue) != 0 ? Key() : nullptr;
    if (key == nullptr) {
      return false;
    }
    auto [it, added] = key->values.try_emplace(LowerText1250(name));
    if (added) {
      it->second.name = name;
    }
    it->second.value = std::move(value);
    return true;
  }

  TRejestrPamieci& registry_;
  TKorzen root_;
  std::string path_;
  std::uint32_t access_;
  bool open_ = true;
};

}  // namespace

TRejestrPamieci::TRejestrPamieci() {
  machine_.try_emplace(std::string());
  users_[std::string()].try_emplace(std::string());
  durableMachine_ = machine_;
  durableUsers_ = users_;
}

std::string TRejestrPamieci::Canonical(const std::string& path) {
  std::string out;
  std::size_t pos = 0;
  while (pos < path.size()) {
    const std::size_t next = std::min(path.find('\\', pos), path.size());
    if (next > pos) {
      if (!out.empty()) {
        out += '\\';
      }
      out += LowerText1250(std::string_view(path).substr(pos, next - pos));
    }
    pos = next + 1;
  }
  return out;
}

bool TRejestrPamieci::Exists(TKorzen root, const std::string& path) const {
  return Find(root, path) != nullptr;
}

TRejestrPamieci::TKlucz* TRejestrPamieci::Find(TKorzen root, const std::string& path) {
  auto& hive = Hive(root);
  const auto it = hive.find(Canonical(path));
  return it == hive.end() ? nullptr : &it->second;
}

const TRejestrPamieci::TKlucz* TRejestrPamieci::Find(TKorzen root, const std::string& path) const {
  const auto& hive = Hive(root);
  const auto it = hive.find(Canonical(path));
  return it == hive.end() ? nullptr : &it->second;
}

void TRejestrPamieci::Create(TKorzen root, const std::string& path) {
  const std::string canonical = Canonical(path);
  auto& hive = Hive(root);
  for (std::size_t pos = canonical.find('\\'); pos != std::string::npos;
       pos = canonical.find('\\', pos + 1)) {
    hive.try_emplace(canonical.substr(0, pos));
  }
  hive.try_emplace(canonical);
}

bool TRejestrPamieci::HasSubkeys(TKorzen root, const std::string& path) const {
  const std::string prefix = Canonical(path) + '\\';
  const auto& hive = Hive(root);
  const auto it = hive.lower_bound(prefix);
  return it != hive.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

void TRejestrPamieci::Delete(TKorzen root, const std::string& path) {
  const std::string canonical = Canonical(path);
  auto& hive = Hive(root);
  const std::string prefix = canonical + '\\';
  for (auto it = hive.begin(); it != hive.end();) {
    if (it->first == canonical || it->first.compare(0, prefix.size(), prefix) == 0) {
      it = hive.erase(it);
    } else {
      ++it;
    }
  }
  hive.try_emplace(std::string());  // the hive itself always exists
}

std::unique_ptr<TKluczRejestru> TRejestrPamieci::Open(TKorzen root, const std::string& path,
                                                      std::uint32_t access, bool create) {
  if (!Exists(root, path)) {
    if (!create) {
      return nullptr;
    }
    Create(root, path);
  }
  return std::make_unique<TKluczHost>(*this, root, Canonical(path), access);
}

}  // namespace orvala::platform::host
