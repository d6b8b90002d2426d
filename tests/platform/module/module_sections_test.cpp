// Reading a module's resource section from its file, and refusing files that are not whole ELF files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/elf_sections.h"
#include "host/resource_format.h"

namespace {

std::vector<char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

class ScratchFile {
public:
    explicit ScratchFile(const std::vector<char>& bytes)
        : path_(std::filesystem::temp_directory_path() / ("velt_section_" + std::to_string(getpid()) + ".so")) {
        std::ofstream(path_, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~ScratchFile() { std::filesystem::remove(path_); }
    std::string Path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

TEST(ModuleSectionsTest, ResourceSectionOfTheResourceLibraryIsAResourceFile) {
    const std::vector<BYTE> section = host::ReadElfSection(VELTRC_SO_PATH, ".rsrc");
    ASSERT_FALSE(section.empty());
    const auto entries = host::res::ParseResourceFile(section);
    ASSERT_TRUE(entries.has_value());
    EXPECT_FALSE(entries->empty());
    EXPECT_TRUE(host::ReadElfSection(VELTRC_SO_PATH, ".no_such_section").empty());
}

TEST(ModuleSectionsTest, TruncatedOrForeignFilesGiveNothing) {
    const std::vector<char> whole = ReadFile(VELTRC_SO_PATH);
    ASSERT_GT(whole.size(), 4096u);
    // Cut inside the ELF header and further on: every cut loses the section headers, which come last.
    for (size_t length : {size_t{0}, size_t{20}, size_t{63}, whole.size() / 2, whole.size() - 1}) {
        const ScratchFile cut(std::vector<char>(whole.begin(), whole.begin() + static_cast<long>(length)));
        EXPECT_TRUE(host::ReadElfSection(cut.Path(), ".rsrc").empty()) << length;
    }
    const ScratchFile text(std::vector<char>(300, 'x'));
    EXPECT_TRUE(host::ReadElfSection(text.Path(), ".rsrc").empty());
    EXPECT_TRUE(host::ReadElfSection("/nonexistent/VELTrc.so", ".rsrc").empty());
}

} // namespace
