// Nothing is lost, whatever the job's settings: every combination of duplex, page mode setting and
// cutting, with one to three pages in mono and in two colours, printed through the whole road. Each page
// carries marks no other row of the job has (its first and last rows among them, so that a truncated
// page shows); on the paper every mark must come out exactly once, at the row it was drawn at relative
// to its page, the pages in order and on their side, with nothing else printed. Where the settings make
// the cut structure well defined, the pieces are checked too.
#include <algorithm>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "e2e_fixture.h"

namespace e2e {
namespace {

using vprinter::Dot;
using vprinter::JobResult;

// One row of a page with a run of kRunDots dots in columns that belong to this mark alone: page p (from 1)
// owns columns 192 (p - 1) to 192 p, and its mark i the run starting 12 i into them.
struct Mark {
    int row = 0;
    int page = 0;
    int index = 0;
    Dot dot = Dot::Black;
};

constexpr int kPageDots = 576;
constexpr int kRunDots = 8;

int MarkColumn(const Mark& m) { return 192 * (m.page - 1) + 12 * m.index; }

// The mark's row as SideText gives it for the whole width.
std::string MarkRowText(const Mark& m) {
    std::string text(kPageDots, '.');
    std::fill_n(text.begin() + MarkColumn(m), kRunDots, m.dot == Dot::Colour ? 'r' : '#');
    return text + '\n';
}

struct TestPage {
    std::vector<Mark> marks; // marks[0] is on the page's first row
    HostPicture picture;
};

TestPage DrawPage(int page, int rows, const std::vector<int>& markRows, bool twoColour) {
    TestPage out{{}, HostPicture::Filled(kPageDots, rows, kWhite)};
    for (int i = 0; i < static_cast<int>(markRows.size()); ++i) {
        // In two colours every second mark is red: both planes must arrive, each in its own place.
        Mark m{markRows[static_cast<size_t>(i)], page, i, twoColour && i % 2 == 1 ? Dot::Colour : Dot::Black};
        const LONG x = MarkColumn(m);
        out.picture.FillRect(x, m.row, x + kRunDots, m.row + 1, m.dot == Dot::Colour ? kRed : kBlack);
        out.marks.push_back(m);
    }
    return out;
}

// A small page: its first row, a bar of three rows lower for each later page, its last row.
TestPage SmallPage(int page, int rows, bool twoColour) {
    const int bar = 10 + 20 * page;
    return DrawPage(page, rows, {0, bar, bar + 1, bar + 2, rows - 1}, twoColour);
}

// Where a row is on the paper.
struct Place {
    size_t piece = 0;
    int side = 0; // 0 front, 1 back
    int row = 0;

    bool operator==(const Place&) const = default;
};

std::string Describe(const Place& p) {
    std::ostringstream s;
    s << "piece " << p.piece << (p.side == 0 ? " front" : " back") << " row " << p.row;
    return s.str();
}

// Finds every mark on the paper and checks that each came out exactly once, and each page whole: all
// its marks on one side of one piece, at the distances they were drawn at. Any other printed row is a
// fault too. Returns where each page's first row landed (none for a page that did not come out whole).
std::vector<std::optional<Place>> PlacePages(const JobResult& paper, const std::vector<TestPage>& pages) {
    std::map<std::string, const Mark*> byText;
    for (const TestPage& page : pages)
        for (const Mark& m : page.marks) byText.emplace(MarkRowText(m), &m);

    std::map<const Mark*, std::vector<Place>> found;
    const std::string blank = std::string(kPageDots, '.') + '\n';
    int strays = 0;
    for (size_t piece = 0; piece < paper.pieces.size(); ++piece) {
        for (int side = 0; side < 2; ++side) {
            const vprinter::SideImage& image = side == 0 ? paper.pieces[piece].front : paper.pieces[piece].back;
            for (int row = 0; row < image.Rows(); ++row) {
                const std::string text = SideText(image, row, 1, 0, kPageDots);
                if (text == blank) continue;
                const Place place{piece, side, row};
                auto it = byText.find(text);
                if (it != byText.end()) {
                    found[it->second].push_back(place);
                } else if (++strays <= 5) {
                    const size_t first = text.find_first_not_of('.');
                    ADD_FAILURE() << "a row no page drew, at " << Describe(place) << ": first dot at x " << first
                                  << " ('" << text[first] << "')";
                }
            }
        }
    }
    EXPECT_EQ(strays, 0) << "rows no page drew";

    std::vector<std::optional<Place>> tops;
    for (const TestPage& page : pages) {
        const int p = page.marks.front().page;
        bool whole = true;
        for (const Mark& m : page.marks) {
            const size_t count = found[&m].size();
            if (count != 1) {
                ADD_FAILURE() << "page " << p << ", mark on row " << m.row << ": on the paper " << count << " times"
                              << (count > 0 ? ", first at " + Describe(found[&m].front()) : std::string());
                whole = false;
            }
        }
        if (!whole) {
            tops.emplace_back();
            continue;
        }
        const Place top = found[&page.marks.front()].front();
        for (const Mark& m : page.marks) {
            const Place at = found[&m].front();
            const Place drawn{top.piece, top.side, top.row + m.row};
            if (at != drawn) {
                ADD_FAILURE() << "page " << p << ", mark on row " << m.row << ": at " << Describe(at) << ", drawn for "
                              << Describe(drawn);
                whole = false;
            }
        }
        tops.push_back(whole ? std::optional<Place>(top) : std::nullopt);
    }
    return tops;
}

// The settings a combination varies; the rest are the fixture's defaults.
struct Combination {
    SHORT duplex = 1;
    SHORT pageMode = 0; // 0 page mode, 1 standard mode, 2 neither (a hand-made device mode)
    SHORT cutting = 0;  // 0 after each page, 1 at the end of the document
    int pages = 1;
    bool twoColour = false;
};

std::string CombinationText(const Combination& c) {
    std::ostringstream s;
    s << "Duplex" << c.duplex << "_PageMode" << c.pageMode << (c.cutting == 0 ? "_CutEachPage" : "_CutAtEnd") << "_"
      << c.pages << (c.pages == 1 ? "Page" : "Pages") << (c.twoColour ? "_TwoColour" : "_Mono");
    return s.str();
}

std::string CombinationName(const testing::TestParamInfo<Combination>& info) { return CombinationText(info.param); }

// For the parameter in the test's listing and messages.
void PrintTo(const Combination& c, std::ostream* out) { *out << CombinationText(c); }

class SettingsMatrix : public EndToEnd, public testing::WithParamInterface<Combination> {
protected:
    static Settings SettingsOf(const Combination& c, SHORT paperLength) {
        Settings s;
        s.paper.length = paperLength;
        s.color = c.twoColour ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
        s.duplex = c.duplex;
        s.pageModeControl = c.pageMode;
        s.cuttingControl = c.cutting;
        return s;
    }

