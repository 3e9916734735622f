// Loads the toolkit_user module as a host loads a plugin and has it meet toolkit errors: each
// must be caught inside the module, which then goes on working.
#include <gtest/gtest.h>

#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

class ToolkitUser : public testing::Test {
 protected:
  static void SetUpTestSuite() {
#if defined(_WIN32)
    module = LoadLibraryA(TOOLKIT_USER_MODULE_PATH);
#else
    module = dlopen(TOOLKIT_USER_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
#endif
    ASSERT_NE(module, nullptr) << TOOLKIT_USER_MODULE_PATH;
  }

  template <typename Function>
  static Function* function(const char* name) {
#if defined(_WIN32)
    void* address = reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
#else
    void* address = dlsym(module, name);
#endif
    EXPECT_NE(address, nullptr) << name;
    return reinterpret_cast<Function*>(address);
  }

  using MessageFunction = int(char* message, int size);

  static void* module;
};

void* ToolkitUser::module = nullptr;

TEST_F(ToolkitUser, CatchesAToolkitErrorInItsOwnCode) {
  char message[128] = "";
  EXPECT_EQ(function<MessageFunction>("transform_three_values")(message, sizeof message), 1);
  EXPECT_STREQ(message, "n must be a power of two in complex_fft");
  EXPECT_EQ(function<int()>("default_handler_in_place")(), 1);
}

TEST_F(ToolkitUser, CatchesAnErrorFromDeepInAFitAndFitsAgain) {
  char message[128] = "";
  EXPECT_EQ(function<MessageFunction>("refit_without_the_idle_parameter")(message, sizeof message), 1);
  EXPECT_STREQ(message, "gaussj: Singular Matrix-2");
  EXPECT_EQ(function<int()>("default_handler_in_place")(), 1);
}

TEST_F(ToolkitUser, EndsTheProcessAsBeforeWhenItsHandlerReturns) {
  auto* fail = function<void()>("fail_after_a_returning_handler");
  EXPECT_EXIT(fail(), testing::ExitedWithCode(1),
              testing::Eq("noted: n must be a power of two in complex_fft\nVellacourt run-time error...\n"
                          "n must be a power of two in complex_fft\n...now exiting to system...\n"));
}

}  // namespace
