// Files: creation dispositions and their last errors, share modes between open handles, append-only
// handles, positioning, copy and delete, and closing.
#include "host_fixture.h"

namespace {

class FilesTest : public HostTest {
protected:
    HANDLE Open(const std::string& name, DWORD access, DWORD share, DWORD disposition) {
        return CreateFileW(PathIn(name).c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    static bool Write(HANDLE file, const std::string& text) {
        DWORD written = 0;
        return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
               written == text.size();
    }
    std::string Content(const std::string& name) {
        const auto bytes = ReadBytes(Folder() / name);
        return std::string(bytes.begin(), bytes.end());
    }
};

TEST_F(FilesTest, DispositionsAnswerWithThePlatformsLastErrors) {
    HANDLE missing = Open("a.log", GENERIC_READ, 0, OPEN_EXISTING);
    EXPECT_EQ(missing, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    HANDLE noFolder = Open("nowhere/a.log", GENERIC_READ, 0, OPEN_EXISTING);
    EXPECT_EQ(noFolder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(Open("nowhere/a.log", GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    HANDLE created = Open("a.log", GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(Write(created, "hello"));
    ASSERT_TRUE(CloseHandle(created));

    EXPECT_EQ(Open("a.log", GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));

    HANDLE always = Open("a.log", GENERIC_READ, 0, OPEN_ALWAYS);
    ASSERT_NE(always, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(GetFileSize(always, nullptr), 5u); // opening always keeps the content
    CloseHandle(always);

    HANDLE fresh = Open("b.log", GENERIC_READ, 0, OPEN_ALWAYS);
    ASSERT_NE(fresh, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    CloseHandle(fresh);

    HANDLE truncated = Open("a.log", GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(truncated, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(GetFileSize(truncated, nullptr), 0u);
    CloseHandle(truncated);
}

TEST_F(FilesTest, OpeningAFolderAsAFileIsDenied) {
    ASSERT_TRUE(CreateDirectoryW(PathIn("sub").c_str(), nullptr));
    EXPECT_EQ(Open("sub", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(FilesTest, ShareModesDecideWhetherASecondOpenSucceeds) {
    HANDLE exclusive = Open("x.log", GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open("x.log", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(exclusive);

    // Both share reading and writing: as the log library opens its files.
    HANDLE first = Open("x.log", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS);
    HANDLE second = Open("x.log", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    // A newcomer that does not share writing conflicts with the writers already open.
    EXPECT_EQ(Open("x.log", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(first);
    CloseHandle(second);

    // Readers that share reading only: a second reader is fine, a writer is not.
    HANDLE reader = Open("x.log", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    HANDLE reader2 = Open("x.log", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_NE(reader2, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open("x.log", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    // CREATE_ALWAYS would truncate the file under the readers' feet.
    EXPECT_EQ(Open("x.log", GENERIC_READ, FILE_SHARE_READ, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    CloseHandle(reader);
    CloseHandle(reader2);
    HANDLE writer = Open("x.log", GENERIC_WRITE, 0, OPEN_EXISTING);
    EXPECT_NE(writer, INVALID_HANDLE_VALUE);
}

TEST_F(FilesTest, DeleteNeedsDeleteSharingFromEveryOpenHandle) {
    HANDLE open = Open("d.log", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_ALWAYS);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFileW(PathIn("d.log").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(std::filesystem::exists(Folder() / "d.log"));
    CloseHandle(open);

    HANDLE shared = Open("d.log", GENERIC_WRITE, FILE_SHARE_DELETE, OPEN_EXISTING);
    ASSERT_NE(shared, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(DeleteFileW(PathIn("d.log").c_str()));
    CloseHandle(shared);

    EXPECT_FALSE(DeleteFileW(PathIn("d.log").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFileW(PathIn("none/d.log").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(FilesTest, CopyOverwritesUnlessToldNotToAndRespectsTheTargetsSharing) {
    WriteBytes(Folder() / "src.log", {1, 2, 3, 4});
    WriteBytes(Folder() / "dst.log", {9, 9, 9, 9, 9, 9, 9, 9});
    EXPECT_FALSE(CopyFileW(PathIn("src.log").c_str(), PathIn("dst.log").c_str(), TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    ASSERT_TRUE(CopyFileW(PathIn("src.log").c_str(), PathIn("dst.log").c_str(), FALSE));
    EXPECT_EQ(ReadBytes(Folder() / "dst.log"), (std::vector<uint8_t>{1, 2, 3, 4}));

    HANDLE target = Open("dst.log", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(target, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(CopyFileW(PathIn("src.log").c_str(), PathIn("dst.log").c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(target);

    EXPECT_FALSE(CopyFileW(PathIn("missing.log").c_str(), PathIn("dst.log").c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, AppendOnlyHandlesWriteAtTheEndWhereverThePointerIs) {
    WriteBytes(Folder() / "ap.log", {'a', 'b', 'c'});
    HANDLE append = Open("ap.log", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    ASSERT_NE(append, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SetFilePointer(append, 0, nullptr, FILE_BEGIN), 0u);
    EXPECT_TRUE(Write(append, "de"));
    char buffer[4];
    DWORD read = 0;
    EXPECT_FALSE(ReadFile(append, buffer, sizeof buffer, &read, nullptr)); // no read access
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseHandle(append);
    EXPECT_EQ(Content("ap.log"), "abcde");

    HANDLE write = Open("ap.log", GENERIC_WRITE, 0, OPEN_EXISTING);
    EXPECT_EQ(SetFilePointer(write, 1, nullptr, FILE_BEGIN), 1u);
    EXPECT_TRUE(Write(write, "XY"));
    CloseHandle(write);
    EXPECT_EQ(Content("ap.log"), "aXYde");
}

TEST_F(FilesTest, PointerSizeAndReadsAgree) {
    HANDLE file = Open("p.bin", GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_TRUE(Write(file, "0123456789"));
    EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_END), 6u);
    char buffer[16] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "6789");
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr)); // at the end: success, nothing read
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    LONG high = 1; // 4 GiB + 2: the high part travels in and out
    EXPECT_EQ(SetFilePointer(file, 2, &high, FILE_BEGIN), 2u);
    EXPECT_EQ(high, 1);
    DWORD sizeHigh = 7;
    EXPECT_EQ(GetFileSize(file, &sizeHigh), 10u);
    EXPECT_EQ(sizeHigh, 0u);
    EXPECT_TRUE(FlushFileBuffers(file));
    CloseHandle(file);
}

TEST_F(FilesTest, ClosedUnknownAndForeignHandlesFailCleanly) {
    HANDLE file = Open("c.log", GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(WriteFile(file, "x", 1, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_EQ(GetFileSize(reinterpret_cast<HANDLE>(0x1234), nullptr), INVALID_FILE_SIZE);

    // A printer handle is not a file, and a file handle is not a printer.
    HANDLE printer = AddTestPrinter(u"P");
    ASSERT_NE(printer, nullptr);
    EXPECT_FALSE(CloseHandle(printer));
    EXPECT_TRUE(ClosePrinter(printer));
    HANDLE other = Open("c.log", GENERIC_WRITE, 0, OPEN_EXISTING);
    EXPECT_FALSE(ClosePrinter(other));
    EXPECT_FALSE(FindClose(other));
    EXPECT_TRUE(CloseHandle(other)); // still open after the wrong close calls
}

TEST_F(FilesTest, InjectedWriteFaultFailsExactlyTheNthWrite) {
    HANDLE file = Open("f.log", GENERIC_WRITE, 0, CREATE_ALWAYS);
    HostFailFileWrite(2);
    EXPECT_TRUE(Write(file, "one"));
    EXPECT_FALSE(Write(file, "two"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_WRITE_FAULT));
    EXPECT_TRUE(Write(file, "three"));
    CloseHandle(file);
    EXPECT_EQ(Content("f.log"), "onethree");
}

TEST_F(FilesTest, ANewStoreClosesOpenFilesAndTheirShareModesWithThem) {
    HANDLE exclusive = Open("s.log", GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    HostUseTemporaryStore();
    EXPECT_FALSE(CloseHandle(exclusive));
    HANDLE again = Open("s.log", GENERIC_WRITE, 0, OPEN_EXISTING);
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    CloseHandle(again);
}

TEST_F(FilesTest, FoldersAndAttributes) {
    EXPECT_EQ(GetFileAttributesW(PathIn("dir").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ASSERT_TRUE(CreateDirectoryW(PathIn("dir").c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryW(PathIn("dir").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryW(PathIn("a/b").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(GetFileAttributesW(PathIn("dir").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    WriteBytes(Folder() / "dir" / "f", {1});
    EXPECT_EQ(GetFileAttributesW(PathIn("dir\\f").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

} // namespace
