// An extension whose load entry point has a deliberate fault, chosen by
// NOISEBIND_FAULT: "read" reads past a heap array, "cast" converts a double no
// int can hold. A sanitized vessa must stop on either, which shows that
// the code it loads is checked too.
#include <cstdlib>
#include <cstring>

extern "C" __attribute__((visibility("default"))) int vessa_open(void*) {
  const char* fault = std::getenv("NOISEBIND_FAULT");
  if (fault != nullptr && std::strcmp(fault, "cast") == 0) {
    volatile double huge = 1e300;
    return static_cast<int>(huge);
  }
  // Through a volatile pointer, so that only AddressSanitizer can tell.
  int* volatile values = new int[4]{1, 2, 3, 4};
  volatile int past = 4;
  const int value = values[past];
  delete[] values;
  return value;
}

extern "C" __attribute__((visibility("default"))) int vessa_close(void*) {
  return 0;
}
