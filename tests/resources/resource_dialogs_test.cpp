// The dialog templates of VELTrc, control by control, against the tables the pages are built on.
// The tables are kept literal (kind as written: "radio, group", "combo box, drop-down list, sorted");
// the kind words are turned into the class and style bits a control of that kind must carry.
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host/resource_format.h"
#include "host/testing.h"
#include "resource_library.h"

namespace host::res {
// Readable failure messages: an ordinal as "#128", a name in quotes.
void PrintTo(const ResourceId& id, std::ostream* out) {
    if (id.isOrdinal) {
        *out << "#" << id.ordinal;
    } else {
        *out << '"' << HostNarrow(id.name.c_str()) << '"';
    }
}
} // namespace host::res

namespace {

using host::res::DialogControl;
using host::res::DialogTemplate;
using host::res::ResourceId;

// Styles, with the platform's values.
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr DWORD DS_SETFONT = 0x0040;
constexpr DWORD DS_MODALFRAME = 0x0080;
constexpr DWORD DS_CENTER = 0x0800;
constexpr DWORD BS_TYPEMASK = 0x000F;
constexpr DWORD BS_PUSHBUTTON = 0x0;
constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
constexpr DWORD BS_GROUPBOX = 0x7;
constexpr DWORD BS_AUTORADIOBUTTON = 0x9;
constexpr DWORD SS_TYPEMASK = 0x001F;
constexpr DWORD SS_LEFT = 0x0;
constexpr DWORD CBS_TYPEMASK = 0x0003;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
constexpr DWORD CBS_SORT = 0x0100;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NUMBER = 0x2000;
constexpr DWORD UDS_SETBUDDYINT = 0x0002;
constexpr DWORD UDS_ARROWKEYS = 0x0020;

struct ControlRow {
    int id;
    const char* kind;
    const char16_t* label;
    SHORT x, y, w, h;
};

struct DialogRow {
    WORD id;
    const char16_t* title;
    SHORT w, h;
    bool centred;
    std::vector<ControlRow> controls;
};

const std::vector<DialogRow> DIALOGS = {
    {5,
     u"Document Settings",
     292,
     206,
     false,
     {
         {1005, "group box", u"2-Color printing", 18, 5, 256, 40},
         {161, "radio, group", u"2-color", 180, 24, 35, 10},
         {145, "radio", u"Mono", 76, 24, 39, 10},
         {-1, "group box", u"Dual side printing control", 18, 55, 256, 40},
         {163, "radio, group", u"Single side  ", 75, 71, 53, 10},
         {165, "radio", u"Dual side", 179, 71, 45, 10},
         {-1, "group box", u"Page mode printing control", 18, 105, 256, 40},
         {167, "radio, group", u"Page Mode", 75, 122, 65, 10},
         {169, "radio", u"Not Page Mode", 179, 123, 65, 10},
         {-1, "group box", u"Cutting control", 18, 155, 256, 40},
         {171, "radio, group", u"Each Page", 75, 172, 49, 10},
         {173, "radio", u"End of Document", 179, 173, 67, 10},
     }},
    {114,
     u"Device Settings",
     255,
     200,
     false,
     {
         {1002, "group box", u"Paper Size", 4, 16, 246, 37},
         {-1, "static", u"User Defined Size:", 20, 33, 66, 12},
         {1052, "combo box, drop-down list, sorted, vertical scroll", u"", 81, 31, 99, 69},
         {1017, "push button", u"Edit", 193, 31, 50, 14},
         {-1, "group box", u"Device Settings", 4, 64, 246, 132},
         {1001, "group box", u"Color Setting", 10, 82, 234, 53},
         {1025, "radio, group", u"Mono", 34, 98, 35, 10},
         {1038, "radio", u"2-Color", 116, 98, 39, 10},
         {1016, "push button", u"Refresh", 176, 96, 50, 14},
         {1003, "group box", u"Printer Model", 10, 143, 234, 40},
         {1039, "radio, group", u"Single", 34, 160, 35, 10},
         {1040, "radio", u"Dual", 116, 160, 39, 10},
         {-1, "static with a static edge", u"The change of Color Setting becomes effective after the printer's reset",
          11, 113, 230, 17},
     }},
    {108,
     u"Driver Setting",
     255,
     200,
     false,
     {
         {146, "radio", u"Enable", 105, 63, 39, 10},
         {147, "radio", u" Disable", 154, 63, 39, 10},
         {149, "static", u"Maximum Log Size", 21, 94, 58, 8},
         {148, "combo box, drop-down list", u"", 105, 94, 87, 56},
         {151, "static", u"Log File Path", 21, 129, 42, 8},
         {150, "edit, border, horizontal auto-scroll", u"", 105, 129, 87, 12},
         {174, "push button", u"Browse", 199, 129, 40, 12},
         {-1, "static", u"Log Setting Status", 21, 63, 60, 8},
         {1006, "group box", u" Driver Setting", 7, 22, 241, 155},
     }},
    {104,
     u"Printer Configuration",
     255,
     200,
     true,
     {
         {127, "push button", u"Print Configuration", 136, 62, 73, 16},
         {131, "push button", u"Get Configuration", 136, 121, 73, 16},
         {134, "static", u"Printer Configuration", 47, 66, 68, 8},
         {135, "static", u"Get Configuration", 47, 124, 58, 8},
         {1005, "group box", u"Printer Configuration", 13, 16, 228, 168},
     }},
    {107,
     u"Version",
     255,
     200,
     false,
     {
         {-1, "static", u"VELT K9x", 107, 51, 36, 8},
         {-1, "static", u"Version 01.02", 102, 64, 49, 8},
         {-1, "static", nullptr, 40, 84, 170, 8}, // the maker's notice: any wording
         {-1, "static", nullptr, 87, 102, 69, 8},
     }},
    {111,
     u"User Custom Size",
     199,
     113,
     false,
     {
         {122, "combo box, drop-down list, sorted", u"", 98, 18, 52, 47},
         {124, "edit, border, digits only", u"", 98, 52, 40, 14},
         {123, "up-down control, sets its buddy's integer, arrow keys", u"", 138, 52, 14, 14},
         {1, "default push button", u"OK", 47, 83, 43, 16},
         {2, "push button", u"Cancel", 108, 83, 43, 16},
         {121, "static", u"Width (mm) :", 46, 20, 42, 8},
         {125, "static", u"Height (mm) :", 46, 55, 44, 8},
     }},
    {106,
     u"Get Configuration",
     229,
     182,
     false,
     {
         {143, "static", u"Color Paper Option:", 21, 121, 83, 15},
         {141, "static", u"Knife Option:", 21, 90, 83, 15},
         {139, "static", u"Paper Width:", 21, 59, 83, 15},
         {137, "static", u"One Line Buffer Option:", 21, 28, 83, 15},
         {153, "static (value of the buffer option)", u"", 111, 28, 105, 14},
         {155, "static (value of the paper width)", u"", 111, 59, 105, 14},
         {159, "static (value of the colour paper option)", u"", 111, 121, 105, 14},
         {1004, "group box", u"Printer Configuration", 9, 7, 210, 168},
         {157, "static (value of the knife option)", u"", 111, 90, 105, 14},
         {133, "push button", u"Close", 90, 152, 50, 14},
     }},
};

// What a kind of control must look like in a template.
struct KindRule {
    ResourceId windowClass;
    DWORD typeMask = 0;
    DWORD type = 0;
    DWORD flagsChecked = 0; // each of these bits is set exactly when the kind asks for it
    DWORD flags = 0;
    DWORD exStyle = 0;
};

std::vector<std::string> KindWords(std::string kind) {
    if (const size_t note = kind.find(" ("); note != std::string::npos) {
        kind.erase(note); // "(value of the ...)" explains, it does not style
    }
    std::vector<std::string> words;
    std::stringstream stream(kind);
    for (std::string word; std::getline(stream, word, ',');) {
        words.push_back(word.substr(word.find_first_not_of(' ')));
    }
    return words;
}

std::optional<KindRule> RuleFor(const std::string& kind) {
    const std::vector<std::string> words = KindWords(kind);
    const std::string& base = words.front();
    KindRule rule;
    const auto button = [&](DWORD type) {
        rule.windowClass = ResourceId::Ordinal(host::res::BUTTON_CLASS_ATOM);
        rule.typeMask = BS_TYPEMASK;
        rule.type = type;
    };
    rule.flagsChecked = WS_GROUP;
    if (base == "group box") {
        button(BS_GROUPBOX);
    } else if (base == "radio") {
        button(BS_AUTORADIOBUTTON);
    } else if (base == "push button") {
        button(BS_PUSHBUTTON);
    } else if (base == "default push button") {
        button(BS_DEFPUSHBUTTON);
    } else if (base == "static" || base == "static with a static edge") {
        rule.windowClass = ResourceId::Ordinal(host::res::STATIC_CLASS_ATOM);
        rule.typeMask = SS_TYPEMASK;
        rule.type = SS_LEFT;
        rule.exStyle = base == "static" ? 0 : WS_EX_STATICEDGE;
    } else if (base == "combo box") {
        rule.windowClass = ResourceId::Ordinal(host::res::COMBOBOX_CLASS_ATOM);
        rule.flagsChecked |= CBS_TYPEMASK | CBS_SORT | WS_VSCROLL;
    } else if (base == "edit") {
        rule.windowClass = ResourceId::Ordinal(host::res::EDIT_CLASS_ATOM);
        rule.flagsChecked |= WS_BORDER | ES_AUTOHSCROLL | ES_NUMBER;
    } else if (base == "up-down control") {
        rule.windowClass = ResourceId::Named(u"msctls_updown32");
        rule.flagsChecked |= UDS_SETBUDDYINT | UDS_ARROWKEYS;
    } else {
        return std::nullopt;
    }
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "group") {
            rule.flags |= WS_GROUP;
        } else if (word == "drop-down list") {
            rule.flags |= CBS_DROPDOWNLIST;
        } else if (word == "sorted") {
            rule.flags |= CBS_SORT;
        } else if (word == "vertical scroll") {
            rule.flags |= WS_VSCROLL;
        } else if (word == "border") {
            rule.flags |= WS_BORDER;
        } else if (word == "horizontal auto-scroll") {
            rule.flags |= ES_AUTOHSCROLL;
        } else if (word == "digits only") {
            rule.flags |= ES_NUMBER;
        } else if (word == "sets its buddy's integer") {
            rule.flags |= UDS_SETBUDDYINT;
        } else if (word == "arrow keys") {
            rule.flags |= UDS_ARROWKEYS;
        } else {
            return std::nullopt;
        }
    }
    return rule;
}

