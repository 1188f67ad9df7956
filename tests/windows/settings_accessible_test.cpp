// The settings dialog as a screen reader finds it in this process: the tree
// oleacc's AccessibleObjectFromWindow and AccessibleChildren give, the
// default actions a reader performs, and the events it is told of.
#include "dialog_fixture.h"
#include "dialog_layout.h"
#include "forms/com_apartment.h"
#include "screen_reader.h"
#include "settings_dialog/settings_dialog.h"
#include "test_support.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace solvane {
namespace {

std::string utf8(const std::wstring& text) {
    std::string result(static_cast<std::size_t>(text.size() * 3 + 1), '\0');
    result.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                               result.data(), static_cast<int>(result.size()), nullptr,
                                                               nullptr)));
    return result;
}

class AccessibleDialogTest : public test::DialogFixture {
protected:
    // The tree as a reader reads it, one line an element.
    static std::string tree(const SettingsDialog& dialog) {
        const auto root = reader::readTree(dialog.window());
        return root ? utf8(reader::describe(*root)) : "no object";
    }

    const ComApartment apartment;
};

// The tree with the music file chosen and the focus on `focus` ("..." or
// "設定"); `disabledSet` with 設定 disabled.
std::string fileOptionTree(const char* focus, bool disabledSet = false) {
    const auto button = [&](const char* name) {
        const std::string quoted = std::string("\"") + name + "\"";
        if (disabledSet && std::string(name) == "設定") {
            return quoted + " [unavailable]";
        }
        return quoted + (std::string(name) == focus ? " [focused focusable]" : " [focusable]");
    };
    return "dialog \"<Solvane>\"\n"
           "  grouping \"BGM\"\n"
           "    radio button \"音楽CD\"\n"
           "    combo box \"曲目をﾘﾋﾟｰﾄ\" [unavailable] = 12\n"
           "      editable text \"曲目をﾘﾋﾟｰﾄ\" [unavailable] = 12\n"
           "    static text \"曲目をﾘﾋﾟｰﾄ\" [read only]\n"
           "    radio button \"無し\"\n"
           "    radio button \"MP3、WAV\" [checked]\n"
           "    push button " +
           button("...") +
           "\n"
           "    static text \"C:\\Music\\tune.mp3\" [read only] = C:\\Music\\tune.mp3\n"
           "  push button " +
           button("設定") +
           "\n"
           "  push button " +
           button("ｷｬﾝｾﾙ") +
           "\n"
           "  push button " +
           button("その他の作品") + "\n";
}

TEST_F(AccessibleDialogTest, EveryControlHasItsNameRoleAndState) {
    auto dialog = openDialog();
    SetFocus(dialog->fileButton().window());
    EXPECT_EQ(tree(*dialog), fileOptionTree("..."));

    // The focus moves, and the state with it.
    SetFocus(dialog->setButton().window());
    EXPECT_EQ(tree(*dialog), fileOptionTree("設定"));

    // A button disabled is unavailable, and no longer focusable.
    SetFocus(dialog->cancelButton().window());
    dialog->setButton().Enabled(0);
    EXPECT_EQ(tree(*dialog), fileOptionTree("ｷｬﾝｾﾙ", true));
    dialog->setButton().Enabled(-1);
    EXPECT_EQ(tree(*dialog), fileOptionTree("ｷｬﾝｾﾙ"));

    // "..." says what it is for; the others' captions say it.
    const auto button = reader::find(dialog->window(), ROLE_SYSTEM_PUSHBUTTON, L"...");
    ASSERT_TRUE(button);
    BSTR description = nullptr;
    ASSERT_EQ(button->object->get_accDescription(button->child, &description), S_OK);
    EXPECT_STREQ(description, L"BGMﾌｧｲﾙを選ぶ");
    SysFreeString(description);
}

