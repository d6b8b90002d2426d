// Reading a named section from a shared object file. A resource library keeps its resources in a
// section ".rsrc" that the dynamic linker does not map, so the host reads it from the file.
#include <elf.h>

#include <cstring>
#include <fstream>
#include <limits>

#include "module/internal.h"

namespace host {

namespace {

// Resource sections are small; anything larger than this is not one of ours.
constexpr uint64_t MAX_SECTION_BYTES = 64u * 1024 * 1024;

class ElfFile {
public:
    explicit ElfFile(const std::string& path) : in_(path, std::ios::binary) {
        if (in_) {
            in_.seekg(0, std::ios::end);
            const std::streamoff end = in_.tellg();
            size_ = end > 0 ? static_cast<uint64_t>(end) : 0;
        }
    }

    // Reads `count` bytes at `offset`, refusing any range that leaves the file.
    bool ReadAt(uint64_t offset, void* out, uint64_t count) {
        if (!in_.is_open() || offset > size_ || count > size_ - offset ||
            offset > static_cast<uint64_t>(std::numeric_limits<std::streamoff>::max())) {
            return false;
        }
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(offset));
        in_.read(static_cast<char*>(out), static_cast<std::streamsize>(count));
        return static_cast<uint64_t>(in_.gcount()) == count;
    }

private:
    std::ifstream in_;
    uint64_t size_ = 0;
};

bool IsOurElf(const Elf64_Ehdr& header) {
    return std::memcmp(header.e_ident, ELFMAG, SELFMAG) == 0 && header.e_ident[EI_CLASS] == ELFCLASS64 &&
           header.e_ident[EI_DATA] == ELFDATA2LSB && header.e_shentsize == sizeof(Elf64_Shdr);
}

} // namespace

std::vector<BYTE> ReadElfSection(const std::string& file, std::string_view name) {
    ElfFile elf(file);
    Elf64_Ehdr header{};
    if (!elf.ReadAt(0, &header, sizeof header) || !IsOurElf(header) || header.e_shstrndx >= header.e_shnum) {
        return {};
    }
    std::vector<Elf64_Shdr> sections(header.e_shnum);
    if (!elf.ReadAt(header.e_shoff, sections.data(), sections.size() * sizeof(Elf64_Shdr))) {
        return {};
    }
    const Elf64_Shdr& namesSection = sections[header.e_shstrndx];
    if (namesSection.sh_type != SHT_STRTAB || namesSection.sh_size > MAX_SECTION_BYTES) {
        return {};
    }
    std::vector<char> names(namesSection.sh_size);
    if (!elf.ReadAt(namesSection.sh_offset, names.data(), names.size())) {
        return {};
    }
    for (const Elf64_Shdr& section : sections) {
        if (section.sh_name >= names.size()) {
            continue;
        }
        // The name must end inside the string table.
        const char* start = names.data() + section.sh_name;
        const size_t room = names.size() - section.sh_name;
        const size_t length = strnlen(start, room);
        if (length == room || std::string_view(start, length) != name) {
            continue;
        }
        if (section.sh_type == SHT_NOBITS || section.sh_size > MAX_SECTION_BYTES) {
            return {};
        }
        std::vector<BYTE> bytes(section.sh_size);
        if (!elf.ReadAt(section.sh_offset, bytes.data(), bytes.size())) {
            return {};
        }
        return bytes;
    }
    return {};
}

} // namespace host