using DialogTemplateTest = ResourceLibraryTest;

std::optional<DialogTemplate> ReadDialog(std::span<const BYTE> bytes) { return host::res::ParseDialogTemplate(bytes); }

TEST_F(DialogTemplateTest, EveryDialogHasItsTitleSizeFontAndStyle) {
    for (const DialogRow& row : DIALOGS) {
        const std::optional<DialogTemplate> dialog = ReadDialog(Bytes(MAKEINTRESOURCEW(row.id), RT_DIALOG));
        ASSERT_TRUE(dialog.has_value()) << row.id;
        EXPECT_EQ(dialog->title, row.title) << row.id;
        EXPECT_EQ(dialog->cx, row.w) << row.id;
        EXPECT_EQ(dialog->cy, row.h) << row.id;
        EXPECT_TRUE(dialog->hasFont) << row.id;
        EXPECT_EQ(dialog->pointSize, 8) << row.id;
        EXPECT_EQ(dialog->typeface, u"MS Shell Dlg") << row.id;
        const DWORD required = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
        EXPECT_EQ(dialog->style & required, required) << row.id;
        EXPECT_EQ((dialog->style & DS_CENTER) != 0, row.centred) << row.id;
        EXPECT_TRUE(dialog->menu.IsNone()) << row.id;
        EXPECT_TRUE(dialog->windowClass.IsNone()) << row.id;
    }
}

