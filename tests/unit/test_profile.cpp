// Profiles: the padded read, the error path of INI access, the profile list,
// the default profile, "Edit ini" and "Add".
#include <gtest/gtest.h>

#include "profile/error_report.h"
#include "app_fixture.h"
#include "profile/add_entry.h"
#include "profile/ini_files.h"
#include "profile/profiles.h"

namespace wl::testing {
namespace {

std::string padded(const std::string& value) {
    std::string out = value + '\0';
    out.resize(256, ' ');
    return out;
}

class IniFilesTest : public AppTest {
  protected:
    INIFiles ini{world.files, world.desktop};
};

TEST_F(IniFilesTest, ReadGivesValueNulThenSpacesToExactly256) {
    folder.write("empty.ini", "");
    folder.write("p.ini", profile_text({"[WindowTitles]", "Num_Windows=3",
                                        "Title1=" + std::string(300, 'x')}));
    struct Case {
        std::string file, key, expected;
    } cases[] = {
        {"empty.ini", "Num_Windows", padded("0")},
        {"p.ini", "Num_Windows", padded("3")},
        {"p.ini", "num_windows", padded("3")},
        {"p.ini", "Title1", std::string(255, 'x') + '\0'},
        {"p.ini", "Title9", padded("0")},
        {"missing.ini", "Num_Windows", padded("0")},
    };
    for (const auto& c : cases) {
        ini.set_FileName(folder.file(c.file));
        const std::string got = ini.ReadINI("WindowTitles", c.key, "0");
        EXPECT_EQ(got.size(), 256u) << c.file << " " << c.key;
        EXPECT_EQ(got, c.expected) << c.file << " " << c.key;
    }
    EXPECT_FALSE(folder.exists("missing.ini")) << "a read must not create the file";
}

TEST_F(IniFilesTest, BytesBehindTheNulAreSpacesEvenWhenTheValueShrinks) {
    folder.write("p.ini", profile_text({"[WindowTitles]", "A=long value", "B=x"}));
    ini.set_FileName(folder.file("p.ini"));
    ini.ReadINI("WindowTitles", "A", "");
    EXPECT_EQ(ini.ReadINI("WindowTitles", "B", ""), padded("x"));
}

TEST_F(IniFilesTest, WriteThenReadThroughAnotherInstanceSeesTheChange) {
    INIFiles other{world.files, world.desktop};
    ini.set_FileName(folder.file("new.ini"));
    other.set_FileName(folder.file("new.ini"));
    ini.WriteINI("WindowTitles", "Num_Windows", "1");
    EXPECT_EQ(other.ReadINI("WindowTitles", "Num_Windows", "0"), padded("1"));
    EXPECT_EQ(folder.read("new.ini"), profile_text({"[WindowTitles]", "Num_Windows=1"}));
}

TEST_F(IniFilesTest, FailingReadShowsOneErrorBoxAndRaisesToTheCaller) {
    ini.set_FileName(folder.file("p.ini"));
    world.files.fail_next("read");
    try {
        ini.ReadINI("WindowTitles", "Num_Windows", "0");
        FAIL() << "the error must reach the caller";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), -2147211505);
        EXPECT_EQ(e.source(), "INIFiles:ReadINI Method");
        EXPECT_EQ(e.description(), "An unknown error has occurred!");
    }
    ASSERT_EQ(desktop().message_boxes().size(), 1u);
    const auto& box = desktop().message_boxes()[0];
    EXPECT_EQ(box.caption, "ERROR!");
    EXPECT_EQ(box.text,
              "Error # 9999\r\nAn unknown error has occurred!\r\n\r\nINIFiles:ReadINI Method");
    EXPECT_EQ(box.flags, mb::kOk | mb::kIconStop);
}

TEST_F(IniFilesTest, FailingWriteNamesTheWriteMethod) {
    ini.set_FileName(folder.file("p.ini"));
    world.files.fail_next("write");
    try {
        ini.WriteINI("WindowTitles", "Num_Windows", "1");
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.source(), "INIFiles:WriteINI Method");
    }
    EXPECT_EQ(desktop().message_boxes().size(), 1u);
}

TEST(ErrorReport, NumbersAndOverflow) {
    EXPECT_EQ(ErrorText(9999), "An unknown error has occurred!");
    sim::CallLog log;
    sim::SimDesktop d(log);
    try {
        ReportError(d, -262145, "X");
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 6) << "a sum below the 32-bit range is an overflow";
    }
    try {
        ReportError(d, -5, "X");
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), -2147221504 - 5);
        EXPECT_EQ(d.message_boxes().back().text.rfind("Error # -5\r\n", 0), 0u);
    }
}