TEST_F(AccessibleDialogTest, ChoosingEachOptionChecksItAndMovesWhatIsAvailable) {
    auto dialog = openDialog();
    SetFocus(dialog->setButton().window());

    ASSERT_EQ(reader::doDefaultAction(dialog->window(), ROLE_SYSTEM_RADIOBUTTON, L"音楽CD"), S_OK);
    EXPECT_EQ(dialog->settings().BGM_Kind, 1);
    EXPECT_EQ(tree(*dialog), "dialog \"<Solvane>\"\n"
                             "  grouping \"BGM\"\n"
                             "    radio button \"音楽CD\" [checked]\n"
                             "    combo box \"曲目をﾘﾋﾟｰﾄ\" [focusable] = 12\n"
                             "      editable text \"曲目をﾘﾋﾟｰﾄ\" [focusable] = 12\n"
                             "    static text \"曲目をﾘﾋﾟｰﾄ\" [read only]\n"
                             "    radio button \"無し\"\n"
                             "    radio button \"MP3、WAV\"\n"
                             "    push button \"...\" [unavailable]\n"
                             "    static text \"C:\\Music\\tune.mp3\" [read only] = C:\\Music\\tune.mp3\n"
                             "  push button \"設定\" [focused focusable]\n"
                             "  push button \"ｷｬﾝｾﾙ\" [focusable]\n"
                             "  push button \"その他の作品\" [focusable]\n");

    // The focus in the repeat box's field: the box and its field say so.
    SetFocus(dialog->repeatBox());
    const auto field = reader::find(dialog->window(), ROLE_SYSTEM_TEXT, L"曲目をﾘﾋﾟｰﾄ");
    ASSERT_TRUE(field);
    VARIANT state;
    VariantInit(&state);
    ASSERT_EQ(field->object->get_accState(field->child, &state), S_OK);
    EXPECT_EQ(state.lVal, STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE);
    const auto box = reader::find(dialog->window(), ROLE_SYSTEM_COMBOBOX, L"曲目をﾘﾋﾟｰﾄ");
    ASSERT_TRUE(box);
    ASSERT_EQ(box->object->get_accState(box->child, &state), S_OK);
    EXPECT_EQ(state.lVal, STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE);

    SetFocus(dialog->setButton().window());
    ASSERT_EQ(reader::doDefaultAction(dialog->window(), ROLE_SYSTEM_RADIOBUTTON, L"無し"), S_OK);
    EXPECT_EQ(dialog->settings().BGM_Kind, 0);
    EXPECT_EQ(tree(*dialog), "dialog \"<Solvane>\"\n"
                             "  grouping \"BGM\"\n"
                             "    radio button \"音楽CD\"\n"
                             "    combo box \"曲目をﾘﾋﾟｰﾄ\" [unavailable] = 12\n"
                             "      editable text \"曲目をﾘﾋﾟｰﾄ\" [unavailable] = 12\n"
                             "    static text \"曲目をﾘﾋﾟｰﾄ\" [read only]\n"
                             "    radio button \"無し\" [checked]\n"
                             "    radio button \"MP3、WAV\"\n"
                             "    push button \"...\" [unavailable]\n"
                             "    static text \"C:\\Music\\tune.mp3\" [read only] = C:\\Music\\tune.mp3\n"
                             "  push button \"設定\" [focused focusable]\n"
                             "  push button \"ｷｬﾝｾﾙ\" [focusable]\n"
                             "  push button \"その他の作品\" [focusable]\n");

    ASSERT_EQ(reader::doDefaultAction(dialog->window(), ROLE_SYSTEM_RADIOBUTTON, L"MP3、WAV"), S_OK);
    EXPECT_EQ(dialog->settings().BGM_Kind, 2);
    EXPECT_EQ(tree(*dialog), fileOptionTree("設定"));
}

// A mouse button pressed on the option as the panel receives it.
void pressOption(const SettingsDialog& dialog, int option) {
    test::pressOnPanel(dialog, WM_LBUTTONDOWN, layout::optionLabels[option]);
}

