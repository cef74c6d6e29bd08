// The in-memory registry of the host stand-in: two hives of keys, names compared without regard
// to case (Windows-1250 table) as Windows compares them, and key handles that honour the access
// mask they were opened with.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/untPlatformaHost.h"
#include "textutil/untKodowanie.h"

namespace orvala::platform::host {

class TRejestrPamieci {
 public:
  struct TWpis {
    std::string name;  // as first written
    TWartoscRejestru value;
  };
  struct TKlucz {
    std::map<std::string, TWpis> values;  // by lower-cased name
  };

  TRejestrPamieci();

  // The key path in canonical form: names lower-cased, joined by one backslash, no backslash
  // at either end ("" is the hive itself).
  static std::string Canonical(const std::string& path);

  bool Exists(TKorzen root, const std::string& path) const;
  TKlucz* Find(TKorzen root, const std::string& path);
  const TKlucz* Find(TKorzen root, const std::string& path) const;
  void Create(TKorzen root, const std::string& path);
  bool HasSubkeys(TKorzen root, const std::string& path) const;
  // Removes the key with all its subkeys and values.
  void Delete(TKorzen root, const std::string& path);
  // Whose hive TKorzen::CurrentUser is ("" = the account the program runs as).
  void SetUser(const std::string& user) { user_ = user; }
  const std::string& User() const { return user_; }
  // A key flushed to the disk (TKluczRejestru::Flush): as Windows flushes a whole hive, every
  // change made so far is on the disk now.
  void Flushed() {
    ++flushes_;
    durableMachine_ = machine_;
    durableUsers_ = users_;
  }
  int Flushes() const { return flushes_; }
  // A power cut: the changes since the last flush are lost (Windows writes them lazily).
  void PowerCut() {
    machine_ = durableMachine_;
    users_ = durableUsers_;
  }

  std::unique_ptr<TKluczRejestru> Open(TKorzen root, const std::string& path, std::uint32_t access,
                                       bool create);

 private:
  // Every hive has its root key ("").
  std::map<std::string, TKlucz>& Hive(TKorzen root) {
    if (root == TKorzen::LocalMachine) {
      return machine_;
    }
    std::map<std::string, TKlucz>& hive = users_[user_];
    hive.try_emplace(std::string());
    return hive;
  }
  const std::map<std::string, TKlucz>& Hive(TKorzen root) const {
    if (root == TKorzen::LocalMachine) {
      return machine_;
    }
    static const std::map<std::string, TKlucz> kEmpty{{std::string(), TKlucz{}}};
    const auto it = users_.find(user_);
    return it == users_.end() ? kEmpty : it->second;
  }
  std::map<std::string, TKlucz> machine_;
  std::map<std::string, std::map<std::string, TKlucz>> users_;  // by user ("" = the program's)
  std::string user_;
  int flushes_ = 0;
  std::map<std::string, TKlucz> durableMachine_;
  std::map<std::string, std::map<std::string, TKlucz>> durableUsers_;
};

}  // namespace orvala::platform::host
