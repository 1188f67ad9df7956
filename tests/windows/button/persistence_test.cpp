// Properties, their change notices and their round trip through the form description.
#include "button_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace solvane {
namespace {

constexpr int sampleFormId = 400;

struct Fixture {
    test::HostWindow host{test::dialogPlace};
    Command command;
    std::vector<std::wstring> told;
    explicit Fixture(int width = 1095, int height = 375) {
        command.PropertyChanged = [this](std::wstring_view name) { told.emplace_back(name); };
        EXPECT_TRUE(command.create(host.window(), 150, 150, width, height));
    }
};

FontRef dialogFont() {
    static const FontRef font = makeFont(buttonFontDescription());
    return font;
}

TEST(FormDescriptionTest, RoundTripKeepsControlsKeysOrderAndAwkwardValues) {
    FormDescription description;
    description.control(L"Cmd_Set").set(L"Caption", L"設定");
    description.control(L"Cmd_Set").set(L"Note", L"a=b\\c\nd\r");
    description.control(L"Cmd_Can").set(L"Caption", L"ｷｬﾝｾﾙ");
    description.control(L"Cmd_Can").set(L"Empty", L"");
    const FormDescription back = FormDescription::parse(description.serialize());
    EXPECT_EQ(back, description);
    EXPECT_EQ(description.serialize(), back.serialize());
}

TEST(FormDescriptionTest, MalformedLinesAreIgnoredAndTheLastOfARepeatedKeyWins) {
    const FormDescription parsed = FormDescription::parse("Orphan=1\r\n# note\r\n[A]\r\nno equals sign\r\n=x\r\n"
                                                          "K=1\r\nK=2\r\n[B]\r\nBad=\xff\r\n[]\r\n");
    ASSERT_NE(parsed.find(L"A"), nullptr);
    EXPECT_EQ(parsed.find(L"A")->entries().size(), 1u);
    EXPECT_EQ(parsed.find(L"A")->read(L"K"), L"2");
    EXPECT_EQ(parsed.find(L"B")->read(L"Bad"), L"\uFFFD");
    EXPECT_FALSE(parsed.find(L"A")->read(L"Orphan").has_value());
}

TEST(FormDescriptionTest, LoadsFromTheProgramsResources) {
    const FormDescription form = FormDescription::fromResource(GetModuleHandleW(nullptr), sampleFormId);
    ASSERT_NE(form.find(L"Cmd_Set"), nullptr);
    EXPECT_EQ(form.find(L"Cmd_Set")->read(L"Caption"), L"設定");
    EXPECT_EQ(form.find(L"Cmd_BGM")->read(L"Enabled"), L"0");
    EXPECT_TRUE(FormDescription::fromResource(GetModuleHandleW(nullptr), 9999).controls().empty());
}

TEST(PersistTest, FullRoundTripThroughTheStoredText) {
    Fixture first;
    first.command.Caption(L"その他の作品");
    first.command.Font(makeFont({L"IPAGothic", 12, FW_BOLD, true, false, true, SHIFTJIS_CHARSET}));
    first.command.Enabled(0);
    first.command.FontColour(0x00336699);
    first.command.Visible(0);
    FormDescription form;
    first.command.WriteProperties(form.control(L"Cmd_Etc"), dialogFont());
    const auto& keys = form.control(L"Cmd_Etc").entries();
    ASSERT_EQ(keys.size(), 6u) << "nothing is at its default";
    EXPECT_EQ(keys[0].first, L"Enabled");
    EXPECT_EQ(keys[1].first, L"Caption");
    EXPECT_EQ(keys[2].first, L"FirstRun");
    EXPECT_EQ(keys[3].first, L"Font");
    EXPECT_EQ(keys[4].first, L"FontColour");
    EXPECT_EQ(keys[5].first, L"Visible");
    EXPECT_EQ(form.control(L"Cmd_Etc").read(L"FirstRun"), L"0") << "never read Enabled";

    Fixture second;
    const FormDescription back = FormDescription::parse(form.serialize());
    second.command.ReadProperties(*back.find(L"Cmd_Etc"), dialogFont());
    EXPECT_EQ(second.command.Caption(), L"その他の作品");
    EXPECT_EQ(second.command.Font()->description(), first.command.Font()->description());
    EXPECT_EQ(second.command.FirstRun(), 0);
    EXPECT_EQ(second.command.backgroundStyle(), 0);
    EXPECT_EQ(second.command.label().colour, 0x00336699u);
    EXPECT_EQ(second.command.Enabled(), -1) << "FirstRun 0: the first read enables";
}

TEST(PersistTest, DialogButtonsStoreOnlyWhatDiffersAndCommandComesBackAsCommand1) {
    Fixture set;
    FormDescription form;
    set.command.ReadProperties(PropertyBag{}, dialogFont());
    set.command.Caption(L"設定");
    set.command.WriteProperties(form.control(L"Cmd_Set"), dialogFont());
    ASSERT_EQ(form.control(L"Cmd_Set").entries().size(), 1u);
    EXPECT_EQ(form.control(L"Cmd_Set").read(L"Caption"), L"設定");

    set.command.Caption(L"Command");
    set.command.WriteProperties(form.control(L"Cmd_Set"), dialogFont());
    EXPECT_TRUE(form.control(L"Cmd_Set").entries().empty());
    Fixture again;
    again.command.ReadProperties(form.control(L"Cmd_Set"), dialogFont());
    EXPECT_EQ(again.command.Caption(), L"Command1");
}

TEST(PersistTest, MissingPropertiesTakeTheirDefaultsAndPaintNormal) {
    Fixture f;
    f.command.ReadProperties(PropertyBag{}, dialogFont());
    EXPECT_EQ(f.command.Caption(), L"Command1");
    EXPECT_EQ(f.command.Font(), dialogFont()) << "the dialog's own font object";
    EXPECT_EQ(f.command.FirstRun(), 1);
    EXPECT_EQ(f.command.label().colour, 0u);
    EXPECT_EQ(f.command.backgroundStyle(), 1);
    EXPECT_EQ(f.command.lastSkin(), Skin::Normal);
    EXPECT_EQ(test::faceLook(f.command), "Normal");
    EXPECT_EQ(f.command.Enabled(), -1);
}

TEST(PersistTest, UnreadableStoredValuesLeaveWhatTheButtonHeld) {
    Fixture f;
    PropertyBag bag;
    bag.set(L"Enabled", L"maybe");
    bag.set(L"Font", L"no font at all");
    bag.set(L"FirstRun", L"300");
    bag.set(L"FontColour", L"16777216"); // 0x01000000 is no colour
    bag.set(L"Visible", L"5");
    const FontRef own = f.command.Font();
    f.command.ReadProperties(bag, dialogFont());
    EXPECT_EQ(f.command.Font(), own);
    EXPECT_EQ(f.command.FirstRun(), 0);
    EXPECT_EQ(f.command.label().colour, 0u);
    EXPECT_EQ(f.command.backgroundStyle(), 1);
    EXPECT_EQ(f.command.state(), 0);
    EXPECT_EQ(test::faceLook(f.command), "Disable") << "still disabled: nothing repainted";
    PropertyBag system;
    system.set(L"FontColour", L"-2147483630"); // 0x80000012, the button text colour
    system.set(L"Enabled", L"True");
    f.command.ReadProperties(system, dialogFont());
    EXPECT_EQ(f.command.label().colour, 0x80000012u);
}

TEST(PropertyTest, NewButtonIsDisabledUntilTheFirstReadOfEnabled) {
    Fixture f;
    EXPECT_EQ(test::faceLook(f.command), "Disable") << "the creation's size change";
    const unsigned paints = f.command.paintCount();
    f.command.RefreshLook();
    EXPECT_EQ(f.command.paintCount(), paints);
    EXPECT_FALSE(IsWindowEnabled(f.command.window())) << "the tab key must pass it over";
    EXPECT_EQ(f.command.Enabled(), -1);
    EXPECT_EQ(f.command.FirstRun(), 1);
    EXPECT_EQ(test::faceLook(f.command), "Normal");
    EXPECT_TRUE(IsWindowEnabled(f.command.window()));
}

TEST(PropertyTest, WritesTellTheContainerAndCaptionOrFontDoNotRepaint) {
    Fixture f;
    f.command.Enabled();
    const unsigned paints = f.command.paintCount();
    const double top = f.command.label().box.top;
    f.command.Caption(L"設定");
    f.command.Font(dialogFont());
    EXPECT_EQ(f.command.paintCount(), paints);
    EXPECT_EQ(f.command.label().box.top, top);
    f.command.FontColour(0xFF);
    f.command.FontColour(0x7F000000); // no colour: refused, not told
    EXPECT_EQ(f.command.label().colour, 0xFFu);
    f.command.Visible(7);
    f.command.Enabled(1);
    const std::vector<std::wstring> expected{L"Caption", L"Font", L"FontColour", L"Visible", L"Enabled"};
    EXPECT_EQ(f.told, expected);
    EXPECT_EQ(f.command.Enabled(), -1) << "any non-zero value is true";
}

TEST(PropertyTest, ReadingFontColourOrVisiblePaintsNormalOnlyWhileEnabled) {
    Fixture f;
    f.command.Enabled();
    f.command.Initialize();
    f.command.focusGained();
    ASSERT_EQ(test::faceLook(f.command), "Selected");
    EXPECT_EQ(f.command.FontColour(), 0u);
    EXPECT_EQ(test::faceLook(f.command), "Normal");
    EXPECT_EQ(f.command.state(), StateSelected);
    f.command.focusGained();
    EXPECT_EQ(f.command.Visible(), 255);
    EXPECT_EQ(test::faceLook(f.command), "Normal");
    f.command.Enabled(0);
    const unsigned paints = f.command.paintCount();
    f.command.FontColour();
    f.command.Visible();
    EXPECT_EQ(f.command.paintCount(), paints);
    f.command.Visible(0);
    EXPECT_EQ(f.command.Visible(), 0);
    f.command.Visible(7);
    EXPECT_EQ(f.command.Visible(), 255);
}

} // namespace
} // namespace solvane
