// Linked into every test program as an object (testing/CMakeLists.txt):
// the system libraries the sanitizers are told to overlook.
//
// GTK and the libraries under it keep some allocations until the process
// ends, and share data between their own threads in ways ThreadSanitizer
// cannot see into (they are not built with it). The sanitizers are told to
// overlook those libraries, never our code.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
    return "leak:libglib-2.0.so\n"
           "leak:libgobject-2.0.so\n"
           "leak:libgio-2.0.so\n"
           "leak:libdbus-1.so\n"
           "leak:libgtk-3.so\n"
           "leak:libgdk-3.so\n"
           "leak:libfontconfig.so\n"
           "leak:libpango-1.0.so\n"
           "leak:libpangoft2-1.0.so\n"
           "leak:libcairo.so\n"
           "leak:libatk-1.0.so\n"
           "leak:libatk-bridge-2.0.so\n";
}

extern "C" __attribute__((used)) const char* __tsan_default_suppressions() {
    return "race:libglib-2.0.so\n"
           "race:libgobject-2.0.so\n"
           "race:libgio-2.0.so\n"
           "race:libdbus-1.so\n"
           "race:libgtk-3.so\n"
           "race:libgdk-3.so\n"
           "race:libfontconfig.so\n"
           "race:libpango-1.0.so\n"
           "race:libpangoft2-1.0.so\n"
           "race:libpangocairo-1.0.so\n"
           "race:libharfbuzz.so\n"
           "race:libfreetype.so\n"
           "race:libcairo.so\n"
           "race:libatk-bridge-2.0.so\n"
           "deadlock:libglib-2.0.so\n"
           "deadlock:libgobject-2.0.so\n"
           "deadlock:libgtk-3.so\n"
           "deadlock:libgdk-3.so\n";
}

extern "C" __attribute__((used)) const char* __lsan_default_options() {
    return "print_suppressions=0";
}