TEST(ProfilePaths, DriveRootGetsNoSecondSeparatorExceptWhereAlwaysInserted) {
    EXPECT_EQ(profile_path("C:\\Tools", '\\', "a.ini"), "C:\\Tools\\a.ini");
    EXPECT_EQ(profile_path("C:\\", '\\', "a.ini"), "C:\\a.ini");
    EXPECT_EQ(default_profile_path("C:\\", '\\'), "C:\\\\default_wl.ini");
    EXPECT_EQ(edit_command_line("C:\\", '\\', "a.ini"), "notepad C:\\\\a.ini");
    EXPECT_EQ(edit_command_line("C:\\My Tools", '\\', "b c.ini"), "notepad C:\\My Tools\\b c.ini");
}

// --- The profile list, the default profile and "Edit ini" -------------------

TEST_F(AppTest, ProfilesAreListedByNameWithoutRegardToCaseAndTheFirstIsSelected) {
    folder.write("b.ini", "");
    folder.write("A.ini", "");
    folder.write("default_wl.ini", "");
    folder.write("notes.txt", "");
    start();
    EXPECT_EQ(items(*form->Combo1), (std::vector<std::string>{"A.ini", "b.ini", "default_wl.ini"}));
    EXPECT_EQ(form->Combo1->text(), "A.ini");
}

TEST_F(AppTest, EmptyFolderLeavesTheComboAsDesigned) {
    desktop().script_message_box(mb::kResultNo);
    start();
    EXPECT_EQ(form->Combo1->count(), 0);
    EXPECT_EQ(form->Combo1->text(), "Combo1");
}

TEST_F(AppTest, CreateIniKeepsAnExistingDefaultProfileAndRefillsTheCombo) {
    const std::string existing =
        profile_text({"[WindowTitles]", "Num_Windows=1", "Title1=T[OK]<<#32770>>"});
    folder.write("default_wl.ini", existing);
    folder.write("a.ini", "");
    start();
    form->Combo1->set_text("typed.ini");
    click("Command4");
    EXPECT_EQ(folder.read("default_wl.ini"), existing);
    EXPECT_EQ(form->Combo1->text(), "a.ini");
    EXPECT_FALSE(form->Command4->visible());
}

TEST_F(AppTest, EditIniStartsNotepadOnTheSelectedProfileWithoutWaiting) {
    folder.write("my profile.ini", "");
    start();
    click("Command1");
    ASSERT_EQ(desktop().started_programs().size(), 1u);
    EXPECT_EQ(desktop().started_programs()[0].command_line,
              "notepad " + folder.str() + "/my profile.ini");
    EXPECT_EQ(desktop().started_programs()[0].show, 1);
}

TEST_F(AppTest, EditorThatCannotStartIsReportedAndTheProgramGoesOn) {
    folder.write("a.ini", "");
    start();
    desktop().fail_start_program(true);
    click("Command1");
    ASSERT_FALSE(desktop().message_boxes().empty());
    EXPECT_NE(desktop().message_boxes().back().text.find("Run-time error"), std::string::npos);
    EXPECT_FALSE(desktop().ended());
    click("Command5");  // still answering events
}

// --- "Add" -------------------------------------------------------------------

class AddTest : public AppTest {
  protected:
    void SetUp() override {
        folder.write("default_wl.ini", "");
        start();
    }
    // What the finder and the walk leave behind after picking a box.
    void picked(const std::string& title, const std::string& class_name,
                std::vector<std::string> buttons, int chosen = 0) {
        form->finder().picked_title = title;
        form->finder().picked_class = class_name;
        for (int k = 0; k < 3; ++k) {
            const bool offered = k < static_cast<int>(buttons.size());
            form->cmd1[k]->set_text(offered ? buttons[k] : "");
            form->cmd1[k]->set_visible(offered);
            form->Op1[k]->set_visible(offered);
            form->Op1[k]->set_value(k == chosen);
        }
    }
    std::string profile() const { return folder.read("default_wl.ini"); }
};

TEST_F(AddTest, FirstAndSecondEntriesAreAppendedAfterTheCount) {
    picked("Rebuild Warnings", "#32770", {"&Yes", "&No"});
    click("Command3");
    EXPECT_EQ(profile(), profile_text({"[WindowTitles]", "Num_Windows=1",
                                       "Title1=Rebuild Warnings[&Yes]<<#32770>>"}));
    // Said as the refusals are, with what makes the entry count.
    EXPECT_TRUE(form->Label3->visible());
    EXPECT_EQ(form->Label3->text(), "Item has been added. Restart to watch it.");
    picked("Close Document", "#32770", {"&Yes", "&No", "Cancel"}, 1);
    click("Command3");
    EXPECT_EQ(profile(), profile_text({"[WindowTitles]", "Num_Windows=2",
                                       "Title1=Rebuild Warnings[&Yes]<<#32770>>",
                                       "Title2=Close Document[&No]<<#32770>>"}));
    EXPECT_EQ(form->Label3->text(), kAddedMessage);
}

