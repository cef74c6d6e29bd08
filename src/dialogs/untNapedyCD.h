// What the CD-location dialog asks of the system: the CD-ROM drives and whether a drive's root
// holds the package's CD. Both go through Platform().
#pragma once

#include <string>
#include <vector>

namespace orvala {

// The roots ("D:\") of the CD-ROM drives, upper-cased with UpperText1250, in the system's order.
std::vector<std::string> CdRomRoots();

// The root holds the package: "DuzevIv.exe" or "DuzevIv2.exe", and "UmowaPol.txt". An empty
// root never does. The same test as the source folder of the run (IsSourceDirectory).
bool HoldsPackage(const std::string& root);

}  // namespace orvala
