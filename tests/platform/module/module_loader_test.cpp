// Module loading as the drivers use it: platform paths, use counts, entry-point calls, exports and
// module file names.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform.h"
#include "probe_journal.h"

namespace {

std::u16string SystemDirectory() {
    WCHAR buffer[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
    return std::u16string(buffer, length);
}

std::u16string DriverPath(std::u16string_view file) {
    return SystemDirectory() + u"\\spool\\drivers\\w32x86\\3\\" + std::u16string(file);
}

std::u16string FileNameOf(HMODULE module) {
    WCHAR buffer[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, buffer, MAX_PATH);
    return std::u16string(buffer, length);
}

class ModuleLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { ProbeJournalTake(); }
};

TEST_F(ModuleLoaderTest, SystemDirectoryAnswersLengthOrSizeNeeded) {
    const std::u16string expected = u"C:\\WINDOWS\\system32";
    WCHAR buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(GetSystemDirectoryW(buffer, 64), expected.size());
    EXPECT_EQ(std::u16string(buffer), expected);

    // One short of room for the terminator: the size needed, and the buffer untouched.
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(GetSystemDirectoryW(buffer, static_cast<UINT>(expected.size())), expected.size() + 1);
    EXPECT_EQ(buffer[0], u'#');
    EXPECT_EQ(GetSystemDirectoryW(nullptr, 0), expected.size() + 1);
}

TEST_F(ModuleLoaderTest, TwoLoadsAndOneFreeKeepTheModuleTheSecondFreeUnloads) {
    const HMODULE first = LoadLibraryW(TEXT("ProbeModule"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ProbeJournalTake(), (std::vector<ProbeCall>{{first, DLL_PROCESS_ATTACH}}));

    const HMODULE second = LoadLibraryW(DriverPath(u"ProbeModule.dll").c_str());
    EXPECT_EQ(second, first);
    EXPECT_TRUE(ProbeJournalTake().empty());

    ASSERT_TRUE(FreeLibrary(first));
    EXPECT_TRUE(ProbeJournalTake().empty());
    const auto answer = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(first, "ProbeAnswer")));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);

    ASSERT_TRUE(FreeLibrary(first));
    EXPECT_EQ(ProbeJournalTake(), (std::vector<ProbeCall>{{first, DLL_PROCESS_DETACH}}));

    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(FreeLibrary(first));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetProcAddress(first, "ProbeAnswer"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST_F(ModuleLoaderTest, ConcurrentLoadsAndFreesAttachAndDetachInTurn) {
    const auto loadAndFree = [] {
        for (int i = 0; i < 50; ++i) {
            const HMODULE module = LoadLibraryW(TEXT("ProbeModule"));
            ASSERT_NE(module, nullptr);
            ASSERT_TRUE(FreeLibrary(module));
        }
    };
    std::thread other(loadAndFree);
    loadAndFree();
    other.join();

    // However the threads interleaved, the module was never attached twice or detached while in use.
    const std::vector<ProbeCall> calls = ProbeJournalTake();
    ASSERT_FALSE(calls.empty());
    ASSERT_EQ(calls.size() % 2, 0u);
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].reason, static_cast<DWORD>(i % 2 == 0 ? DLL_PROCESS_ATTACH : DLL_PROCESS_DETACH)) << i;
    }
    EXPECT_FALSE(FreeLibrary(calls.front().module));
}

TEST_F(ModuleLoaderTest, FreeWithoutLoadFails) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    int notAModule = 0;
    EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(&notAModule)));
    EXPECT_TRUE(ProbeJournalTake().empty());
}