TEST_F(AddTest, DuplicateTitleIsRefusedWhateverButtonAndTheCountIsUndone) {
    picked("Close Document", "#32770", {"&Yes", "&No"});
    click("Command3");
    picked("Close Document  ", "#32770", {"&Yes", "&No"}, 1);
    world.log.clear();
    click("Command3");
    EXPECT_TRUE(form->Label3->visible());
    EXPECT_EQ(form->Label3->text(), "Duplicate entry. Item has NOT been added!");
    EXPECT_EQ(profile(), profile_text({"[WindowTitles]", "Num_Windows=1",
                                       "Title1=Close Document[&Yes]<<#32770>>"}));
    // The count was written up, then back down.
    const auto writes = world.log.calls_starting("WritePrivateProfileStringA");
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_NE(writes[0].find("Num_Windows,2"), std::string::npos);
    EXPECT_NE(writes[1].find("Num_Windows,1"), std::string::npos);
}

TEST_F(AddTest, TitlesCompareByCaseAndIgnoreOnlyBlanksAtTheEnds) {
    struct Case {
        std::string stored;
        std::string picked;
        bool duplicate;
    } cases[] = {
        {"Title1=Close Document[OK]<<#32770>>", "close document", false},
        {"Title1=Close Document[OK]<<#32770>>", "Close Document  ", true},
        {"Title1=  Close Document [OK]<<#32770>>", "Close Document", true},
        // A hand-edited title holding "[" is compared by its part before it.
        {"Title1=Close [x] Document[OK]<<#32770>>", "Close", true},
        {"Title1=Close Document", "Close Document", false},
    };
    for (const auto& c : cases) {
        folder.write("default_wl.ini", profile_text({"[WindowTitles]", "Num_Windows=1", c.stored}));
        picked(c.picked, "#32770", {"OK"});
        click("Command3");
        EXPECT_EQ(form->Label3->text(), c.duplicate ? kDuplicateMessage : kAddedMessage)
            << c.stored << " vs " << c.picked;
    }
}