TEST_F(AccessibleDialogTest, AnOptionsDefaultActionChoosesItAsAClickDoes) {
    const wchar_t* const names[] = {L"無し", L"音楽CD", L"MP3、WAV"};
    for (int option : {1, 0, 2}) {
        music.BGM_Kind = option == 2 ? 1 : 2;
        auto clicked = openDialog();
        SetFocus(clicked->cancelButton().window());
        pressOption(*clicked, option);
        const std::string byClick = tree(*clicked);
        const MusicSettings afterClick = clicked->settings();
        clicked.reset();

        auto acted = openDialog();
        SetFocus(acted->cancelButton().window());
        const std::string before = tree(*acted);
        EXPECT_EQ(reader::doDefaultAction(acted->window(), ROLE_SYSTEM_RADIOBUTTON, names[option]), S_OK);
        EXPECT_NE(tree(*acted), before) << "option " << option;
        EXPECT_EQ(tree(*acted), byClick) << "option " << option;
        EXPECT_EQ(acted->settings().BGM_Kind, afterClick.BGM_Kind);
        EXPECT_EQ(acted->settings().BGM_Track, afterClick.BGM_Track);
        EXPECT_EQ(acted->settings().BGM_File, afterClick.BGM_File);
    }
}

TEST_F(AccessibleDialogTest, TheDefaultActionOfSetSavesAsAClickDoes) {
    // By the mouse: the CD option, track 5, then 設定.
    auto clicked = openDialog();
    pressOption(*clicked, 1);
    SetWindowTextW(clicked->repeatBox(), L"5");
    test::click(clicked->setButton());
    ASSERT_FALSE(IsWindow(clicked->window()));
    const std::string byClick = iniBytes();
    ASSERT_NE(byClick.find("=5"), std::string::npos) << byClick;
    clicked.reset();
    DeleteFileW(ini.c_str());

    // By a reader: the same choices, then 設定's default action. The call
    // returns first; the click follows from the dialog's own loop.
    auto acted = openDialog();
    ASSERT_EQ(reader::doDefaultAction(acted->window(), ROLE_SYSTEM_RADIOBUTTON, L"音楽CD"), S_OK);
    SetWindowTextW(acted->repeatBox(), L"5");
    const auto button = reader::find(acted->window(), ROLE_SYSTEM_PUSHBUTTON, L"設定");
    ASSERT_TRUE(button);
    BSTR action = nullptr;
    ASSERT_EQ(button->object->get_accDefaultAction(button->child, &action), S_OK);
    EXPECT_STREQ(action, L"押す");
    SysFreeString(action);
    ASSERT_EQ(button->object->accDoDefaultAction(button->child), S_OK);
    EXPECT_TRUE(IsWindow(acted->window())) << "the reader's call returns before the dialog closes";
    ASSERT_TRUE(test::waitFor([&] { return !IsWindow(acted->window()); }));
    EXPECT_EQ(iniBytes(), byClick);

    // The closed dialog's objects tell the reader they are gone.
    VARIANT state;
    VariantInit(&state);
    EXPECT_EQ(button->object->get_accState(button->child, &state), RPC_E_DISCONNECTED);
}