    // The page height in dots these settings give, learnt from a one-page job whose bytes are then
    // dropped, so that the port holds only the job under test.
    int PageRowsFor(const Settings& settings) {
        const HostPicture probe = HostPicture::Filled(kPageDots, 1, kWhite);
        Print(settings, {&probe});
        HostClearPortBytes();
        return last_.printableArea.cy;
    }

    // Prints the pages as one job and decodes it on paper of the job's colour.
    JobResult PrintAndDecode(const Settings& settings, const std::vector<TestPage>& pages) {
        std::vector<const HostPicture*> pictures;
        for (const TestPage& page : pages) pictures.push_back(&page.picture);
        const Bytes port = Print(settings, pictures);
        vprinter::PrinterState printer;
        printer.twoColourPaper = settings.color == DMCOLOR_COLOR;
        return Decode(port, {.printer = printer});
    }
};

// 60 mm of paper: a few hundred rows a page whatever the margins.
constexpr SHORT kSmallPaperLength = 600;

TEST_P(SettingsMatrix, EveryPageComesOutWholeOnceInOrderOnItsSide) {
    const Combination c = GetParam();
    const Settings settings = SettingsOf(c, kSmallPaperLength);
    const int rows = PageRowsFor(settings);
    ASSERT_GE(rows, 80) << "the page leaves no room for the marks";

    std::vector<TestPage> pages;
    for (int p = 1; p <= c.pages; ++p) pages.push_back(SmallPage(p, rows, c.twoColour));
    const JobResult paper = PrintAndDecode(settings, pages);
    const std::vector<std::optional<Place>> tops = PlacePages(paper, pages);

    // Sides and order. On both sides, page 2k - 1 is the front of sheet k and page 2k its back, level
    // with it; otherwise every page is on the front, each below the end of the one before.
    const bool dualSide = c.duplex == DMDUP_VERTICAL;
    std::optional<Place> previous;
    for (int p = 1; p <= c.pages; ++p) {
        const std::optional<Place>& top = tops[static_cast<size_t>(p - 1)];
        if (!top) continue;
        const bool back = dualSide && p % 2 == 0;
        EXPECT_EQ(top->side, back ? 1 : 0) << "page " << p << " at " << Describe(*top);
        if (back) {
            const std::optional<Place>& front = tops[static_cast<size_t>(p - 2)];
            if (front) {
                EXPECT_EQ(top->piece, front->piece) << "page " << p << " is not on the back of page " << p - 1;
                EXPECT_EQ(top->row, front->row) << "page " << p << " is not level with page " << p - 1;
            }
            continue;
        }
        if (previous) {
            const bool after =
                top->piece > previous->piece || (top->piece == previous->piece && top->row >= previous->row + rows);
            EXPECT_TRUE(after) << "page " << p << " at " << Describe(*top) << ", the page before it on this side at "
                               << Describe(*previous);
        }
        previous = top;
    }

    // The pieces, where the settings define them. The others, as they come out today on 60 mm paper:
    //   Duplex 3 sends no side mode and no side selection, and its page has no bottom margin (340 rows).
    //   The pages follow one another on the front with no rows between them. With cutting 0 the paper
    //   is fed 180 rows and cut after every second page, and an odd last page is left at the end of the
    //   job neither fed nor cut (an uncut piece); with cutting 1 there is one piece, cut straight after
    //   the last page's last row, with no feed.
    //   Page mode setting 2 sends neither mode command: the rows print in the printer's standard mode as
    //   they arrive, no area is composed, and the pieces are those of standard mode (setting 1), except
    //   that on one side with cutting 1 the paper is fed 140 rows before the final cut, not 180.
    if (c.pageMode > 1 || (c.duplex != DMDUP_SIMPLEX && c.duplex != DMDUP_VERTICAL)) return;
    const size_t sheets = static_cast<size_t>((c.pages + 1) / 2);
    if (dualSide) {
        EXPECT_EQ(paper.summary.sheets, sheets);
    }
    if (c.cutting == 0) {
        // A piece for each page, or for each sheet on both sides, cut.
        const size_t expected = dualSide ? sheets : static_cast<size_t>(c.pages);
        ASSERT_EQ(paper.pieces.size(), expected);
        for (int p = 1; p <= c.pages; ++p) {
            const std::optional<Place>& top = tops[static_cast<size_t>(p - 1)];
            if (top) {
                EXPECT_EQ(top->piece, static_cast<size_t>(dualSide ? (p - 1) / 2 : p - 1)) << "page " << p;
            }
        }
    } else {
        // One piece, cut at the end of the document.
        ASSERT_EQ(paper.pieces.size(), 1u);
    }
    for (size_t i = 0; i < paper.pieces.size(); ++i) {
        EXPECT_TRUE(paper.pieces[i].cut) << "piece " << i;
        EXPECT_EQ(paper.pieces[i].dualSide, dualSide) << "piece " << i;
    }
}

std::vector<Combination> AllCombinations() {
    std::vector<Combination> all;
    for (SHORT duplex : {1, 2, 3})
        for (SHORT pageMode : {0, 1, 2})
            for (SHORT cutting : {0, 1})
                for (int pages : {1, 2, 3})
                    for (bool twoColour : {false, true}) all.push_back({duplex, pageMode, cutting, pages, twoColour});
    return all;
}

INSTANTIATE_TEST_SUITE_P(Matrix, SettingsMatrix, testing::ValuesIn(AllCombinations()), CombinationName);

// Pages of 4500 rows in page mode print as several areas (the printer composes at most 2000 rows of
// one); marks on both sides of each boundary and at the page's ends show that no row is lost or doubled
// where one area ends and the next begins.
class TallPageMatrix : public SettingsMatrix {};

TEST_P(TallPageMatrix, NoRowIsLostAtTheAreaBoundaries) {
    const Combination c = GetParam();
    // 4500 rows: 4680 dots of paper on one side, 4868 on both (their margins are larger).
    const Settings settings = SettingsOf(c, c.duplex == DMDUP_VERTICAL ? 6085 : 5850);
    const int rows = PageRowsFor(settings);
    ASSERT_EQ(rows, 4500);

    const std::vector<int> markRows{0, 1, 1998, 1999, 2000, 2001, 2499, 2500, 3999, 4000, 4001, 4498, 4499};
    std::vector<TestPage> pages;
    for (int p = 1; p <= c.pages; ++p) pages.push_back(DrawPage(p, rows, markRows, c.twoColour));
    const JobResult paper = PrintAndDecode(settings, pages);
    const std::vector<std::optional<Place>> tops = PlacePages(paper, pages);

    ASSERT_EQ(tops.size(), 2u);
    if (c.duplex == DMDUP_VERTICAL) {
        // One sheet: page 1 on its front, page 2 on its back, level.
        ASSERT_EQ(paper.pieces.size(), 1u);
        EXPECT_EQ(paper.summary.sheets, 1u);
        EXPECT_EQ(tops[0], (Place{0, 0, 0}));
        EXPECT_EQ(tops[1], (Place{0, 1, 0}));
    } else {
        // A piece for each page.
        ASSERT_EQ(paper.pieces.size(), 2u);
        EXPECT_EQ(tops[0], (Place{0, 0, 0}));
        EXPECT_EQ(tops[1], (Place{1, 0, 0}));
    }
    for (const vprinter::Piece& piece : paper.pieces) EXPECT_TRUE(piece.cut);
}

INSTANTIATE_TEST_SUITE_P(Matrix, TallPageMatrix,
                         testing::Values(Combination{1, 0, 0, 2, false}, Combination{2, 0, 0, 2, false},
                                         Combination{1, 0, 0, 2, true}, Combination{2, 0, 0, 2, true}),
                         CombinationName);

} // namespace
} // namespace e2e
