// The resource library loaded as its users load it: by full path under the system directory.
#pragma once

#include <gtest/gtest.h>

#include <span>
#include <string>

#include "last_error.h"
#include "platform.h"

inline std::u16string ResourceLibraryPath() {
    WCHAR directory[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    return std::u16string(directory, length) + u"\\spool\\drivers\\w32x86\\3\\" + u"VELTrc.dll";
}

class ResourceLibraryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { module_ = LoadLibraryW(ResourceLibraryPath().c_str()); }
    static void TearDownTestSuite() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
            module_ = nullptr;
        }
    }
    void SetUp() override { ASSERT_NE(module_, nullptr) << "VELTrc did not load"; }

    // The bytes of one resource, through FindResourceW, LoadResource, LockResource and SizeofResource.
    static std::span<const BYTE> Bytes(LPCWSTR name, LPCWSTR type) {
        HRSRC found = FindResourceW(module_, name, type);
        if (found == nullptr) {
            return {};
        }
        const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module_, found)));
        return data == nullptr ? std::span<const BYTE>{} : std::span<const BYTE>(data, SizeofResource(module_, found));
    }

    static inline HMODULE module_ = nullptr;
};