// The new entry is numbered one past the count; a count ahead of the
// entries leaves a gap. A key at or past that number is the user's: "Add"
// neither overwrites it nor counts up to it, and says so.
TEST_F(AddTest, NewEntryIsNumberedPastTheCountAndNeverOverAnEntryThere) {
    struct Case {
        std::vector<std::string> stored;
        std::string added;  // the new line, or "" for refused
    } cases[] = {
        {{"Num_Windows=5", "Title1=A[OK]<<c>>", "Title2=B[OK]<<c>>", "Title3=C[OK]<<c>>"},
         "Title6=D[OK]<<#32770>>"},
        {{"Num_Windows=-3", "Title1=A[OK]<<c>>"}, ""},
        {{"Title1=A[OK]<<c>>"}, ""},
        {{"Num_Windows=1", "Title1=A[OK]<<c>>", "title7=C[OK]<<c>>"}, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> lines{"[WindowTitles]"};
        lines.insert(lines.end(), c.stored.begin(), c.stored.end());
        std::string before;
        for (const auto& l : lines)
            before += l + "\r\n";
        folder.write("default_wl.ini", before);
        picked("D", "#32770", {"OK"});
        click("Command3");
        if (c.added.empty()) {
            EXPECT_EQ(profile(), before) << c.stored[0];
            EXPECT_EQ(form->Label3->text(), kPastCountMessage) << c.stored[0];
        } else {
            EXPECT_NE(profile().find(c.added + "\r\n"), std::string::npos) << profile();
            EXPECT_NE(profile().find("Num_Windows=6\r\n"), std::string::npos) << profile();
        }
    }
}

TEST_F(AddTest, DuplicateTestReadsEntryKeysAsTheLookupMatchesThem) {
    struct Case {
        std::string key;
        bool duplicate;
    } cases[] = {{"title2", true}, {"TITLE3", true}, {"Title02", false}, {"Titlex", false}};
    for (const auto& c : cases) {
        folder.write("default_wl.ini", profile_text({"[WindowTitles]", "Num_Windows=3",
                                                     c.key + "=Close Document[OK]<<c>>"}));
        picked("Close Document", "#32770", {"OK"});
        click("Command3");
        EXPECT_EQ(form->Label3->text(), c.duplicate ? kDuplicateMessage : kAddedMessage) << c.key;
    }
}

// Nothing is offered before the first pick, nor after a pick of a window
// without push buttons (one of the box's buttons, say), whose walk leaves
// the earlier choice hidden.
TEST_F(AddTest, NothingOfferedIsStoredAsNothingAndTheTitleBarIsNamed) {
    for (const int chosen : {-1, 0}) {
        picked("Some Window", "#32770", {}, chosen);
        click("Command3");
        EXPECT_EQ(profile(), "") << chosen;
        EXPECT_TRUE(form->Label3->visible());
        EXPECT_EQ(form->Label3->text(), "No button. Drop the finder on the title bar!") << chosen;
    }
}

// "Add" stores only what "Read ini" loads back as it was picked; anything
// else could never be answered, so the profile is left alone and Label3
// says why.
TEST_F(AddTest, EntriesThatWouldNotLoadBackAreRefusedBeforeAnythingIsWritten) {
    struct Case {
        const char* why;
        std::string title, caption, class_name;
        const char* message;
    } cases[] = {
        {"an offered button without a caption", "Some Window", "", "#32770", kNoCaptionMessage},
        {"the window went before its class was read", "Some Window", "OK", "", kNoClassMessage},
        {"\"[\" in the title moves the split", "Warn [1]", "&No", "ProbeBox", kMarkerMessage},
        {"\"]\" in the title empties the button", "Done] now", "OK", "#32770", kMarkerMessage},
        {"\"<<\" in the title moves the class", "Save << now", "OK", "#32770", kMarkerMessage},
        {"\"]\" in the caption cuts it", "Box", "O]K", "#32770", kMarkerMessage},
        {"\"<<\" in the caption moves the class", "Box", "<<OK", "#32770", kMarkerMessage},
        {"a line break would forge profile lines", "Close Document",
         "&Save\r\n[Evil]\r\nNum_Windows=0", "#32770", kLineBreakMessage},
        {"a lone line feed too", "Close\nDocument", "OK", "#32770", kLineBreakMessage},
        {"a NUL would end the value early", std::string("Nul\0inside", 10), "OK", "#32770",
         kLineBreakMessage},
        {"past 255 characters the class is cut off", std::string(250, 'x'), "OK", "#32770",
         kTooLongMessage},
        {"blanks around a caption are trimmed on load", "Box", " OK ", "#32770",
         kNotReadBackMessage},
        {"leading blanks of the title are trimmed on load", "  Box", "OK", "#32770",
         kNotReadBackMessage},
        {"a leading tab of the title is trimmed on load", "\tBox", "OK", "#32770",
         kNotReadBackMessage},
        {"so is a leading vertical tab", "\vBox", "OK", "#32770", kNotReadBackMessage},
    };
    const std::string before =
        profile_text({"[WindowTitles]", "Num_Windows=1", "Title1=Old[OK]<<#32770>>"});
    for (const auto& c : cases) {
        folder.write("default_wl.ini", before);
        form->Label3->set_visible(false);
        picked(c.title, c.class_name, {c.caption, "Other"});
        world.log.clear();
        click("Command3");
        EXPECT_EQ(profile(), before) << c.why;
        EXPECT_TRUE(world.log.calls_starting("WritePrivateProfileStringA").empty()) << c.why;
        EXPECT_TRUE(form->Label3->visible()) << c.why;
        EXPECT_EQ(form->Label3->text(), c.message) << c.why;
    }
}

TEST_F(AddTest, UnusualEntriesThatLoadBackAreStoredAsBefore) {
    struct Case {
        std::string title, caption, class_name, line;
    } cases[] = {
        {"; not a comment", "OK", "#32770", "Title2=; not a comment[OK]<<#32770>>"},
        {"a = b", "&Yes", "#32770", "Title2=a = b[&Yes]<<#32770>>"},
        {"\"Quoted\" box", "OK", "#32770", "Title2=\"Quoted\" box[OK]<<#32770>>"},
        {"Caf\xe9", "OK", "Afx:00400000:b", "Title2=Caf\xe9[OK]<<Afx:00400000:b>>"},
        {"Tab\tinside", "OK", "#32770", "Title2=Tab\tinside[OK]<<#32770>>"},
        {"Rebuild Errors  ", "OK", "#32770", "Title2=Rebuild Errors  [OK]<<#32770>>"},
        {"Class with brackets", "OK", "a[b]>>c", "Title2=Class with brackets[OK]<<a[b]>>c>>"},
    };
    for (const auto& c : cases) {
        folder.write("default_wl.ini",
                     profile_text({"[WindowTitles]", "Num_Windows=1", "Title1=Old[OK]<<#32770>>"}));
        picked(c.title, c.class_name, {c.caption});
        click("Command3");
        EXPECT_EQ(form->Label3->text(), kAddedMessage) << c.line;
        EXPECT_EQ(profile(), profile_text({"[WindowTitles]", "Num_Windows=2",
                                           "Title1=Old[OK]<<#32770>>", c.line}));
        click("Command5");
        const WatchEntry& loaded = form->Watch_list.entry(2);
        EXPECT_EQ(loaded.Win_title, c.title);
        EXPECT_EQ(loaded.Win_button, c.caption);
        EXPECT_EQ(loaded.Win_class, c.class_name);
    }
}

}  // namespace
}  // namespace wl::testing
