// Linked into every widget test program.

// Fontconfig keeps its configuration in globals that it never frees; the leak
// checker would otherwise fail every test that lays out text with widgets.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
