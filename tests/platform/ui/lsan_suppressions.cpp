// Fontconfig keeps its caches until the process ends; the leak checker of sanitizer builds
// would otherwise report them at the exit of every test program that draws text with Qt.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
