// The VELTlog module as the other libraries see it: five exports by plain name and nothing else of its own.
#include <dlfcn.h>

#include <cstdlib>

#include "log_test.h"

namespace {

class LogModuleTest : public LogTest {
protected:
    void SetUp() override {
        LogTest::SetUp();
        const char* folder = std::getenv("VELT_MODULE_DIR");
        ASSERT_NE(folder, nullptr);
        module_ = dlopen((std::string(folder) + "/VELTlog.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module_, nullptr) << dlerror();
    }
    void TearDown() override {
        if (module_) dlclose(module_);
        LogTest::TearDown();
    }
    template <typename F>
    F* Export(const char* name) {
        return reinterpret_cast<F*>(dlsym(module_, name));
    }

    void* module_ = nullptr;
};

TEST_F(LogModuleTest, ExportsTheFiveEntryPointsAndHidesTheRest) {
    for (const char* name :
         {"VLK_IsLogFileEnabled", "VLK_LogCreateFile", "VLK_LogWrite", "VKL_LogFileClose", "VKL_LogDeleteAllFiles"}) {
        EXPECT_NE(dlsym(module_, name), nullptr) << name;
    }
    EXPECT_EQ(dlsym(module_, "_ZN4velt3log23ResetLogLibraryForTestsEv"), nullptr);
    EXPECT_EQ(dlsym(module_, "_ZN4velt3log15ReadLogSettingsEPvR20_DRIVER_LOG_SETTINGS"), nullptr);
}

TEST_F(LogModuleTest, MessageThroughTheModuleAndDeleteAllFilesDeletingNothing) {
    auto* enabled = Export<decltype(VLK_IsLogFileEnabled)>("VLK_IsLogFileEnabled");
    auto* create = Export<decltype(VLK_LogCreateFile)>("VLK_LogCreateFile");
    auto* write = Export<decltype(VLK_LogWrite)>("VLK_LogWrite");
    auto* close = Export<decltype(VKL_LogFileClose)>("VKL_LogFileClose");
    auto* deleteAll = Export<decltype(VKL_LogDeleteAllFiles)>("VKL_LogDeleteAllFiles");
    ASSERT_TRUE(enabled && create && write && close && deleteAll);
    ASSERT_TRUE(enabled(printer_));
    HANDLE file = create(LOG_MODULE_LANGUAGE_MONITOR, printer_);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(write(file, "Inside WritePort", 1));
    EXPECT_TRUE(close(file));
    MakeFile("VELTPD2024_01_01_00_00_00.log", 10);
    EXPECT_EQ(deleteAll(0), TRUE);
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"VELTLMON.log", "VELTPD2024_01_01_00_00_00.log"}));
    EXPECT_EQ(Content("VELTLMON.log").substr(65 + 13), "Inside WritePort\r\n"); // after header and stamp
}

} // namespace
