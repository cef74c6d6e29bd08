// Errors that engine primitives raise where a failure must end the current step.
//
// The installation run catches them at its outer level and turns them into the failure outcome;
// optional items (a payload part, a registry pass, a shortcut, a patch list) catch their own.
#pragma once

#include <stdexcept>
#include <string>

namespace orvala {

// A file or directory operation failed (open, read, write, close, create).
class EInOutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The user chose to end the installation (the question about a file in use answered No): the
// run rolls back as after a confirmed cancel.
class EPrzerwanieInstalacji : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A registry operation failed.
class ERegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace orvala
