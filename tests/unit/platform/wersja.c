/* A resource-only library: the one function keeps the linker content. */
int orvala_test_wersja(void) { return 1; }
