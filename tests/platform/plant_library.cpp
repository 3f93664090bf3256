// An empty library that wintests.exe finds beside itself: the system-library
// probe must never load it.
extern "C" __declspec(dllexport) int ddt_plant_marker() {
  return 1;
}
