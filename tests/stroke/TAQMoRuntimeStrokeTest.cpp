// The library's marker function: linked directly, and found by name through the loader as a consumer
// that only has the library file would find it, while the library's internal helpers are not.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include "TAQMoRuntimeStroke.h"

namespace {

using Marker = int (*)();

TEST(RuntimeMarker, IsFoundByNameInTheLoadedLibraryAndInternalHelpersAreNot) {
  EXPECT_EQ(KORVANIX_ZELA2_INTERNAL_TAQMoRuntimeStroke(), 1);
  Dl_info info{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&KORVANIX_ZELA2_INTERNAL_TAQMoRuntimeStroke), &info), 0);
  ASSERT_NE(info.dli_fname, nullptr);
  EXPECT_NE(std::string(info.dli_fname).find("libTAQMoRuntimeStroke"), std::string::npos) << info.dli_fname;

  void* handle = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(handle, nullptr) << dlerror();
  const Marker marker = reinterpret_cast<Marker>(dlsym(handle, "KORVANIX_ZELA2_INTERNAL_TAQMoRuntimeStroke"));
  ASSERT_NE(marker, nullptr) << dlerror();
  EXPECT_EQ(marker(), 1);
  // The standard library's instance for the kernel's point lists is made inside the library but kept there.
  EXPECT_EQ(dlsym(handle, "_ZNSt6vectorIiSaIiEE7reserveEm"), nullptr);
  dlclose(handle);
}

}  // namespace
