// Font and desktop libraries keep caches for the life of the process; the
// leak checker is told to leave them alone.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n"
           "leak:libdbus\n";
}
