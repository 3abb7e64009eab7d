// A dialog template given the tool's typeface: built here as a resource
// compiler lays one out, and read back field by field.

#include "dialogs/dialog_template.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace kiv {
namespace {

struct TemplateBytes {
    TemplateBytes& Word(std::uint16_t word) { return Raw(&word, sizeof word); }
    TemplateBytes& Dword(std::uint32_t dword) { return Raw(&dword, sizeof dword); }
    TemplateBytes& Text(std::u16string_view text) {
        for (const char16_t c : text) Word(c);
        return Word(0);
    }
    TemplateBytes& Align() {
        bytes.resize((bytes.size() + 3) & ~std::size_t{3}, std::byte{0});
        return *this;
    }
    // Grown, then copied into: GCC 12 at -O3 takes an insert of a few bytes at the end for an
    // overflow.
    TemplateBytes& Raw(const void* data, std::size_t size) {
        bytes.resize(bytes.size() + size);
        std::memcpy(bytes.data() + bytes.size() - size, data, size);
        return *this;
    }
    std::vector<std::byte> bytes;
};

constexpr std::uint32_t kShellFont = 0x48;

// One dialog with `face` at `points`, then one control (a static text "S"), as the
// resource compiler writes them.
struct Built {
    std::vector<std::byte> bytes;
    std::vector<std::byte> control;
};
Built Dialog(std::uint32_t style, std::u16string_view face, std::u16string_view title = u"T",
             std::uint16_t points = 9) {
    TemplateBytes t;
    t.Word(1).Word(0xFFFF).Dword(0).Dword(0).Dword(style).Word(1);
    t.Word(0).Word(0).Word(100).Word(50);
    t.Word(0).Word(0xFFFF).Word(0x8002).Text(title);  // no menu, a class by ordinal
    if ((style & 0x40) != 0) t.Word(points).Word(400).Word(0x0100).Text(face);
    t.Align();
    const std::size_t controlAt = t.bytes.size();
    t.Dword(0).Dword(0).Dword(0x50000000).Word(7).Word(7).Word(20).Word(8).Dword(1000);
    t.Word(0xFFFF).Word(0x0082).Text(u"S").Word(0);
    return {t.bytes, {t.bytes.begin() + static_cast<std::ptrdiff_t>(controlAt), t.bytes.end()}};
}

TEST(DialogTemplate, TakesTheToolsTypefaceAndKeepsEveryControlAsItWas) {
    struct Case {
        std::u16string_view oldFace, title, newFace;
    };
    // Faces and titles of either parity: the controls stay on a DWORD boundary.
    const Case cases[] = {{u"MS Shell Dlg", u"T", u"Yu Gothic UI"},
                          {u"MS Shell Dlg", u"ホットキーの設定", u"Meiryo UI"},
                          {u"X", u"", u"MS UI Gothic"},
                          {u"Yu Gothic UI", u"マクロの編集", u"A"}};
    for (const Case& c : cases) {
        const Built built = Dialog(kShellFont | 0x80000000, c.oldFace, c.title);
        const auto changed = WithDialogFont(built.bytes, {c.newFace, 10});
        ASSERT_TRUE(changed) << std::string(c.newFace.begin(), c.newFace.end());
        EXPECT_EQ(*changed, Dialog(0x40 | 0x80000000, c.newFace, c.title, 10).bytes)
            << "DS_FIXEDSYS cleared, the face and size in place";
        EXPECT_EQ(changed->size() % 4, built.bytes.size() % 4);
        EXPECT_TRUE(std::equal(built.control.rbegin(), built.control.rend(), changed->rbegin()));
    }
}

TEST(DialogTemplate, IsLeftAsItIsWhenItNamesNoFontOrDoesNotRead) {
    const Built noFont = Dialog(0x80000000, u"");
    EXPECT_FALSE(WithDialogFont(noFont.bytes, {u"Meiryo UI", 9}));
    const Built shell = Dialog(kShellFont, u"MS Shell Dlg");
    EXPECT_FALSE(WithDialogFont(shell.bytes, {u"", 9})) << "no face to give";
    for (std::size_t cut : {0u, 20u, 40u, 60u}) {
        const std::span<const std::byte> part(shell.bytes.data(), cut);
        EXPECT_FALSE(WithDialogFont(part, {u"Meiryo UI", 9})) << "cut at " << cut;
    }
    std::vector<std::byte> old = shell.bytes;
    old[2] = std::byte{0};  // not the extended template's signature
    EXPECT_FALSE(WithDialogFont(old, {u"Meiryo UI", 9}));
}

TEST(DialogTemplate, PointsAreTheNearestToTheHeightAt96Dpi) {
    const std::pair<long, std::uint16_t> cases[] = {{-12, 9},  {-14, 11}, {12, 9}, {-16, 12},
                                                    {-15, 11}, {-13, 10}, {-11, 8}};
    for (const auto& [pixels, points] : cases) EXPECT_EQ(PointsAt96Dpi(pixels), points) << pixels;
}

}  // namespace
}  // namespace kiv
