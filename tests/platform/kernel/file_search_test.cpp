// Directory search: patterns in the last element, case-insensitive matching, ascending order,
// sizes and attributes, and the answers at the ends.
#include "host_fixture.h"

namespace {

class FileSearchTest : public HostTest {
protected:
    std::vector<std::string> Names(const std::string& pattern, std::vector<DWORD>* sizes = nullptr) {
        std::vector<std::string> names;
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW(PathIn(pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            names.push_back(HostNarrow(found.cFileName));
            if (sizes) sizes->push_back(found.nFileSizeLow);
        } while (FindNextFileW(search, &found));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
        EXPECT_TRUE(FindClose(search));
        return names;
    }
};

TEST_F(FileSearchTest, LogFamilyComesInAscendingOrderWithTheCurrentFileFirst) {
    WriteBytes(Folder() / "VELTPD2024_03_05_10_30_00.log", std::vector<uint8_t>(300, 0));
    WriteBytes(Folder() / "VELTPD.log", std::vector<uint8_t>(12, 0));
    WriteBytes(Folder() / "VELTPD2023_12_31_23_59_59.log", std::vector<uint8_t>(7, 0));
    WriteBytes(Folder() / "VELTUI.log", {1});
    std::vector<DWORD> sizes;
    EXPECT_EQ(Names("VELTPD*.log", &sizes), (std::vector<std::string>{"VELTPD.log", "VELTPD2023_12_31_23_59_59.log",
                                                                      "VELTPD2024_03_05_10_30_00.log"}));
    EXPECT_EQ(sizes, (std::vector<DWORD>{12, 7, 300}));
}

TEST_F(FileSearchTest, MatchingIgnoresCaseAndOrderFoldsCase) {
    WriteBytes(Folder() / "b.txt", {});
    WriteBytes(Folder() / "A.TXT", {});
    WriteBytes(Folder() / "c.Txt", {});
    WriteBytes(Folder() / "a.doc", {});
    EXPECT_EQ(Names("*.txt"), (std::vector<std::string>{"A.TXT", "b.txt", "c.Txt"}));
    EXPECT_EQ(Names("?.TXT"), (std::vector<std::string>{"A.TXT", "b.txt", "c.Txt"}));
    EXPECT_EQ(Names("*.*").size(), 4u);
    EXPECT_EQ(Names("a.*"), (std::vector<std::string>{"a.doc", "A.TXT"}));
    EXPECT_EQ(Names("B.TXT"), (std::vector<std::string>{"b.txt"}));
}

TEST_F(FileSearchTest, QuestionMarkTakesExactlyOneCharacter) {
    WriteBytes(Folder() / "ab", {});
    WriteBytes(Folder() / "abc", {});
    WriteBytes(Folder() / "abcd", {});
    EXPECT_EQ(Names("ab?"), (std::vector<std::string>{"abc"}));
    EXPECT_EQ(Names("a*c"), (std::vector<std::string>{"abc"}));
    EXPECT_EQ(Names("a*"), (std::vector<std::string>{"ab", "abc", "abcd"}));
}

TEST_F(FileSearchTest, FoldersAreListedWithTheirAttribute) {
    std::filesystem::create_directory(Folder() / "sub");
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(PathIn("s*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    FindClose(search);
}

TEST_F(FileSearchTest, NoMatchAndNoFolderAnswerDifferently) {
    WIN32_FIND_DATAW found{};
    EXPECT_EQ(FindFirstFileW(PathIn("*.log").c_str(), &found), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindFirstFileW(PathIn("missing\\*.log").c_str(), &found), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(FileSearchTest, AClosedSearchIsGone) {
    WriteBytes(Folder() / "one", {});
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(PathIn("*").c_str(), &found);
    ASSERT_TRUE(FindClose(search));
    EXPECT_FALSE(FindNextFileW(search, &found));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(FindClose(search));
    EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(search))); // not a kernel handle either
}

} // namespace
