// What the CD-location dialog asks of the system: the CD-ROM drives and whether a drive's root
// holds the package's CD. Both go through Platform().
#pragma once

#include <string>
#include <vector>

namespace orvala {

// The roots ("D:\") of the CD-ROM drives, upper-cased with UpperText1250, in the system's order.
std::vector<std::string> CdRomRoots();

// What the CD-location dialog lists: the CD-ROM roots (CdRomRoots), then the folder the setup
// program was started from ("E:\Pobrane\Orvala\", with its trailing backslash) when it holds
// the package and is not one of those roots: a package copied to a disk or a USB stick, or an
// image mounted without a CD-ROM drive letter, installs like the CD.
std::vector<std::string> SourceCandidates();

// The root holds the package: "DuzevIv.exe" or "DuzevIv2.exe", and "UmowaPol.txt". An empty
// root never does. The same test as the source folder of the run (IsSourceDirectory).
bool HoldsPackage(const std::string& root);

}  // namespace orvala
