// The resource format parsers on truncated and malformed data: every parser fails cleanly and never
// reads past the bytes it is given. Each cut is copied into a buffer of exactly its length, so that
// the address sanitizer sees any read beyond it.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "host/resource_format.h"

namespace {

using namespace host::res;

std::vector<BYTE> ResourceFile() {
    std::ifstream in(VELTRC_RES_PATH, std::ios::binary);
    return std::vector<BYTE>{std::istreambuf_iterator<char>(in), {}};
}

std::vector<BYTE> DataOf(const std::vector<BYTE>& file, const ResourceEntry& entry) {
    const auto start = file.begin() + static_cast<long>(entry.dataOffset);
    return std::vector<BYTE>(start, start + entry.dataSize);
}

std::vector<BYTE> Prefix(const std::vector<BYTE>& bytes, size_t length) {
    return std::vector<BYTE>(bytes.begin(), bytes.begin() + static_cast<long>(length));
}

template <typename T>
void Put(std::vector<BYTE>& bytes, size_t at, T value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

class ResourceParsersTest : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = ResourceFile();
        const auto entries = ParseResourceFile(file_);
        ASSERT_TRUE(entries.has_value());
        entries_ = *entries;
    }

    std::vector<BYTE> Resource(WORD type, WORD name) const {
        for (const ResourceEntry& entry : entries_) {
            if (entry.type == ResourceId::Ordinal(type) && entry.name == ResourceId::Ordinal(name)) {
                return DataOf(file_, entry);
            }
        }
        ADD_FAILURE() << "no resource " << type << "/" << name;
        return {};
    }

    std::vector<BYTE> file_;
    std::vector<ResourceEntry> entries_;
};

TEST_F(ResourceParsersTest, TruncatedResourceFileKeepsOnlyWholeResources) {
    for (size_t length = 0; length < file_.size(); ++length) {
        const std::vector<BYTE> cut = Prefix(file_, length);
        const auto entries = ParseResourceFile(cut);
        if (!entries) {
            continue;
        }
        // A cut that falls between two resources (or in the last one's padding) is a shorter, valid file.
        ASSERT_LE(entries->size(), entries_.size()) << length;
        for (size_t i = 0; i < entries->size(); ++i) {
            EXPECT_LE((*entries)[i].dataOffset + (*entries)[i].dataSize, length) << length;
            EXPECT_EQ((*entries)[i].name, entries_[i].name) << length;
        }
    }
}

TEST_F(ResourceParsersTest, MalformedResourceHeadersFail) {
    // The second resource's header (the first is the empty format marker of 32 bytes).
    const size_t header = 32;
    std::vector<BYTE> bad = file_;
    Put<DWORD>(bad, header + 4, 4); // HeaderSize smaller than DataSize and HeaderSize themselves
    EXPECT_FALSE(ParseResourceFile(bad).has_value());

    bad = file_;
    Put<DWORD>(bad, header + 4, 0xFFFFFFF0); // HeaderSize beyond the file
    EXPECT_FALSE(ParseResourceFile(bad).has_value());

    bad = file_;
    Put<DWORD>(bad, header, 0xFFFFFFF0); // DataSize beyond the file
    EXPECT_FALSE(ParseResourceFile(bad).has_value());

    bad = file_;
    Put<DWORD>(bad, header + 4, 12); // TYPE ordinal fits, NAME does not
    EXPECT_FALSE(ParseResourceFile(bad).has_value());

    // A named type whose string runs to the end of the header without a terminator.
    std::vector<BYTE> unterminated(32, 0);
    Put<DWORD>(unterminated, 4, 32);
    for (size_t at = 8; at < 32; at += 2) {
        Put<WORD>(unterminated, at, u'A');
    }
    EXPECT_FALSE(ParseResourceFile(unterminated).has_value());
}

TEST_F(ResourceParsersTest, EveryCutOfADialogTemplateFails) {
    for (WORD dialog : {5, 114, 108, 104, 107, 111, 106}) {
        const std::vector<BYTE> whole = Resource(5, dialog);
        ASSERT_TRUE(ParseDialogTemplate(whole).has_value()) << dialog;
        for (size_t length = 0; length < whole.size(); ++length) {
            EXPECT_FALSE(ParseDialogTemplate(Prefix(whole, length)).has_value()) << dialog << " cut at " << length;
        }
    }
}

