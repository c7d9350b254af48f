// Built into the program only in the sanitizer build. The STEP translator of the modeler registers its
// parameters and its default placement once per process and keeps them until exit: the same few
// kilobytes whether one body is written or a whole folder of them. They are named here so that a leak
// report means a leak of ours. The modeler's libraries keep no frame pointers, so allocations are
// unwound the slow way: otherwise their stacks stop inside the allocator and no name would match.
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }

extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

extern "C" const char* __lsan_default_suppressions() {
  return "leak:STEPControl_Controller::Init\n"
         "leak:STEPConstruct_ContextTool::GetDefaultAxis\n";
}
