// A loadable library that is not an extension: it has no entry points.
extern "C" int not_an_entry_point() {
  return 0;
}