TEST_F(DialogTemplateTest, EveryControlMatchesItsRow) {
    for (const DialogRow& row : DIALOGS) {
        const std::optional<DialogTemplate> dialog = ReadDialog(Bytes(MAKEINTRESOURCEW(row.id), RT_DIALOG));
        ASSERT_TRUE(dialog.has_value()) << row.id;
        ASSERT_EQ(dialog->controls.size(), row.controls.size()) << row.id;
        for (size_t i = 0; i < row.controls.size(); ++i) {
            const ControlRow& expected = row.controls[i];
            const DialogControl& control = dialog->controls[i];
            const std::string where = "dialog " + std::to_string(row.id) + " control " + std::to_string(i);
            const std::optional<KindRule> rule = RuleFor(expected.kind);
            ASSERT_TRUE(rule.has_value()) << where << ": unknown kind " << expected.kind;

            EXPECT_EQ(control.id, expected.id) << where;
            EXPECT_EQ(control.x, expected.x) << where;
            EXPECT_EQ(control.y, expected.y) << where;
            EXPECT_EQ(control.cx, expected.w) << where;
            EXPECT_EQ(control.cy, expected.h) << where;
            if (expected.label != nullptr) {
                EXPECT_EQ(control.title, expected.label[0] == u'\0' ? ResourceId{} : ResourceId::Named(expected.label))
                    << where;
            } else {
                EXPECT_FALSE(control.title.isOrdinal || control.title.name.empty()) << where;
            }
            EXPECT_EQ(control.windowClass, rule->windowClass) << where;
            EXPECT_EQ(control.style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE) << where;
            EXPECT_EQ(control.style & rule->typeMask, rule->type) << where;
            EXPECT_EQ(control.style & rule->flagsChecked, rule->flags) << where;
            EXPECT_EQ(control.exStyle & WS_EX_STATICEDGE, rule->exStyle) << where;
            EXPECT_TRUE(control.creationData.empty()) << where;
        }
    }
}

