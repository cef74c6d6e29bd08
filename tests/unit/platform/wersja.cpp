// A resource-only library: the one function keeps the linker content.
extern "C" __declspec(dllexport) int orvala_test_wersja() {
  return 1;
}
