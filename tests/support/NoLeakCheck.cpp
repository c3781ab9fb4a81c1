// Linked into the test executables that open OpenGL contexts. Mesa's driver is unloaded before the
// leak check runs at exit, so its few leaked bytes carry no symbol that a suppression could name;
// leak detection is off for these executables only. Every other executable keeps it on.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}