TEST_F(DialogTemplateTest, LookupFailuresNameTheirReason) {
    EXPECT_LAST_ERROR(ERROR_RESOURCE_NAME_NOT_FOUND,
                      EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(999), RT_DIALOG), nullptr));
    EXPECT_LAST_ERROR(ERROR_RESOURCE_TYPE_NOT_FOUND,
                      EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(9)), nullptr));
    EXPECT_LAST_ERROR(ERROR_RESOURCE_NAME_NOT_FOUND,
                      EXPECT_EQ(FindResourceW(module_, TEXT("DOCUMENT"), RT_DIALOG), nullptr));

    // "#5" names ordinal 5, as on the platform.
    EXPECT_EQ(FindResourceW(module_, TEXT("#5"), RT_DIALOG), FindResourceW(module_, MAKEINTRESOURCEW(5), RT_DIALOG));
    EXPECT_NE(FindResourceW(module_, TEXT("#5"), RT_DIALOG), nullptr);

    // An HRSRC that the module did not hand out is refused.
    int stranger = 0;
    EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE,
                      EXPECT_EQ(LoadResource(module_, reinterpret_cast<HRSRC>(&stranger)), nullptr));
    EXPECT_EQ(SizeofResource(module_, reinterpret_cast<HRSRC>(&stranger)), 0u);
}

} // namespace