TEST_F(AccessibleDialogTest, ADisabledButtonTakesNoDefaultAction) {
    auto dialog = openDialog();
    dialog->setButton().Enabled(0);
    EXPECT_EQ(reader::doDefaultAction(dialog->window(), ROLE_SYSTEM_PUSHBUTTON, L"設定"), DISP_E_MEMBERNOTFOUND);
    test::pumpMessages();
    EXPECT_TRUE(IsWindow(dialog->window()));
    EXPECT_EQ(GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing saved";
    // The statics have no action at all.
    EXPECT_EQ(reader::doDefaultAction(dialog->window(), ROLE_SYSTEM_STATICTEXT, L"曲目をﾘﾋﾟｰﾄ"), DISP_E_MEMBERNOTFOUND);
}

// The name of a child a reader got back: an object of its own or a part of `owner`.
std::wstring nameOf(IAccessible& owner, VARIANT& child) {
    Microsoft::WRL::ComPtr<IAccessible> object;
    VARIANT which = child;
    if (child.vt == VT_DISPATCH) {
        child.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(object.GetAddressOf()));
        which.vt = VT_I4;
        which.lVal = CHILDID_SELF;
    }
    BSTR name = nullptr;
    (object ? object.Get() : &owner)->get_accName(which, &name);
    std::wstring result = name != nullptr ? name : L"(none)";
    SysFreeString(name);
    VariantClear(&child);
    return result;
}

TEST_F(AccessibleDialogTest, ReadersFindWhereElementsAreAndMoveBetweenThem) {
    auto dialog = openDialog();
    SetFocus(dialog->fileButton().window());
    const auto cd = reader::find(dialog->window(), ROLE_SYSTEM_RADIOBUTTON, L"音楽CD");
    ASSERT_TRUE(cd);
    IAccessible& panel = *cd->object.Get();

    // The option covers its mark and its label, where the screen shows them.
    POINT origin{0, 0};
    ClientToScreen(dialog->panel(), &origin);
    LONG x = 0, y = 0, width = 0, height = 0;
    ASSERT_EQ(panel.accLocation(&x, &y, &width, &height, cd->child), S_OK);
    const RECT mark = test::pixelRect(layout::optionMark1);
    EXPECT_EQ(x, origin.x + mark.left);
    EXPECT_EQ(y, origin.y + mark.top);
    EXPECT_GT(x + width, origin.x + test::pixelRect(layout::optionLabel1).left) << "the label is part of it";
    VARIANT hit;
    ASSERT_EQ(panel.accHitTest(x + width - 2, y + height / 2, &hit), S_OK);
    EXPECT_EQ(nameOf(panel, hit), L"音楽CD");
    RECT box{};
    GetWindowRect(dialog->repeatBox(), &box);
    ASSERT_EQ(panel.accHitTest(box.left + 3, box.top + 3, &hit), S_OK);
    EXPECT_EQ(nameOf(panel, hit), L"曲目をﾘﾋﾟｰﾄ") << "the repeat box, an object of its own";

    // The focus, from the dialog down: the panel holds it, then "...".
    const auto root = reader::find(dialog->window(), ROLE_SYSTEM_DIALOG, L"<Solvane>");
    ASSERT_TRUE(root);
    VARIANT focus;
    ASSERT_EQ(root->object->get_accFocus(&focus), S_OK);
    EXPECT_EQ(nameOf(*root->object.Get(), focus), L"BGM");
    ASSERT_EQ(panel.get_accFocus(&focus), S_OK);
    EXPECT_EQ(nameOf(panel, focus), L"...");

    // Along the panel's children, and up from a button to the dialog.
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT next;
    ASSERT_EQ(panel.accNavigate(NAVDIR_FIRSTCHILD, self, &next), S_OK);
    EXPECT_EQ(nameOf(panel, next), L"音楽CD");
    ASSERT_EQ(panel.accNavigate(NAVDIR_NEXT, cd->child, &next), S_OK);
    EXPECT_EQ(nameOf(panel, next), L"曲目をﾘﾋﾟｰﾄ");
    const auto set = reader::find(dialog->window(), ROLE_SYSTEM_PUSHBUTTON, L"設定");
    ASSERT_TRUE(set);
    IDispatch* parent = nullptr;
    ASSERT_EQ(set->object->get_accParent(&parent), S_OK);
    VARIANT up;
    up.vt = VT_DISPATCH;
    up.pdispVal = parent;
    EXPECT_EQ(nameOf(*set->object.Get(), up), L"<Solvane>");
}