TEST_F(ResourceParsersTest, MalformedDialogTemplatesFail) {
    const std::vector<BYTE> whole = Resource(5, 111);
    std::vector<BYTE> bad = whole;
    Put<WORD>(bad, offsetof(DialogTemplateExHead, signature), 0); // an old-style template
    EXPECT_FALSE(ParseDialogTemplate(bad).has_value());

    bad = whole;
    Put<WORD>(bad, offsetof(DialogTemplateExHead, cDlgItems), 0xFFFF); // more controls than bytes
    EXPECT_FALSE(ParseDialogTemplate(bad).has_value());

    bad = whole;
    Put<WORD>(bad, offsetof(DialogTemplateExHead, cDlgItems), 8); // one control more than there is
    EXPECT_FALSE(ParseDialogTemplate(bad).has_value());

    // The last control's creation-data count reaches past the end.
    bad = whole;
    Put<WORD>(bad, bad.size() - 2, 1);
    EXPECT_FALSE(ParseDialogTemplate(bad).has_value());

    // Fewer controls than there are is a shorter, valid template.
    bad = whole;
    Put<WORD>(bad, offsetof(DialogTemplateExHead, cDlgItems), 2);
    const auto shorter = ParseDialogTemplate(bad);
    ASSERT_TRUE(shorter.has_value());
    EXPECT_EQ(shorter->controls.size(), 2u);
}

TEST_F(ResourceParsersTest, EveryCutOfAComboListFails) {
    for (WORD dialog : {108, 111, 114}) {
        const std::vector<BYTE> whole = Resource(240, dialog);
        ASSERT_TRUE(ParseDialogInit(whole).has_value()) << dialog;
        for (size_t length = 0; length < whole.size(); ++length) {
            EXPECT_FALSE(ParseDialogInit(Prefix(whole, length)).has_value()) << dialog << " cut at " << length;
        }
    }
    std::vector<BYTE> huge = Resource(240, 111);
    Put<DWORD>(huge, offsetof(DialogInitEntryHead, length), 0xFFFFFFFF);
    EXPECT_FALSE(ParseDialogInit(huge).has_value());
}

TEST_F(ResourceParsersTest, EveryCutOfTheVersionBlockFails) {
    const std::vector<BYTE> whole = Resource(16, 1);
    ASSERT_TRUE(ParseVersionInfo(whole).has_value());
    for (size_t length = 0; length < whole.size(); ++length) {
        EXPECT_FALSE(ParseVersionInfo(Prefix(whole, length)).has_value()) << "cut at " << length;
    }
}

TEST_F(ResourceParsersTest, MalformedVersionBlocksFail) {
    const std::vector<BYTE> whole = Resource(16, 1);
    std::vector<BYTE> bad = whole;
    Put<WORD>(bad, offsetof(VersionBlockHead, wLength), 4); // shorter than its own head
    EXPECT_FALSE(ParseVersionInfo(bad).has_value());

    bad = whole;
    Put<WORD>(bad, offsetof(VersionBlockHead, wValueLength), 40); // fixed information cut short
    EXPECT_FALSE(ParseVersionInfo(bad).has_value());

    bad = whole;
    Put<WORD>(bad, offsetof(VersionBlockHead, wValueLength), 0xFFFF); // value beyond the block
    EXPECT_FALSE(ParseVersionInfo(bad).has_value());

    // The first child ("StringFileInfo") claims more than its parent holds.
    bad = whole;
    const size_t firstChild = 92; // head 6, "VS_VERSION_INFO" 32, padding 2, fixed information 52
    Put<WORD>(bad, firstChild, 0xFFF0);
    EXPECT_FALSE(ParseVersionInfo(bad).has_value());
}

TEST(StringBlockTest, CountedStringsStayInsideTheBlock) {
    // Two strings: "AB" and an empty one, then 14 more empty ones.
    std::vector<BYTE> block = {2, 0, 'A', 0, 'B', 0};
    block.resize(block.size() + 15 * 2, 0);
    const auto first = FindStringInBlock(block, 0);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->offset, 2u);
    EXPECT_EQ(first->length, 2);
    const auto last = FindStringInBlock(block, 15);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->length, 0);
    EXPECT_FALSE(FindStringInBlock(block, 16).has_value());

    // A count that runs past the block, and a block cut inside a count.
    std::vector<BYTE> overlong = block;
    Put<WORD>(overlong, 6, 200);
    EXPECT_TRUE(FindStringInBlock(overlong, 0).has_value());
    EXPECT_FALSE(FindStringInBlock(overlong, 1).has_value());
    EXPECT_FALSE(FindStringInBlock(overlong, 2).has_value());
    EXPECT_FALSE(FindStringInBlock(Prefix(block, 7), 1).has_value());
}

} // namespace