TEST_F(ModuleLoaderTest, MissingModulesAreNotFound) {
    const std::u16string paths[] = {
        u"NoSuchModule",
        DriverPath(u"NoSuchModule.dll"),
        u"C:\\Temp\\ProbeModule.dll", // a module exists, but not in a folder the platform loads from
        u"",
        DriverPath(u""),
        u"Probe\u00e9Module.dll",
    };
    for (const std::u16string& path : paths) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(LoadLibraryW(path.c_str()), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    }
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(LoadLibraryW(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(ProbeJournalTake().empty());
}

TEST_F(ModuleLoaderTest, NamesMatchWithoutRegardToCase) {
    const HMODULE byPath = LoadLibraryW(DriverPath(u"VELTrc.dll").c_str());
    ASSERT_NE(byPath, nullptr);
    const std::u16string lower = u"c:\\windows\\SYSTEM32\\spool\\DRIVERS\\w32x86\\3\\veltrc.DLL";
    const HMODULE byLowerCase = LoadLibraryW(lower.c_str());
    EXPECT_EQ(byLowerCase, byPath);
    const HMODULE byName = LoadLibraryW(TEXT("veltrc"));
    EXPECT_EQ(byName, byPath);
    // The module keeps the path of its first load.
    EXPECT_EQ(FileNameOf(byPath), DriverPath(u"VELTrc.dll"));
    EXPECT_TRUE(FreeLibrary(byName));
    EXPECT_TRUE(FreeLibrary(byLowerCase));
    EXPECT_TRUE(FreeLibrary(byPath));
}

TEST_F(ModuleLoaderTest, RefusedAttachUnloadsAndFails) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(LoadLibraryW(TEXT("ProbeRefuses.dll")), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DLL_INIT_FAILED));
    const std::vector<ProbeCall> calls = ProbeJournalTake();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].reason, static_cast<DWORD>(DLL_PROCESS_ATTACH));
    EXPECT_EQ(calls[1], (ProbeCall{calls[0].module, DLL_PROCESS_DETACH}));

    // Nothing was kept: the next attempt attaches afresh.
    EXPECT_EQ(LoadLibraryW(TEXT("ProbeRefuses.dll")), nullptr);
    EXPECT_EQ(ProbeJournalTake().size(), 2u);
}

TEST_F(ModuleLoaderTest, ProcAddressFindsOnlyTheModulesOwnExports) {
    const HMODULE module = LoadLibraryW(TEXT("ProbeModule.dll"));
    ASSERT_NE(module, nullptr);
    EXPECT_NE(GetProcAddress(module, "ProbeAnswer"), nullptr);

    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(GetProcAddress(module, "NoSuchExport"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    // Exported by the journal library the probe links, not by the probe.
    EXPECT_EQ(GetProcAddress(module, "ProbeJournalRecord"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(module, reinterpret_cast<LPCSTR>(1)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(ModuleLoaderTest, ModuleFileNameIsThePlatformPathAndTruncatesWithATerminator) {
    const HMODULE module = LoadLibraryW(TEXT("ProbeModule"));
    ASSERT_NE(module, nullptr);
    // A bare name is a module of the driver folder; the platform adds ".dll".
    const std::u16string expected = DriverPath(u"ProbeModule.dll");
    EXPECT_EQ(FileNameOf(module), expected);

    const auto length = static_cast<DWORD>(expected.size());
    std::vector<WCHAR> exact(length + 1, u'#');
    EXPECT_EQ(GetModuleFileNameW(module, exact.data(), length + 1), length);
    EXPECT_EQ(std::u16string(exact.data()), expected);

    std::vector<WCHAR> shortBuffer(length + 1, u'#');
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(GetModuleFileNameW(module, shortBuffer.data(), length), length);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::u16string(shortBuffer.data()), expected.substr(0, length - 1));
    EXPECT_EQ(shortBuffer[length], u'#');

    WCHAR one = u'#';
    EXPECT_EQ(GetModuleFileNameW(module, &one, 1), 1u);
    EXPECT_EQ(one, u'\0');
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(GetModuleFileNameW(module, nullptr, 0), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_TRUE(FreeLibrary(module));

    WCHAR buffer[MAX_PATH];
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(GetModuleFileNameW(module, buffer, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST_F(ModuleLoaderTest, ModuleWithoutResourcesAnswersNoResourceSection) {
    const HMODULE module = LoadLibraryW(TEXT("ProbeModule"));
    ASSERT_NE(module, nullptr);
    for (HMODULE candidate : {module, static_cast<HMODULE>(nullptr)}) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(FindResourceW(candidate, MAKEINTRESOURCEW(1), RT_VERSION), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));

        // With the empty handle of a missing resource library, a text lookup yields an empty text.
        WCHAR text[16] = u"stale";
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(LoadStringW(candidate, 102, text, 16), 0);
        EXPECT_EQ(text[0], u'\0');
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
    }
    EXPECT_TRUE(FreeLibrary(module));
}

} // namespace