// What a reader is told, as it is told: each event with the element it names.
struct Heard {
    DWORD event;
    HWND window;
    std::wstring name;
    long state;
};
std::vector<Heard>* heard = nullptr;

void CALLBACK listen(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (heard == nullptr || object != OBJID_CLIENT) {
        return;
    }
    Microsoft::WRL::ComPtr<IAccessible> found;
    VARIANT id;
    VariantInit(&id);
    if (FAILED(AccessibleObjectFromEvent(window, static_cast<DWORD>(object), static_cast<DWORD>(child),
                                         found.GetAddressOf(), &id))) {
        heard->push_back({event, window, L"(no object)", 0});
        return;
    }
    BSTR name = nullptr;
    found->get_accName(id, &name);
    VARIANT state;
    VariantInit(&state);
    found->get_accState(id, &state);
    heard->push_back({event, window, name != nullptr ? name : L"", state.vt == VT_I4 ? state.lVal : 0});
    SysFreeString(name);
}

class Listener {
public:
    Listener()
        : hook_(SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, listen, GetCurrentProcessId(), 0,
                                WINEVENT_OUTOFCONTEXT)) {
        heard = &events;
    }
    ~Listener() {
        UnhookWinEvent(hook_);
        heard = nullptr;
    }
    bool hears(DWORD event, const std::wstring& name, long state) {
        return test::waitFor([&] {
            for (const Heard& one : events) {
                if (one.event == event && one.name == name && one.state == state) {
                    return true;
                }
            }
            return false;
        });
    }
    std::vector<Heard> events;

private:
    HWINEVENTHOOK hook_;
};

TEST_F(AccessibleDialogTest, ReadersAreToldOfFocusSelectionAndEnabledChanges) {
    auto dialog = openDialog();
    SetFocus(dialog->cancelButton().window());
    test::pumpMessages();
    Listener listener;

    SetFocus(dialog->setButton().window());
    EXPECT_TRUE(listener.hears(EVENT_OBJECT_FOCUS, L"設定", STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE));

    pressOption(*dialog, 1);
    EXPECT_TRUE(listener.hears(EVENT_OBJECT_SELECTION, L"音楽CD", STATE_SYSTEM_CHECKED));
    EXPECT_TRUE(listener.hears(EVENT_OBJECT_STATECHANGE, L"音楽CD", STATE_SYSTEM_CHECKED));
    EXPECT_TRUE(listener.hears(EVENT_OBJECT_STATECHANGE, L"MP3、WAV", 0)) << "the option no longer chosen";
    EXPECT_TRUE(listener.hears(EVENT_OBJECT_STATECHANGE, L"...", STATE_SYSTEM_UNAVAILABLE));
    EXPECT_TRUE(listener.hears(EVENT_OBJECT_STATECHANGE, L"曲目をﾘﾋﾟｰﾄ", STATE_SYSTEM_FOCUSABLE));

    listener.events.clear();
    dialog->setButton().Enabled(0);
    EXPECT_TRUE(listener.hears(EVENT_OBJECT_STATECHANGE, L"設定", STATE_SYSTEM_UNAVAILABLE));
    dialog->setButton().Enabled(-1);
    EXPECT_TRUE(listener.hears(EVENT_OBJECT_STATECHANGE, L"設定", STATE_SYSTEM_FOCUSABLE));
    // Writing the value it already has changes nothing a reader hears of.
    listener.events.clear();
    dialog->setButton().Enabled(-1);
    // Events arrive in the order raised: once a marker raised after it is
    // heard, anything the write raised has been heard too.
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, dialog->window(), OBJID_CLIENT, CHILDID_SELF);
    ASSERT_TRUE(test::waitFor([&] { return !listener.events.empty(); }));
    ASSERT_EQ(listener.events.size(), 1u);
    EXPECT_EQ(listener.events.front().event, static_cast<DWORD>(EVENT_OBJECT_VALUECHANGE));
}

} // namespace
} // namespace solvane
